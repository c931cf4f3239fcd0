#include "sim/app/LinkServer.h"


#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/stat.h>

namespace hostsim {

namespace {

using namespace hostlink;

// Bounds on what one client can make the simulator hold. Requests are taken off the socket
// only while fewer than ReplyBacklogBytes of replies wait to be sent, and at most
// HeldRequestBytes of them are held here; beyond that the client's own socket fills and its
// sends wait. A client that sends without reading its replies therefore stops itself instead
// of growing the simulator without bound.
constexpr qint64 HeldRequestBytes = 2 * (LinkFrameHeaderBytes + LinkMaxPayloadBytes);
constexpr qint64 ReplyBacklogBytes = 256 * 1024;

// One client: reads frames as they arrive and answers each before reading the next.
class ClientConnection final : public QObject
{
public:
    ClientConnection(QLocalSocket* socket, ILinkRequestHandler& handler)
        : QObject(socket), m_socket(socket), m_handler(handler)
    {
        m_socket->setReadBufferSize(HeldRequestBytes);
        connect(socket, &QLocalSocket::readyRead, this, &ClientConnection::Serve);
        // Replies drained by the client make room to answer what it has sent meanwhile.
        connect(socket, &QLocalSocket::bytesWritten, this, &ClientConnection::Serve);
        connect(socket, &QLocalSocket::disconnected, this, [this] {
            if (!m_gone) {
                m_gone = true;
                m_handler.ClientDisconnected();
            }
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    bool Backlogged() const { return m_socket->bytesToWrite() >= ReplyBacklogBytes; }

    // Takes requests off the socket and answers them until the client has sent nothing more
    // or the replies back up. Writing can report progress (bytesWritten) from inside; that
    // nested call is refused, the loop here picks up what it would have done.
    void Serve()
    {
        if (m_serving)
            return;
        m_serving = true;
        bool progressed = true;
        while (progressed && !m_closing) {
            progressed = false;
            if (!Backlogged()) {
                const qint64 take = qMin(m_socket->bytesAvailable(), HeldRequestBytes - m_in.size());
                if (take > 0) {
                    const qsizetype have = m_in.size();
                    m_in.resize(have + take);
                    const qint64 got = m_socket->read(m_in.data() + have, take);
                    m_in.resize(have + qMax<qint64>(got, 0));
                    progressed = got > 0;
                }
            }
            if (AnswerHeldRequests())
                progressed = true;
        }
        if (m_closing) {
            m_in.clear();
            m_socket->skip(m_socket->bytesAvailable());
            m_socket->disconnectFromServer();
        }
        m_serving = false;
    }

    // Answers the whole requests held, in order, while the replies are not backed up. True
    // when it answered any.
    bool AnswerHeldRequests()
    {
        m_out.resize(0);
        qsizetype used = 0;
        while (!m_closing && m_socket->bytesToWrite() + m_out.size() < ReplyBacklogBytes) {
            quint32 size = 0;
            const FrameState state = PeekFrame(m_in.constData() + used, m_in.size() - used, &size);
            if (state == FrameState::Incomplete)
                break;
            if (state == FrameState::Oversized) {
                m_reply.seq = 0;
                m_reply.ok = false;
                m_reply.error = QStringLiteral("Request too large (at most %1 bytes)").arg(LinkMaxPayloadBytes);
                EncodeReply(m_out, m_reply);
                m_closing = true;
                break;
            }
            const char* payload = m_in.constData() + used + LinkFrameHeaderBytes;
            QString error;
            if (DecodeRequest(payload, size, m_request, error)) {
                m_handler.Handle(m_request, m_reply);
            } else {
                m_reply.seq = m_request.seq;
                m_reply.ok = false;
                m_reply.error = error;
            }
            EncodeReply(m_out, m_reply);
            used += LinkFrameHeaderBytes + size;
        }
        if (used > 0)
            m_in.remove(0, used);
        if (!m_out.isEmpty()) {
            m_socket->write(m_out);
            m_socket->flush();
        }
        return used > 0;
    }

    QLocalSocket* m_socket;
    ILinkRequestHandler& m_handler;
    QByteArray m_in;
    QByteArray m_out;
    LinkRequest m_request;
    LinkReply m_reply;
    bool m_closing = false;
    bool m_serving = false;
    bool m_gone = false;
};

// True when a live server accepts connections on `path`.
bool SomeoneAnswers(const QString& path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool live = probe.waitForConnected(500);
    probe.abort();
    return live;
}

bool IsOwnerOnly(const QString& path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & 077) == 0;
}

}  // namespace

LinkServer::LinkServer(ILinkRequestHandler& handler, QObject* parent)
    : QObject(parent), m_handler(handler), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setMaxPendingConnections(64);
    connect(m_server, &QLocalServer::newConnection, this, &LinkServer::AcceptPending);
}

LinkServer::~LinkServer() = default;

LinkServer::ListenResult LinkServer::Listen(const QString& socketPath, QString* error)
{
    if (QFileInfo::exists(socketPath) || QFileInfo(socketPath).isSymLink()) {
        if (SomeoneAnswers(socketPath))
            return ListenResult::AlreadyServed;
        QLocalServer::removeServer(socketPath);
    }
    if (!m_server->listen(socketPath)) {
        *error = QStringLiteral("Cannot serve on %1: %2").arg(socketPath, m_server->errorString());
        return ListenResult::Failed;
    }
    if (!IsOwnerOnly(socketPath)) {
        ::chmod(QFile::encodeName(socketPath).constData(), S_IRUSR | S_IWUSR);
        if (!IsOwnerOnly(socketPath)) {
            m_server->close();
            *error = QStringLiteral("Cannot make %1 private to its owner").arg(socketPath);
            return ListenResult::Failed;
        }
    }
    return ListenResult::Listening;
}

void LinkServer::AcceptPending()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection())
        new ClientConnection(socket, m_handler);
}

}  // namespace hostsim
