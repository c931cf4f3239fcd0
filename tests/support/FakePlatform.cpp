#include "FakePlatform.h"

#include <QCoreApplication>

namespace {
// The next queued answer; an empty queue answers "cancelled".
std::optional<QString> TakeFront(std::deque<std::optional<QString>>& answers)
{
    std::optional<QString> answer;
    if (!answers.empty()) {
        answer.swap(answers.front());
        answers.pop_front();
    }
    return answer;
}
}  // namespace

std::optional<IHostWindows::Handle> FakeHostWindows::FindWindowByCaption(const QString& wanted)
{
    ++findCount;
    calls.append(QStringLiteral("Find"));
    if (caption.isEmpty() || caption != wanted)
        return std::nullopt;
    return Handle{1};
}

void FakeHostWindows::SetWindowVisible(Handle, bool show)
{
    calls.append(show ? QStringLiteral("Show") : QStringLiteral("Hide"));
    visible = show;
}

int FakeShell::OpenProgram(const QString& program, const QString& parameters,
                           const QString& workingFolder)
{
    starts.append(Start{program, parameters, workingFolder});
    if (onStart)
        onStart();
    return result;
}

int FakeShell::OpenDocument(const QString& document)
{
    documents.append(document);
    return result;
}

std::optional<QString> FakeFileDialogs::OpenFile(const FileDialogOptions& options)
{
    opened.append(options);
    return TakeFront(answers);
}

std::optional<QString> FakeFileDialogs::SaveFile(const FileDialogOptions& options)
{
    saved.append(options);
    return TakeFront(answers);
}

IMessageBoxes::Answer FakeMessageBoxes::Show(Kind kind, const QString& text, Buttons buttons)
{
    shown.append(Shown{kind, text, buttons});
    if (!answers.empty()) {
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
}

std::optional<QString> FakeInputBox::InputQuery(const QString& caption, const QString& prompt,
                                                const QString& value)
{
    captions.append(caption);
    prompts.append(prompt);
    values.append(value);
    return TakeFront(answers);
}

void FakeWaiter::Sleep(int ms)
{
    waits.append(QStringLiteral("Sleep(%1)").arg(ms));
    totalMs += ms;
    if (onWait)
        onWait();
}

void FakeWaiter::ProcessEvents()
{
    waits.append(QStringLiteral("ProcessEvents"));
    if (processRealEvents)
        QCoreApplication::processEvents();
    if (onWait)
        onWait();
}

void FakeWaiter::SleepProcessingEvents(int ms)
{
    waits.append(QStringLiteral("SleepProcessingEvents(%1)").arg(ms));
    totalMs += ms;
    if (processRealEvents)
        QCoreApplication::processEvents();
    if (onWait)
        onWait();
}
