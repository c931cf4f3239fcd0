#include "platform/NativeShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

// Results follow the classic shell: above ShellSuccessAbove is success; at or below it the
// value says why the start failed.
namespace {
constexpr int ShellOk = 33;
constexpr int ShellFileNotFound = 2;
constexpr int ShellAccessDenied = 5;
constexpr int ShellOtherFailure = 8;  // the system could not start the process
}  // namespace

// The program gets its arguments as a list, split from `parameters` by command-line quoting
// rules (`/p "My Profile"` gives "/p" and "My Profile"); no command interpreter ever sees them,
// so nothing in a profile name is interpreted. It runs detached: it outlives this program.
// A working folder that does not exist (a path of another platform, say) is replaced by the
// program's own folder. Linux desktops offer no way to start a window without activating it;
// the simulated host starts without taking the focus by itself.
int NativeShell::OpenProgram(const QString& program, const QString& parameters,
                             const QString& workingFolder)
{
    const QFileInfo exe(program);
    if (program.isEmpty() || !exe.exists() || exe.isDir())
        return ShellFileNotFound;
    if (!exe.isExecutable())
        return ShellAccessDenied;

    QString folder = workingFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = exe.absolutePath();

    QProcess process;
    process.setProgram(exe.absoluteFilePath());
    process.setArguments(QProcess::splitCommand(parameters));
    process.setWorkingDirectory(folder);
    return process.startDetached() ? ShellOk : ShellOtherFailure;
}

// A local file that does not exist fails without asking the desktop; anything else that reads
// as a URL (a web link) is handed to the desktop's associated viewer.
int NativeShell::OpenDocument(const QString& document)
{
    if (document.isEmpty())
        return ShellFileNotFound;
    QUrl url;
    const QUrl asUrl(document);
    if (asUrl.isValid() && asUrl.scheme().size() > 1) {
        url = asUrl;
    } else {
        if (!QFileInfo::exists(document))
            return ShellFileNotFound;
        url = QUrl::fromLocalFile(QFileInfo(document).absoluteFilePath());
    }
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return ShellFileNotFound;
    return QDesktopServices::openUrl(url) ? ShellOk : ShellFileNotFound;
}
