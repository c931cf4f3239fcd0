#include "host/link/LinkConnection.h"

#include "host/HostCallGate.h"
#include "platform/ZentyrError.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace hostlink {

namespace {

class SystemTiming final : public ILinkTiming
{
public:
    qint64 NowMs() override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }

    bool WaitReady(int fd, short events, int timeoutMs) override
    {
        pollfd p{fd, events, 0};
        for (;;) {
            const int n = ::poll(&p, 1, timeoutMs);
            if (n > 0)
                return true;
            if (n == 0)
                return false;
            if (errno != EINTR)
                return true;  // let the following read or write report the error
        }
    }

    void PauseBeforeRetry(int ms) override { ::usleep(useconds_t(ms) * 1000); }
};

constexpr int BusyHostRetryMs = 2;

QString NoAnswer() { return QStringLiteral("The controller does not answer"); }
QString ClosedByHost() { return QStringLiteral("The controller has closed the connection"); }

}  // namespace

ILinkTiming& SystemLinkTiming()
{
    static SystemTiming timing;
    return timing;
}

// One public operation: a host call for the gate, and the span in which a Close is held back.
class LinkConnection::Operation final
{
public:
    explicit Operation(LinkConnection& connection) : m_connection(connection)
    {
        m_connection.m_inOperation = true;
    }
    ~Operation()
    {
        m_connection.m_inOperation = false;
        if (!m_connection.m_closeAfterOperation.isNull()) {
            m_connection.CloseSocket(m_connection.m_closeAfterOperation);
            m_connection.m_closeAfterOperation = QString();
        }
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    HostCallScope m_scope;  // first: a busy gate refuses before anything is marked
    LinkConnection& m_connection;
};

LinkConnection::LinkConnection(QString socketPath, int timeoutMs, ILinkTiming& timing,
                               LinkWaitPump pump)
    : m_path(std::move(socketPath)), m_timeoutMs(timeoutMs), m_timing(timing),
      m_pump(std::move(pump))
{
}

LinkConnection::~LinkConnection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 LinkConnection::RemainingMs(qint64 deadline) const { return deadline - m_timing.NowMs(); }

void LinkConnection::Open()
{
    if (m_fd >= 0)
        return;
    const Operation operation(*this);
    m_deadReason.clear();

    const QByteArray path = QFile::encodeName(m_path);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.isEmpty() || path.size() >= qsizetype(sizeof addr.sun_path))
        throw ZentyrError(QStringLiteral("The controller's socket path is unusable: %1").arg(m_path));
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        throw ZentyrError(QStringLiteral("Cannot open a connection to the controller: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));

    const qint64 deadline = m_timing.NowMs() + m_timeoutMs;
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0)
            break;
        const int err = errno;
        if (err == EINTR)
            continue;
        if (err == EAGAIN && RemainingMs(deadline) > 0) {
            // The host's accept queue is full: it is alive but busy; try again shortly.
            m_timing.PauseBeforeRetry(BusyHostRetryMs);
            continue;
        }
        if (err == EINPROGRESS) {
            int soError = 0;
            socklen_t len = sizeof soError;
            if (WaitFor(fd, POLLOUT, deadline)
                && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) == 0 && soError == 0)
                break;
        }
        ::close(fd);
        if (err == EAGAIN || err == EINPROGRESS)
            throw ZentyrError(NoAnswer());
        throw ZentyrError(QStringLiteral("The controller is not running (nothing answers at %1)")
                              .arg(m_path));
    }
    m_fd = fd;
    m_in.resize(LinkFrameHeaderBytes + LinkMaxPayloadBytes);

    const WireValue version = WireValue::OfInt16(qint16(LinkProtocolVersion));
    WireValue answer;
    try {
        // The handshake shares the connect's deadline: the whole of Open takes no longer than
        // one call may.
        answer = CallBefore(deadline, LinkOp::Hello, &version, 1);
    } catch (const ZentyrError& e) {
        // A host that refuses the handshake is no host to talk to.
        CloseSocket(e.message());
        throw;
    }
    if (answer.int16 != qint16(LinkProtocolVersion)) {
        Fail(QStringLiteral("The controller speaks link version %1, this program %2")
                 .arg(answer.int16)
                 .arg(LinkProtocolVersion));
    }
}

