#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class IMach4Document;
namespace hostlink {
class ILinkTiming;
}

// A real hostsim for one test: private runtime folder (so its socket is the test's alone),
// controller folder and journal file in temporary folders, offscreen platform. The test process
// points its own runtime folder at the same place, so LinkSocketPath() agrees with the child's.
// The simulator is killed when the object goes.
class HostsimProcess final
{
public:
    HostsimProcess();
    ~HostsimProcess();
    HostsimProcess(const HostsimProcess&) = delete;
    HostsimProcess& operator=(const HostsimProcess&) = delete;

    static QString ProgramPath();

    // Starts the simulator and waits (bounded) until it serves. False when it did not.
    bool Start(const QStringList& arguments = {QStringLiteral("/p"), QStringLiteral("Mach3Mill")});
    void Kill();                   // SIGKILL: leaves its socket file behind
    void Stop(bool stopped);       // SIGSTOP / SIGCONT
    QProcess& Process() { return m_process; }

    QString SocketPath() const;
    QString HomeFolder() const { return m_home.path(); }
    QString JournalPath() const { return m_home.filePath(QStringLiteral("journal.log")); }
    QString RuntimeFolder() const { return m_runtime.path(); }

    // The journal's calls (timestamps removed), oldest first.
    QStringList JournalCalls() const;

    // A connected document with the link's usual timeout, on `timing` when given.
    std::unique_ptr<IMach4Document> Connect(hostlink::ILinkTiming* timing = nullptr) const;

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_home;
    QProcess m_process;
};

// The process id of whoever serves `socketPath` (from the peer's credentials), or 0.
qint64 ServerPid(const QString& socketPath);

// Waits until `ready` holds or `timeoutMs` passes, processing events meanwhile.
bool WaitUntil(const std::function<bool()>& ready, int timeoutMs);
