#pragma once

#include "host/Mach4_TLB.h"
#include "host/link/LinkConnection.h"

#include <QString>

#include <memory>

namespace hostlink {

class LinkScriptObject;

// The host document over the local link. Each document owns one connection to the simulated
// host, so the host connection and the update thread's poll pass, which each create their own
// document, never share a socket. UI thread only.
class LinkDocument final : public IMach4Document
{
public:
    // `timing` (null: the system's) must outlive the document and its script object. `pump`
    // runs between the slices of the connection's waits.
    LinkDocument(QString socketPath, int timeoutMs, ILinkTiming* timing = nullptr,
                 LinkWaitPump pump = {});
    ~LinkDocument() override;
    LinkDocument(const LinkDocument&) = delete;
    LinkDocument& operator=(const LinkDocument&) = delete;

    void SetConnectKind(ConnectKind kind) override { m_kind = kind; }
    ConnectKind GetConnectKind() const override { return m_kind; }

    // Connects to the running simulated host whatever the connect kind: it is never started
    // from here. Raises a ZentyrError when no host answers. Connecting an open document does
    // nothing.
    void Connect() override;
    bool IsConnected() const override;

    // Document operation 3. The same script object is returned on every call; it shares this
    // document's connection. Raises a ZentyrError when not connected.
    std::shared_ptr<IMyScriptObject> GetScriptObject() override;

    // Document operation 4, then the connection is closed, whether or not the host answered:
    // the script object's later calls fail. Releasing an unconnected document does nothing.
    void Release() override;

private:
    std::shared_ptr<LinkConnection> m_connection;
    std::shared_ptr<LinkScriptObject> m_script;
    ConnectKind m_kind = ConnectKind::NewInstance;
};

// Creates link documents for one socket (by default the current user's simulated host).
class LinkDocumentFactory final : public IMach4DocumentFactory
{
public:
    LinkDocumentFactory();
    LinkDocumentFactory(QString socketPath, int timeoutMs, ILinkTiming* timing = nullptr);

    std::unique_ptr<IMach4Document> CreateDocument() override;

    // The wait pump of the documents created from now on (see LinkWaitPump); none by default.
    void SetWaitPump(LinkWaitPump pump) { m_pump = std::move(pump); }

private:
    QString m_socketPath;
    int m_timeoutMs;
    ILinkTiming* m_timing;
    LinkWaitPump m_pump;
};

}  // namespace hostlink
