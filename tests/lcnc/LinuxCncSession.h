#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class IMach4Document;

// A real LinuxCNC session for the integration tests and benchmarks: the shipped simulated mill
// copied to a temporary folder, started headless with lcnchost as its display program, serving
// on a private runtime folder. Everything it starts carries a marker in its environment, so
// the session finds (and ends) its own processes by their ids and nothing else.
//
// LinuxCNC allows one session per computer; a session already running is left alone and the
// start reports why it cannot go ahead.
class LinuxCncSession final
{
public:
    LinuxCncSession();
    ~LinuxCncSession();
    LinuxCncSession(const LinuxCncSession&) = delete;
    LinuxCncSession& operator=(const LinuxCncSession&) = delete;

    // Starts LinuxCNC and waits (bounded) until lcnchost serves. False, with Reason(), when
    // LinuxCNC is not installed, another session runs, or it did not come up.
    bool Start();
    // Ends lcnchost, which ends the LinuxCNC session, and waits (bounded) for it to clean up.
    void Stop();

    QString Reason() const { return m_reason; }
    QString SocketPath() const;
    QString ProgramFolder() const { return m_config.path(); }

    // A connected document with the link's usual timeout.
    std::unique_ptr<IMach4Document> Connect() const;

    // Process ids of this session's processes running `program`.
    QList<qint64> Processes(const QString& program) const;

    // The end of lcnchost's log and LinuxCNC's output, for failure messages.
    QString Logs() const;

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_home;
    QTemporaryDir m_config;
    QTemporaryDir m_rtapi;  // for LinuxCNC's real-time socket, owned by its fallback user
    QString m_marker;
    QProcess m_linuxcnc;
    QString m_reason;
};
