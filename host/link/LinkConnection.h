#pragma once

#include "host/link/LinkProtocol.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace hostlink {

// How long one call may take, connect and handshake included, before the host counts as
// gone. Kept well under two seconds so an operator action never appears to hang.
inline constexpr int LinkDefaultTimeoutMs = 1500;

// Time and waiting as a link connection sees them. The connection reads the time and waits for
// its socket only through this, so its deadlines can be checked on a test's own clock.
class ILinkTiming
{
public:
    virtual ~ILinkTiming() = default;
    // A monotonic time in milliseconds.
    virtual qint64 NowMs() = 0;
    // Waits until `fd` is ready for `events` (poll(2) flags) or `timeoutMs` (at least 0) pass.
    // False when the time passed first; true when ready or when the wait itself failed (the
    // following read or write then reports the error).
    virtual bool WaitReady(int fd, short events, int timeoutMs) = 0;
    // Pauses before connecting again to a host whose queue of waiting connections is full.
    virtual void PauseBeforeRetry(int ms) = 0;
};

// The steady clock and poll(2): the timing every connection of the program uses.
ILinkTiming& SystemLinkTiming();

// Runs between the slices of a wait for the host: the application lets its events through here
// (PumpHostWaitEvents), so a wait of up to one timeout never freezes the windows. Empty: the
// connection waits in one piece.
using LinkWaitPump = std::function<void()>;

// The longest slice of a wait between two runs of the pump.
inline constexpr int LinkWaitSliceMs = 20;

// One connection to the simulated host: a blocking request/reply channel over the host's local
// socket. Each call sends one request and waits for its reply, at most the timeout.
//
// Once a call has failed for a transport reason (timeout, closed connection, garbled reply)
// the connection is dead: the socket is closed and every later call fails at once with the
// same message. An error reply from the host fails only that call.
//
// Each operation (Open, Call) is one host call in the sense of HostCallScope: while it waits, the
// pump may run the application's events, and a host call those events begin - on this or any
// connection - fails at once with HostCallBusy and never touches a socket. The deadline of the
// waiting call is not moved by the pump.
//
// Not thread-safe: one connection is used by one thread (the application makes every host call
// on its user-interface thread). All failures are raised as ZentyrError.
class LinkConnection final
{
public:
    // `timing` must outlive the connection.
    explicit LinkConnection(QString socketPath, int timeoutMs = LinkDefaultTimeoutMs,
                            ILinkTiming& timing = SystemLinkTiming(), LinkWaitPump pump = {});
    ~LinkConnection();
    LinkConnection(const LinkConnection&) = delete;
    LinkConnection& operator=(const LinkConnection&) = delete;

    // Connects and exchanges protocol versions, both within one timeout. Raises "The controller
    // is not running" style errors when nothing answers on the socket. Does nothing when
    // already open.
    void Open();
    bool IsOpen() const { return m_fd >= 0; }

    // Closes the socket; later calls fail with `reason`. Asked from the pump while an operation
    // of this connection waits, the socket is closed as that operation ends.
    void Close(const QString& reason);

    // Sends one request and returns the reply's value (type as the operation's signature says).
    WireValue Call(LinkOp op, const WireValue* args = nullptr, int argCount = 0);

    const QString& SocketPath() const { return m_path; }

private:
    class Operation;

    WireValue CallBefore(qint64 deadline, LinkOp op, const WireValue* args, int argCount);
    // Waits for the socket in slices, running the pump between them; false when `deadline`
    // passed first.
    bool WaitFor(int fd, short events, qint64 deadline);
    void CloseSocket(const QString& reason);
    [[noreturn]] void Fail(const QString& reason);
    qint64 RemainingMs(qint64 deadline) const;
    void SendAll(const char* data, qsizetype size, qint64 deadline);
    void ReceiveFrame(qint64 deadline, quint32* payloadBytes);

    QString m_path;
    int m_timeoutMs;
    ILinkTiming& m_timing;
    LinkWaitPump m_pump;
    int m_fd = -1;
    bool m_inOperation = false;
    QString m_closeAfterOperation;  // a Close asked for while an operation waited
    quint32 m_seq = 0;
    QString m_deadReason;  // why calls fail; empty while open or never opened
    QByteArray m_out;      // reused request buffer
    QByteArray m_in;       // reused reply buffer
    LinkReply m_reply;     // reused decode target
};

}  // namespace hostlink
