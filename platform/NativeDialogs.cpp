#include "platform/NativeDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

std::optional<QString> RunFileDialog(const FileDialogOptions& options, bool save)
{
    QFileDialog dialog(DialogParent(), options.title, QString(),
                       QtFileDialogFilter(options.filter));
    const QString start = FileDialogStartPath(options);
    if (QFileInfo(start).isDir())
        dialog.setDirectory(start);
    else
        dialog.selectFile(start);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !options.fileMustExist ? QFileDialog::AnyFile
                                                      : QFileDialog::ExistingFile);
    if (!options.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(options.defaultExtension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

}  // namespace

QString FileDialogStartPath(const FileDialogOptions& options)
{
    QString folder = options.initialFolder;
    // A folder that does not exist (yet) would be taken for the name of the file.
    if (folder.isEmpty() || folder == QStringLiteral(".\\") || folder == QStringLiteral("./")
        || !QFileInfo(folder).isDir())
        folder = QDir::currentPath();
    if (options.fileName.isEmpty() || options.fileName.contains(QLatin1Char('*')))
        return folder;
    return QDir(folder).filePath(options.fileName);
}

QString QtFileDialogFilter(const QString& classicFilter)
{
    const QStringList parts = classicFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype paren = description.indexOf(QLatin1Char('('));
        if (paren >= 0)
            description = description.left(paren);
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            for (const QString& variant : {trimmed, trimmed.toLower(), trimmed.toUpper()}) {
                if (!patterns.contains(variant))
                    patterns.append(variant);
            }
        }
        filters.append(description.trimmed() + QStringLiteral(" (") +
                       patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> NativeFileDialogs::OpenFile(const FileDialogOptions& options)
{
    return RunFileDialog(options, false);
}

std::optional<QString> NativeFileDialogs::SaveFile(const FileDialogOptions& options)
{
    return RunFileDialog(options, true);
}

IMessageBoxes::Answer NativeMessageBoxes::Show(Kind kind, const QString& text, Buttons buttons)
{
    QMessageBox box(DialogParent());
    switch (kind) {
    case Kind::Warning:
        box.setWindowTitle(QStringLiteral("Warning"));
        box.setIcon(QMessageBox::Warning);
        break;
    case Kind::Error:
        box.setWindowTitle(QStringLiteral("Error"));
        box.setIcon(QMessageBox::Critical);
        break;
    case Kind::Information:
        box.setWindowTitle(QStringLiteral("Information"));
        box.setIcon(QMessageBox::Information);
        break;
    case Kind::Confirm:
        box.setWindowTitle(QStringLiteral("Confirm"));
        box.setIcon(QMessageBox::Question);
        break;
    }
    // A label breaks lines only at LF: texts built with CR (the optional-stop question) or
    // CR LF are shown with their line breaks.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

std::optional<QString> NativeInputBox::InputQuery(const QString& caption, const QString& prompt,
                                                  const QString& value)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(DialogParent(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}