void LinkConnection::Close(const QString& reason)
{
    if (m_inOperation) {
        // The waiting operation still reads from the socket; its number must not be reused
        // under it.
        m_closeAfterOperation = reason;
        return;
    }
    CloseSocket(reason);
}

void LinkConnection::CloseSocket(const QString& reason)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_deadReason = reason;
}

void LinkConnection::Fail(const QString& reason)
{
    CloseSocket(reason);
    throw ZentyrError(reason);
}

WireValue LinkConnection::Call(LinkOp op, const WireValue* args, int argCount)
{
    const Operation operation(*this);
    return CallBefore(m_timing.NowMs() + m_timeoutMs, op, args, argCount);
}

bool LinkConnection::WaitFor(int fd, short events, qint64 deadline)
{
    for (;;) {
        const qint64 left = qMax<qint64>(0, RemainingMs(deadline));
        const int slice = int(m_pump ? qMin<qint64>(left, LinkWaitSliceMs) : left);
        if (m_timing.WaitReady(fd, events, slice))
            return true;
        if (RemainingMs(deadline) <= 0)
            return false;
        if (m_pump)
            m_pump();
    }
}

WireValue LinkConnection::CallBefore(qint64 deadline, LinkOp op, const WireValue* args, int argCount)
{
    if (m_fd < 0) {
        throw ZentyrError(m_deadReason.isEmpty()
                              ? QStringLiteral("Not connected to the controller")
                              : m_deadReason);
    }
    const LinkOpSignature* sig = FindLinkOp(static_cast<quint16>(op));
    Q_ASSERT(sig);

    const quint32 seq = ++m_seq;
    m_out.resize(0);
    if (!EncodeRequest(m_out, seq, op, args, argCount)) {
        throw ZentyrError(QStringLiteral("%1: the text is too long for the controller link "
                                         "(at most %2 characters)")
                              .arg(QLatin1String(sig->name))
                              .arg(LinkMaxTextUnits));
    }

    SendAll(m_out.constData(), m_out.size(), deadline);
    quint32 payloadBytes = 0;
    ReceiveFrame(deadline, &payloadBytes);

    QString why;
    if (!DecodeReply(m_in.constData() + LinkFrameHeaderBytes, payloadBytes, sig->result, m_reply,
                     why))
        Fail(QStringLiteral("The controller sent a malformed reply: %1").arg(why));
    if (m_reply.seq != seq)
        Fail(QStringLiteral("The controller sent a malformed reply: answer to another request"));
    if (!m_reply.ok)
        throw ZentyrError(m_reply.error);
    return std::move(m_reply.result);
}

void LinkConnection::SendAll(const char* data, qsizetype size, qint64 deadline)
{
    while (size > 0) {
        const ssize_t n = ::send(m_fd, data, size_t(size), MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(m_fd, POLLOUT, deadline))
                Fail(NoAnswer());
            continue;
        }
        Fail(ClosedByHost());
    }
}

void LinkConnection::ReceiveFrame(qint64 deadline, quint32* payloadBytes)
{
    qsizetype have = 0;
    for (;;) {
        switch (PeekFrame(m_in.constData(), have, payloadBytes)) {
        case FrameState::Complete:
            // One request is in flight, so nothing may follow its reply.
            if (have != LinkFrameHeaderBytes + qsizetype(*payloadBytes))
                Fail(QStringLiteral("The controller sent a malformed reply: unexpected data"));
            return;
        case FrameState::Oversized:
            Fail(QStringLiteral("The controller sent a malformed reply: frame too long"));
        case FrameState::Incomplete:
            break;
        }
        const ssize_t n = ::recv(m_fd, m_in.data() + have, size_t(m_in.size() - have), 0);
        if (n > 0) {
            have += n;
            continue;
        }
        if (n == 0)
            Fail(ClosedByHost());
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!WaitFor(m_fd, POLLIN, deadline))
                Fail(NoAnswer());
            continue;
        }
        Fail(ClosedByHost());
    }
}

}  // namespace hostlink
