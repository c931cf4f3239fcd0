#pragma once

#include "platform/Dialogs.h"
#include "platform/HostWindows.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "platform/Waiter.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

// Host windows known by caption; records every question.
class FakeHostWindows final : public IHostWindows
{
public:
    std::optional<Handle> FindWindowByCaption(const QString& caption) override;
    void SetWindowVisible(Handle window, bool visible) override;

    // Caption of the one host window, or empty when the host does not run.
    QString caption;
    bool visible = true;
    int findCount = 0;
    QStringList calls;  // "Find", "Show", "Hide"
};

// Records program starts and answers with a settable shell result.
class FakeShell final : public IShell
{
public:
    struct Start
    {
        QString program;
        QString parameters;
        QString workingFolder;
    };

    int OpenProgram(const QString& program, const QString& parameters,
                    const QString& workingFolder) override;
    int OpenDocument(const QString& document) override;

    int result = 42;
    QList<Start> starts;
    QStringList documents;
    // Called on each program start, e.g. to make the host window appear.
    std::function<void()> onStart;
};

// Answers file dialogs from a queue; an empty queue cancels.
class FakeFileDialogs final : public IFileDialogs
{
public:
    std::optional<QString> OpenFile(const FileDialogOptions& options) override;
    std::optional<QString> SaveFile(const FileDialogOptions& options) override;

    std::deque<std::optional<QString>> answers;
    QList<FileDialogOptions> opened;
    QList<FileDialogOptions> saved;
};

// Records message boxes and answers from a queue (default: Ok for Ok boxes, Yes otherwise).
class FakeMessageBoxes final : public IMessageBoxes
{
public:
    struct Shown
    {
        Kind kind;
        QString text;
        Buttons buttons;
    };
    Answer Show(Kind kind, const QString& text, Buttons buttons) override;

    std::deque<Answer> answers;
    QList<Shown> shown;
};

class FakeInputBox final : public IInputBox
{
public:
    std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                      const QString& value) override;

    std::deque<std::optional<QString>> answers;
    // What each box showed: its caption, prompt and prefilled value.
    QStringList captions;
    QStringList prompts;
    QStringList values;
};

// Waits without waiting: records each wait and lets a test react to it.
class FakeWaiter final : public IWaiter
{
public:
    void Sleep(int ms) override;
    void ProcessEvents() override;
    void SleepProcessingEvents(int ms) override;

    // Every wait in order: "Sleep(200)", "ProcessEvents", "SleepProcessingEvents(100)".
    QStringList waits;
    qint64 totalMs = 0;
    // Called at every wait (after recording it), e.g. to change the host's state.
    std::function<void()> onWait;
    // When true, ProcessEvents and SleepProcessingEvents process the real Qt event queue.
    bool processRealEvents = false;
};

// Every platform service as a fake, bundled.
struct FakePlatform
{
    FakeHostWindows hostWindows;
    FakeShell shell;
    FakeFileDialogs fileDialogs;
    FakeMessageBoxes messageBoxes;
    FakeInputBox inputBox;
    FakeWaiter waiter;
    PlatformServices services{hostWindows, shell, fileDialogs, messageBoxes, inputBox, waiter};
};
