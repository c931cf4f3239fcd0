#pragma once

#include "platform/Dialogs.h"

class QWidget;

// The desktop's own modal dialogs. `parent` (may be null) centres them over a window.
class NativeFileDialogs final : public IFileDialogs
{
public:
    std::optional<QString> OpenFile(const FileDialogOptions& options) override;
    std::optional<QString> SaveFile(const FileDialogOptions& options) override;
};

class NativeMessageBoxes final : public IMessageBoxes
{
public:
    Answer Show(Kind kind, const QString& text, Buttons buttons) override;
};

class NativeInputBox final : public IInputBox
{
public:
    std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                      const QString& value) override;
};

// Converts a classic "Description|*.a;*.b|Other|*.c" filter to the form Qt's dialogs take.
// Patterns match in either letter case, as they do on the desktop the filters come from.
QString QtFileDialogFilter(const QString& classicFilter);

// Where a file dialog opens: the file name in the initial folder, or the folder alone. An
// empty, "." or missing folder stands for the current folder.
QString FileDialogStartPath(const FileDialogOptions& options);
