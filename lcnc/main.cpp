#include "host/link/LinkEndpoint.h"
#include "lcnc/LcncConfig.h"
#include "lcnc/LcncDispatcher.h"
#include "lcnc/MachTranslation.h"
#include "lcnc/NmlController.h"
#include "sim/app/LinkServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <optional>
#include <cstdio>

#include <sys/prctl.h>
#include <unistd.h>

// lcnchost: Zentyr's controller on a LinuxCNC machine. It serves the same local link as the
// simulated host, so Zentyr attaches to it unchanged, and carries every call out on LinuxCNC.
//
// LinuxCNC starts it as the display program of a configuration ("lcnchost -ini FILE"); it then
// lives as long as that LinuxCNC session, and ending it ends the session. Started without an
// INI file (say by Zentyr, with "/p Profile"), it serves a LinuxCNC already running with the
// default channel file. LCNCHOST_LOG names a file that receives its messages as well as stderr.
namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

class Log final
{
public:
    explicit Log(const QString& path)
    {
        if (path.isEmpty())
            return;
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            std::fprintf(stderr, "lcnchost: cannot write %s: %s\n", qPrintable(path),
                         qPrintable(m_file.errorString()));
    }

    void Write(const QString& text)
    {
        std::fprintf(stderr, "lcnchost: %s\n", qPrintable(text));
        if (m_file.isOpen()) {
            m_file.write(QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' '
                         + text.toUtf8() + '\n');
            m_file.flush();
        }
    }

private:
    QFile m_file;
};

QString IniArgument(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("-ini"));
    if (at >= 0 && at + 1 < arguments.size())
        return arguments[at + 1];
    return qEnvironmentVariable("INI_FILE_NAME");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lcnchost"));
    Log log(qEnvironmentVariable("LCNCHOST_LOG"));
    const auto report = [&log](const QString& text) { log.Write(text); };

    const QString iniPath = IniArgument(QCoreApplication::arguments().mid(1));
    if (!iniPath.isEmpty()) {
        // The display program of a LinuxCNC session goes when the session does.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() == 1)
            return 0;
    }
    lcnchost::LcncConfig config;
    QString error;
    if (!lcnchost::ReadLcncConfig(iniPath, config, &error)) {
        report(error);
        return 2;
    }

    lcnchost::NmlController controller(config.nmlFile, report);
    lcnchost::MachTranslation host(controller,
                                   {config.maxVelocity, config.programFolder, config.safeZ}, report);
    lcnchost::LcncDispatcher dispatcher(host);
    hostsim::LinkServer server(dispatcher);

    const QString socketPath = hostlink::LinkSocketPath();
    switch (server.Listen(socketPath, &error)) {
    case hostsim::LinkServer::ListenResult::Listening:
        break;
    case hostsim::LinkServer::ListenResult::AlreadyServed:
        report(QStringLiteral("Another controller (hostsim?) already serves Zentyr on %1.").arg(socketPath));
        return 1;
    case hostsim::LinkServer::ListenResult::Failed:
        report(error);
        return 2;
    }

    // SIGTERM and SIGINT end the program through the event loop, so the socket is removed.
    if (::pipe(g_signalPipe) == 0) {
        std::signal(SIGTERM, OnSignal);
        std::signal(SIGINT, OnSignal);
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }

    report(QStringLiteral("Serving Zentyr on %1 for the LinuxCNC machine %2 (%3)")
               .arg(socketPath, config.machine, iniPath.isEmpty() ? config.nmlFile : iniPath));

    // LinuxCNC's messages, and its coming and going, reach the log also while Zentyr asks
    // nothing. The frequent look at the status also keeps the proof of a running LinuxCNC
    // fresh, so calls seldom need to wait for its next cycle.
    QTimer watch;
    std::optional<bool> answering;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        controller.DrainMessages();
        QString reason;
        try {
            controller.Status();
        } catch (const lcnchost::ControllerError& e) {
            reason = e.Reason();
        }
        if (answering != reason.isEmpty()) {
            answering = reason.isEmpty();
            report(reason.isEmpty() ? QStringLiteral("LinuxCNC answers") : reason);
        }
    });
    watch.start(20);

    const int result = QCoreApplication::exec();
    report(QStringLiteral("Stopped"));
    return result;
}
