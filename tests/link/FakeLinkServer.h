#pragma once

#include "host/link/LinkProtocol.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A scripted stand-in for the simulated host's server, on a socket of its own, served by a
// background thread. Each request is decoded and answered as the script says; the handshake is
// answered for it unless the script takes it over. Requests are recorded in arrival order.
class FakeLinkServer final
{
public:
    struct Action
    {
        enum Kind { Reply, Error, Silent, Close, Raw } kind = Reply;
        hostlink::WireValue value;  // Reply
        QString error;              // Error
        QByteArray raw;             // Raw: sent as is instead of a reply
    };
    using Script = std::function<Action(const hostlink::LinkRequest&)>;

    static Action ReplyWith(hostlink::WireValue v) { Action a; a.value = std::move(v); return a; }
    static Action ErrorWith(const QString& e) { Action a; a.kind = Action::Error; a.error = e; return a; }
    static Action Of(Action::Kind k) { Action a; a.kind = k; return a; }

    FakeLinkServer(const QString& socketPath, Script script);
    ~FakeLinkServer();
    FakeLinkServer(const FakeLinkServer&) = delete;
    FakeLinkServer& operator=(const FakeLinkServer&) = delete;

    std::vector<hostlink::LinkRequest> Requests() const;

private:
    void Serve();
    void ServeClient(int fd);

    Script m_script;
    int m_listenFd = -1;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<hostlink::LinkRequest> m_requests;
    std::thread m_thread;
};
