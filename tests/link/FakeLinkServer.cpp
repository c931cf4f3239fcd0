#include "FakeLinkServer.h"

#include <QFile>

#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace hostlink;

FakeLinkServer::FakeLinkServer(const QString& socketPath, Script script)
    : m_script(std::move(script))
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || ::listen(m_listenFd, 8) != 0)
        qFatal("FakeLinkServer: cannot listen on %s", path.constData());
    m_thread = std::thread([this] { Serve(); });
}

FakeLinkServer::~FakeLinkServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listenFd);
}

std::vector<LinkRequest> FakeLinkServer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void FakeLinkServer::Serve()
{
    while (!m_stop) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0)
            ServeClient(fd);
    }
}

// One client at a time, until it leaves, the script closes it, or the server stops.
void FakeLinkServer::ServeClient(int fd)
{
    QByteArray in;
    char chunk[4096];
    while (!m_stop) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        in.append(chunk, n);
        quint32 size = 0;
        bool closed = false;
        while (!closed && PeekFrame(in.constData(), in.size(), &size) == FrameState::Complete) {
            LinkRequest req;
            QString error;
            const bool ok = DecodeRequest(in.constData() + LinkFrameHeaderBytes, size, req, error);
            in.remove(0, LinkFrameHeaderBytes + size);
            if (!ok)
                qFatal("FakeLinkServer: client sent a malformed request: %s", qPrintable(error));
            {
                std::lock_guard lock(m_mutex);
                m_requests.push_back(req);
            }
            Action action = m_script(req);
            if (req.op == LinkOp::Hello && action.kind == Action::Reply
                && action.value.type == WireType::None)
                action.value = WireValue::OfInt16(qint16(LinkProtocolVersion));
            QByteArray out;
            LinkReply reply;
            reply.seq = req.seq;
            switch (action.kind) {
            case Action::Reply: reply.result = action.value; EncodeReply(out, reply); break;
            case Action::Error: reply.ok = false; reply.error = action.error; EncodeReply(out, reply); break;
            case Action::Raw: out = action.raw; break;
            case Action::Silent: break;
            case Action::Close: closed = true; break;
            }
            if (!out.isEmpty())
                ::send(fd, out.constData(), size_t(out.size()), MSG_NOSIGNAL);
        }
        if (closed)
            break;
    }
    ::close(fd);
}
