// The program's entry: native platform services, the host transport and the main window.

#include "app/ToolWindows.h"
#include "host/HostCallGate.h"
#include "platform/NativeDialogs.h"
#include "platform/NativeWaiter.h"
#include "platform/Platform.h"
#include "platform/QtSettingsStore.h"
#include "platform/TerminationSignals.h"
#include "windows/ZentyrAbout.h"
#include "windows/ZentyrMain.h"

#ifdef Q_OS_WIN
#include "host/com/ComDocument.h"
#include "platform/win/WinHostWindows.h"
#include "platform/win/WinShell.h"
#else
#include "app/BundledHost.h"
#include "host/link/HostsimFolder.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#endif

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcStartup, "zentyr.startup")

namespace {

// Where the desktop layout file lives. On Windows it lies beside the program and carries its
// name; elsewhere program folders are not writable, so it lies beside the settings file.
QString DesktopLayoutFilePath(const QString& programPath)
{
#ifdef Q_OS_WIN
    return DesktopLayoutFileForProgram(programPath);
#else
    Q_UNUSED(programPath);
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                             QStringLiteral("Vuve3 Dazorudava"), QStringLiteral("Settings"));
    return QFileInfo(settings.fileName()).absoluteDir().filePath(QStringLiteral("Zentyr.dsktp"));
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(true);
    QApplication::setWindowIcon(QIcon(TMachAboutDlg::ProgramIconPicture()));

    NativeWaiter waiter;
    NativeFileDialogs fileDialogs;
    NativeMessageBoxes messageBoxes;
    NativeInputBox inputBox;
#ifdef Q_OS_WIN
    // Mach3 itself: its window among the desktop's, its automation objects over COM.
    WinShell shell;
    WinHostWindows hostWindows;
    comhost::ComDocumentFactory documents;
    // A wait for Mach3 keeps the windows painted and the timers running.
    documents.SetWaitPump(&PumpHostWaitEvents);
#else
    NativeShell shell;
    hostlink::LinkHostWindows hostWindows;
    hostlink::LinkDocumentFactory documents;
    // A wait for the simulated host keeps the windows painted and the timers running.
    documents.SetWaitPump(&PumpHostWaitEvents);
    hostWindows.SetWaitPump(&PumpHostWaitEvents);
#endif
    QtSettingsStore settings;
    PlatformServices platform{hostWindows, shell, fileDialogs, messageBoxes, inputBox, waiter};

    const QString programPath = QCoreApplication::applicationFilePath();
    ZentyrContext context{platform, documents, settings, programPath,
                          DesktopLayoutFilePath(programPath), QString(), QString()};
#ifndef Q_OS_WIN
    // Without a controller on this system, the simulated host installed beside the program
    // stands in for it, with the profile it ships, started from its own controller folder.
    QString problem;
    context.defaultMachLoc = BundledHostLocation(QCoreApplication::applicationDirPath(),
                                                 hostlink::HostsimFolder(), &problem);
    if (!problem.isEmpty())
        qCWarning(lcStartup).noquote() << "Simulated host:" << problem;
    const QString location = QStringLiteral("Mach Location");
    const QString stored = settings.Read(location, QString());
    const QString migrated = MigratedHostLocation(stored, QCoreApplication::applicationDirPath(),
                                                  context.defaultMachLoc);
    if (migrated != stored)
        settings.Write(location, migrated);
    context.defaultProfile = QStringLiteral("Mach3Mill");
#endif

    TForm1 mainWindow(context);
    CloseOnTerminationSignals(mainWindow);
    PlugToolWindows(mainWindow);
    mainWindow.FormCreate();
    mainWindow.show();
    return QApplication::exec();
}
