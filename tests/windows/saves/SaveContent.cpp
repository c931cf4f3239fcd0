#include "SaveContent.h"

#include "windows/GCodeProgramFile.h"
#include "windows/UserLayoutFiles.h"
#include "windows/XmlLayoutStorage.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

int LineCount(TSaveSize size)
{
    return size == TSaveSize::Small ? 4 : 900;
}

QString VersionText(int version)
{
    return QStringLiteral("Version %1").arg(version);
}

QString CodeLines(int version, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("G1 X%1 Y%2 F300 (<&>)").arg(i).arg(version % 1000));
    return lines.join(QStringLiteral("\r\n"));
}

void WriteDesktopKeys(TLayoutStorage& store, int version, TSaveSize size)
{
    store.SelectSection(QStringLiteral("Desktop\\MainForm"));
    store.WriteInteger(QStringLiteral("Left"), version % 1000);
    store.WriteString(QStringLiteral("CodeButton1\\Caption"), VersionText(version));
    store.WriteString(QStringLiteral("CodeButton1\\Code"), CodeLines(version, LineCount(size)));
    store.SelectSection(QStringLiteral("Desktop\\GCodeEditorForm"));
    store.WriteString(QStringLiteral("LastFile"), QStringLiteral("C:\\Mach3\\GCode\\Rod.tap"));
}

QStringList ProgramLines(int version, TSaveSize size)
{
    QStringList lines{QStringLiteral("(%1)").arg(VersionText(version))};
    lines += CodeLines(version, LineCount(size)).split(QStringLiteral("\r\n"));
    lines.append(QStringLiteral("M30"));
    return lines;
}

TCodeButtonLayout ButtonLayout(int version, TSaveSize size)
{
    TCodeButtonLayout layout;
    layout.placement.top = 27;
    layout.placement.left = version % 1000;
    layout.buttons.append({TCodeButtonKind::GCode, VersionText(version), QStringLiteral("M8"), obtNONE});
    const int count = size == TSaveSize::Small ? 2 : 60;
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 2)
            layout.buttons.append({TCodeButtonKind::OEM, QStringLiteral("OEM %1").arg(i), {},
                                   TmcOEMButtontype(i % 200)});
        else
            layout.buttons.append({i % 3 ? TCodeButtonKind::VBScript : TCodeButtonKind::GCode,
                                   QStringLiteral("Button %1").arg(i), CodeLines(version, 15),
                                   obtNONE});
    }
    return layout;
}

QString PathIn(const QString& folder, TSavedFile file)
{
    return QDir(folder).filePath(SavedFileName(file));
}

}  // namespace

QString SavedFileName(TSavedFile file)
{
    switch (file) {
    case TSavedFile::DesktopLayout:
        return QStringLiteral("Zentyr.dsktp");
    case TSavedFile::Program:
        return QStringLiteral("Program.tap");
    case TSavedFile::ButtonLayout:
        return QStringLiteral("Buttons.cbl");
    }
    return {};
}

void SaveVersion(TSavedFile file, const QString& folder, int version, TSaveSize size)
{
    const QString path = PathIn(folder, file);
    switch (file) {
    case TSavedFile::DesktopLayout: {
        TXmlLayoutStorage store(path);
        WriteDesktopKeys(store, version, size);
        break;
    }
    case TSavedFile::Program:
        WriteProgramLines(path, ProgramLines(version, size));
        break;
    case TSavedFile::ButtonLayout:
        WriteUserLayoutFile(path, FormatCodeButtonLayout(ButtonLayout(version, size)));
        break;
    }
}

void FlushDesktopLayout(const QString& folder, int version, TSaveSize size)
{
    TXmlLayoutStorage store(PathIn(folder, TSavedFile::DesktopLayout),
                            TXmlLayoutStorage::WriteBack::OnFlushOnly);
    WriteDesktopKeys(store, version, size);
    store.Flush();
}

QByteArray SavedBytes(TSavedFile file, int version, TSaveSize size, const QString& scratchFolder)
{
    switch (file) {
    case TSavedFile::DesktopLayout: {
        TXmlLayoutStorage store(TXmlLayoutStorage::WriteBack::OnFlushOnly);
        WriteDesktopKeys(store, version, size);
        return store.FileBytes();
    }
    case TSavedFile::Program: {
        const QString path = PathIn(scratchFolder, file);
        WriteProgramLines(path, ProgramLines(version, size));
        QFile written(path);
        return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    }
    case TSavedFile::ButtonLayout:
        return FormatCodeButtonLayout(ButtonLayout(version, size));
    }
    return {};
}

std::optional<int> VersionIn(const QByteArray& bytes)
{
    static const QRegularExpression version(QStringLiteral("Version (\\d+)"));
    const QRegularExpressionMatch match = version.match(QString::fromLatin1(bytes));
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const int number = match.captured(1).toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}
