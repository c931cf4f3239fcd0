#include "HostsimProcess.h"

#include "host/link/LinkConnection.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkEndpoint.h"
#include "platform/ZentyrError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstring>
#include <functional>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#ifndef HOSTSIM_PATH
#error "HOSTSIM_PATH must name the hostsim program"
#endif

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    for (;;) {
        if (ready())
            return true;
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

HostsimProcess::HostsimProcess()
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("HOSTSIM_HOME"), m_home.path());
    env.insert(QStringLiteral("HOSTSIM_JOURNAL"), JournalPath());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(env);
    m_process.setProgram(ProgramPath());
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

HostsimProcess::~HostsimProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        Stop(false);
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString HostsimProcess::ProgramPath() { return QStringLiteral(HOSTSIM_PATH); }

QString HostsimProcess::SocketPath() const
{
    return m_runtime.filePath(QLatin1String(hostlink::LinkSocketName));
}

bool HostsimProcess::Start(const QStringList& arguments)
{
    m_process.setArguments(arguments);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return false;
    return WaitUntil(
        [&] {
            if (m_process.state() == QProcess::NotRunning)
                return true;
            try {
                hostlink::LinkConnection probe(SocketPath(), 500);
                probe.Open();
                return true;
            } catch (const ZentyrError&) {
                return false;
            }
        },
        10000)
        && m_process.state() == QProcess::Running;
}

void HostsimProcess::Kill()
{
    m_process.kill();
    m_process.waitForFinished(2000);
}

void HostsimProcess::Stop(bool stopped)
{
    if (m_process.processId() > 0)
        ::kill(pid_t(m_process.processId()), stopped ? SIGSTOP : SIGCONT);
}

QStringList HostsimProcess::JournalCalls() const
{
    QFile file(JournalPath());
    QStringList calls;
    if (!file.open(QIODevice::ReadOnly))
        return calls;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype blank = line.indexOf(' ');
        if (blank > 0)
            calls << QString::fromUtf8(line.mid(blank + 1));
    }
    return calls;
}

std::unique_ptr<IMach4Document> HostsimProcess::Connect(hostlink::ILinkTiming* timing) const
{
    auto doc = hostlink::LinkDocumentFactory(SocketPath(), hostlink::LinkDefaultTimeoutMs, timing)
                   .CreateDocument();
    doc->Connect();
    return doc;
}

qint64 ServerPid(const QString& socketPath)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(socketPath);
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    qint64 pid = 0;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        ucred cred{};
        socklen_t len = sizeof cred;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0)
            pid = cred.pid;
    }
    ::close(fd);
    return pid;
}
