#pragma once

#include "host/link/LinkProtocol.h"

#include <QObject>
#include <QString>

class QLocalServer;

namespace hostsim {

// What a link server serves with: answers each decoded request, on the server's thread, and
// hears when a client's connection has closed.
class ILinkRequestHandler
{
public:
    virtual ~ILinkRequestHandler() = default;
    virtual void Handle(const hostlink::LinkRequest& request, hostlink::LinkReply& reply) = 0;
    // A client's connection closed, by the client or by the server; called once per client,
    // after its last request was answered. A handler that holds something on behalf of its
    // clients (a jog in progress) releases it here.
    virtual void ClientDisconnected() {}
};

// Serves the local link on the user's socket: any number of clients at once, each request
// answered in order on the connection it came from. A malformed request gets an error reply and
// the connection stays open; a frame announcing more than the protocol allows gets an error
// reply and its connection is closed, since nothing after it can be trusted. A client that
// sends faster than it reads its replies is held up (its sends wait) once a bounded amount of
// its requests and replies is held here. Other clients are never affected. Runs on the
// simulator's one thread.
class LinkServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkServer)

public:
    enum class ListenResult {
        Listening,
        AlreadyServed,  // a live simulator answers on the socket; it is left alone
        Failed,
    };

    explicit LinkServer(ILinkRequestHandler& handler, QObject* parent = nullptr);
    ~LinkServer() override;

    // Listens on `socketPath`, owner-only. A socket file that nobody answers on (left by a
    // simulator that was killed) is removed first. On Failed, `error` says why.
    ListenResult Listen(const QString& socketPath, QString* error);

private:
    void AcceptPending();

    ILinkRequestHandler& m_handler;
    QLocalServer* m_server;
};

}  // namespace hostsim
