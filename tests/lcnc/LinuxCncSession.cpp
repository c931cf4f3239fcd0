#include "LinuxCncSession.h"

#include "host/Mach4_TLB.h"
#include "host/link/LinkConnection.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkEndpoint.h"
#include "platform/ZentyrError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#ifndef LCNCHOST_PATH
#error "LCNCHOST_PATH must name the lcnchost program"
#endif

namespace {

constexpr char LockFile[] = "/tmp/linuxcnc.lock";
constexpr int StartMs = 60000;  // a loaded CI machine starts LinuxCNC in well under this
constexpr int StopMs = 30000;

QString Tail(const QString& path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QStringList all = QString::fromLocal8Bit(file.readAll()).split(u'\n');
    return all.mid(qMax(0, int(all.size()) - lines)).join(u'\n');
}

// lcnchost serves and LinuxCNC answers it (the task may come up a moment after lcnchost).
bool Serves(const QString& socketPath)
{
    try {
        hostlink::LinkConnection probe(socketPath, 1000);
        probe.Open();
        const hostlink::WireValue reset = hostlink::WireValue::OfInt16(800);
        probe.Call(hostlink::LinkOp::GetOEMLed, &reset, 1);
        return true;
    } catch (const ZentyrError&) {
        return false;
    }
}

}  // namespace

LinuxCncSession::LinuxCncSession()
    : m_marker(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

LinuxCncSession::~LinuxCncSession()
{
    Stop();
}

QString LinuxCncSession::SocketPath() const
{
    return m_runtime.filePath(QLatin1String(hostlink::LinkSocketName));
}

std::unique_ptr<IMach4Document> LinuxCncSession::Connect() const
{
    auto doc = std::make_unique<hostlink::LinkDocument>(SocketPath(), hostlink::LinkDefaultTimeoutMs);
    doc->Connect();
    return doc;
}

QString LinuxCncSession::Logs() const
{
    return QStringLiteral("--- lcnchost log ---\n%1\n--- LinuxCNC output ---\n%2\n--- LinuxCNC debug ---\n%3")
        .arg(Tail(m_home.filePath(QStringLiteral("lcnchost.log")), 30),
             Tail(m_home.filePath(QStringLiteral("linuxcnc.out")), 30),
             Tail(m_home.filePath(QStringLiteral("linuxcnc_debug.txt")), 30));
}

bool LinuxCncSession::Start()
{
    const QString linuxcnc = QStandardPaths::findExecutable(QStringLiteral("linuxcnc"));
    if (linuxcnc.isEmpty()) {
        m_reason = QStringLiteral("LinuxCNC is not installed (Debian package linuxcnc-uspace)");
        return false;
    }
    if (QFile::exists(QLatin1String(LockFile))) {
        m_reason = QStringLiteral("another LinuxCNC session runs on this computer (%1)").arg(QLatin1String(LockFile));
        return false;
    }
    // The configuration is copied: LinuxCNC writes its parameter file beside it.
    const QDir shipped(QStringLiteral(LCNC_CONFIG_DIR));
    for (const QString& name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), m_config.filePath(name));
    const QString ini = m_config.filePath(QStringLiteral("zentyr-mill.ini"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(LCNCHOST_PATH)).absolutePath()
                                           + u':' + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("LCNCHOST_LOG"), m_home.filePath(QStringLiteral("lcnchost.log")));
    env.insert(QStringLiteral("ZENTYR_LCNC_SESSION"), m_marker);
    env.remove(QStringLiteral("DISPLAY"));  // headless: no error windows from LinuxCNC
    if (::getuid() == 0) {
        // LinuxCNC's real-time part refuses to run as root without an ordinary user to fall
        // back to, and binds its socket as that user.
        if (const passwd* nobody = ::getpwnam("nobody")) {
            const QByteArray fifo = QFile::encodeName(m_rtapi.path());
            [[maybe_unused]] const int r = ::chown(fifo.constData(), nobody->pw_uid, nobody->pw_gid);
            env.insert(QStringLiteral("RTAPI_UID"), QString::number(nobody->pw_uid));
            env.insert(QStringLiteral("RTAPI_FIFO_PATH"), m_rtapi.filePath(QStringLiteral("rtapi_fifo")));
        }
    }
    m_linuxcnc.setProcessEnvironment(env);
    m_linuxcnc.setWorkingDirectory(m_config.path());
    m_linuxcnc.setStandardOutputFile(m_home.filePath(QStringLiteral("linuxcnc.out")));
    m_linuxcnc.setStandardErrorFile(m_home.filePath(QStringLiteral("linuxcnc.out")), QIODevice::Append);
    m_linuxcnc.setStandardInputFile(QProcess::nullDevice());
    m_linuxcnc.start(linuxcnc, {ini});
    if (!m_linuxcnc.waitForStarted(5000)) {
        m_reason = QStringLiteral("LinuxCNC did not start: %1").arg(m_linuxcnc.errorString());
        return false;
    }
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < StartMs) {
        if (Serves(SocketPath()))
            return true;
        if (m_linuxcnc.state() == QProcess::NotRunning)
            break;
        m_linuxcnc.waitForFinished(100);
    }
    m_reason = QStringLiteral("LinuxCNC did not come up with lcnchost serving\n%1").arg(Logs());
    Stop();
    return false;
}

QList<qint64> LinuxCncSession::Processes(const QString& program) const
{
    QList<qint64> pids;
    const QByteArray marker = "ZENTYR_LCNC_SESSION=" + m_marker.toLatin1();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (!comm.open(QIODevice::ReadOnly) || !environment.open(QIODevice::ReadOnly))
            continue;
        if (QString::fromLocal8Bit(comm.readAll()).trimmed() != program)
            continue;
        if (environment.readAll().split('\0').contains(marker))
            pids += pid;
    }
    return pids;
}

void LinuxCncSession::Stop()
{
    if (m_linuxcnc.state() == QProcess::NotRunning)
        return;
    // lcnchost going ends the session: LinuxCNC cleans up after its display program.
    for (qint64 pid : Processes(QStringLiteral("lcnchost")))
        ::kill(pid_t(pid), SIGTERM);
    if (!m_linuxcnc.waitForFinished(StopMs)) {
        m_linuxcnc.terminate();  // LinuxCNC's script cleans up on SIGTERM too
        if (!m_linuxcnc.waitForFinished(StopMs)) {
            m_linuxcnc.kill();
            m_linuxcnc.waitForFinished(2000);
        }
    }
}
