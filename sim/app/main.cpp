#include "host/link/HostsimFolder.h"
#include "host/link/LinkEndpoint.h"
#include "sim/MachineModel.h"
#include "sim/app/HostDispatcher.h"
#include "sim/app/HostsimOptions.h"
#include "sim/app/HostsimWindow.h"
#include "sim/app/Journal.h"
#include "sim/app/LinkServer.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

// hostsim: the simulated controller. Started as the controller is, with `/p "Profile"`; its
// controller folder is the user's own (hostlink::HostsimFolder) unless HOSTSIM_HOME names
// another, and receives a copy of the profile shipped beside the program; HOSTSIM_JOURNAL
// names a file that receives the journal of automation calls; `/fork <gap>` starts it with a
// fork probe that straddles its probe target.
namespace {

constexpr int AdvanceIntervalMs = 20;
constexpr int RefreshEveryTicks = 5;  // the window follows at 100 ms

void Report(const QString& text)
{
    std::fprintf(stderr, "hostsim: %s\n", qPrintable(text));
    // A modal box would wait forever without a screen to answer it.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QMessageBox::information(nullptr, QStringLiteral("hostsim"), text);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hostsim"));
    QApplication::setQuitOnLastWindowClosed(false);

    const hostsim::HostsimOptions options = hostsim::ParseHostsimOptions(
        QApplication::arguments().mid(1), hostlink::HostsimFolder(),
        qEnvironmentVariable("HOSTSIM_HOME"));
    const QStringList folderProblems = hostsim::PrepareControllerFolder(
        options.controllerFolder, options.profile, QApplication::applicationDirPath());
    const QDir folder(options.controllerFolder);

    hostsim::SteadyClock clock;
    hostsim::MachineModel model(clock, folder.absolutePath(), options.profile);
    for (const QString& warning : options.warnings + folderProblems)
        model.Message(warning);
    if (options.forkGap > 0.0) {
        hostsim::ProbeTarget target = model.GetProbeTarget();
        target.forkGap = options.forkGap;
        model.SetProbeTarget(target);
    }

    const QString journalPath = qEnvironmentVariable("HOSTSIM_JOURNAL");
    hostsim::Journal journal(journalPath);
    if (!journal.FileError().isEmpty())
        std::fprintf(stderr, "hostsim: %s\n", qPrintable(journal.FileError()));

    hostsim::HostsimWindow window(model, journal, journalPath);
    hostsim::HostDispatcher dispatcher(model, journal, window);
    hostsim::LinkServer server(dispatcher);

    const QString socketPath = hostlink::LinkSocketPath();
    QString error;
    switch (server.Listen(socketPath, &error)) {
    case hostsim::LinkServer::ListenResult::Listening:
        break;
    case hostsim::LinkServer::ListenResult::AlreadyServed:
        Report(QStringLiteral("A simulated controller is already running (%1).").arg(socketPath));
        return 1;
    case hostsim::LinkServer::ListenResult::Failed:
        Report(error);
        return 2;
    }

    QTimer ticker;
    int tick = 0;
    QObject::connect(&ticker, &QTimer::timeout, &window, [&] {
        model.Advance();
        if (++tick % RefreshEveryTicks == 0)
            window.Refresh();
    });
    ticker.start(AdvanceIntervalMs);

    window.SetShown(true);
    return QApplication::exec();
}
