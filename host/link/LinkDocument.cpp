#include "host/link/LinkDocument.h"

#include "host/HostCallGate.h"
#include "host/link/LinkConnection.h"
#include "host/link/LinkEndpoint.h"
#include "host/link/LinkScriptObject.h"
#include "platform/ZentyrError.h"

namespace hostlink {

namespace {
QString ReleasedReason() { return QStringLiteral("The controller connection has been released"); }
}  // namespace

LinkDocument::LinkDocument(QString socketPath, int timeoutMs, ILinkTiming* timing,
                           LinkWaitPump pump)
    : m_connection(std::make_shared<LinkConnection>(
          std::move(socketPath), timeoutMs, timing ? *timing : SystemLinkTiming(),
          std::move(pump)))
{
}

// The connection lives on while a script object handed out still holds it.
LinkDocument::~LinkDocument() = default;

void LinkDocument::Connect() { m_connection->Open(); }

bool LinkDocument::IsConnected() const { return m_connection->IsOpen(); }

std::shared_ptr<IMyScriptObject> LinkDocument::GetScriptObject()
{
    m_connection->Call(LinkOp::DocGetScriptObject);
    if (!m_script)
        m_script = std::make_shared<LinkScriptObject>(m_connection);
    return m_script;
}

void LinkDocument::Release()
{
    if (!m_connection->IsOpen())
        return;
    try {
        m_connection->Call(LinkOp::DocRelease);
    } catch (const HostCallBusy&) {
        throw;  // nothing was sent: the document stays as it was
    } catch (const ZentyrError&) {
        m_connection->Close(ReleasedReason());
        throw;
    }
    m_connection->Close(ReleasedReason());
}

LinkDocumentFactory::LinkDocumentFactory()
    : LinkDocumentFactory(LinkSocketPath(), LinkDefaultTimeoutMs)
{
}

LinkDocumentFactory::LinkDocumentFactory(QString socketPath, int timeoutMs, ILinkTiming* timing)
    : m_socketPath(std::move(socketPath)), m_timeoutMs(timeoutMs), m_timing(timing)
{
}

std::unique_ptr<IMach4Document> LinkDocumentFactory::CreateDocument()
{
    return std::make_unique<LinkDocument>(m_socketPath, m_timeoutMs, m_timing, m_pump);
}

}  // namespace hostlink
