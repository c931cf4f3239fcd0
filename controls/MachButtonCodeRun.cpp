#include "controls/MachButtonCodeRun.h"

#include "host/Mach4_TLB.h"
#include "platform/Dialogs.h"
#include "platform/Waiter.h"
#include "platform/WholeFile.h"
#include "platform/ZentyrError.h"

#include <QRegularExpression>

namespace {

constexpr int LinePauseMs = 100;
constexpr int OptionalStopPauseMs = 50;

// Waits until the host reports no motion. False when a stop request ended the run; the
// request is cleared then.
bool WaitForMotionEnd(IMyScriptObject& mach, IWaiter& waiter, int pauseMs)
{
    while (mach.IsMoving()) {
        waiter.SleepProcessingEvents(pauseMs);
        if (StopRequested) {
            StopRequested = false;
            return false;
        }
    }
    return true;
}

QChar SeparatorOf(const QString& folder)
{
    // A folder written with backslashes only is a Windows path; anything else takes '/',
    // which every platform accepts.
    const bool backslashes = folder.contains(QLatin1Char('\\')) && !folder.contains(QLatin1Char('/'));
    return backslashes ? QLatin1Char('\\') : QLatin1Char('/');
}

}  // namespace

QStringList MachCodeLines(const QString& code)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = code.split(lineBreak);
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

bool IsOptionalStopLine(const QString& line)
{
    return line.toUpper().contains(QLatin1String("M1"));
}

void RunMachCode(IMyScriptObject& mach, const QString& code, IWaiter& waiter,
                 IMessageBoxes& boxes)
{
    const QStringList lines = MachCodeLines(code);
    for (const QString& line : lines) {
        if (IsOptionalStopLine(line)) {
            if (!WaitForMotionEnd(mach, waiter, OptionalStopPauseMs))
                return;
            const QString question = line + QLatin1Char('\r') + QStringLiteral("Proceed?");
            const auto answer = boxes.Show(IMessageBoxes::Kind::Confirm, question,
                                           IMessageBoxes::Buttons::YesNo);
            if (answer != IMessageBoxes::Answer::Yes)
                return;
            continue;
        }
        mach.Code(line);
        if (!WaitForMotionEnd(mach, waiter, LinePauseMs))
            return;
    }
}

QString MachMacroFolder(const QString& machDir, const QString& profile)
{
    QChar separator = SeparatorOf(machDir);
    if (machDir.endsWith(QLatin1Char('/')) || machDir.endsWith(QLatin1Char('\\')))
        separator = machDir.back();
    return machDir + QStringLiteral("Macros") + separator + profile;
}

QString WriteMachMacroFile(const QString& macroFolder, const QString& script)
{
    if (macroFolder.isEmpty())
        throw ZentyrError(QStringLiteral("The macro folder is not set; the script was not written."));
    const QString path = macroFolder + SeparatorOf(macroFolder) + QStringLiteral("M6666.m1s");

    QByteArray bytes;
    for (const QString& line : MachCodeLines(script)) {
        bytes += line.toLocal8Bit();
        bytes += "\r\n";
    }

    if (const std::optional<QString> failure = WriteWholeFile(path, bytes))
        throw ZentyrError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, *failure));
    return path;
}
