#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// How a file dialog opens. `filter` uses the classic "Description|*.ext|Other|*.x" form.
struct FileDialogOptions
{
    QString title;
    QString filter;
    QString defaultExtension;
    QString initialFolder;
    QString fileName;
    bool fileMustExist = false;
    bool overwritePrompt = false;
};

// Standard file open and save dialogs. An empty optional means the operator cancelled.
class IFileDialogs
{
public:
    virtual ~IFileDialogs() = default;
    virtual std::optional<QString> OpenFile(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> SaveFile(const FileDialogOptions& options) = 0;
};

// Modal message boxes whose caption and icon follow their kind.
class IMessageBoxes
{
public:
    enum class Kind { Warning, Error, Information, Confirm };
    enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~IMessageBoxes() = default;
    virtual Answer Show(Kind kind, const QString& text, Buttons buttons) = 0;
};

// The one-line input box: caption, prompt and a proposed value. Empty optional: cancelled.
class IInputBox
{
public:
    virtual ~IInputBox() = default;
    virtual std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                              const QString& value) = 0;
};
