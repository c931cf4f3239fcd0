#include "host/link/LinkHostWindows.h"

#include "host/link/LinkConnection.h"
#include "host/link/LinkEndpoint.h"
#include "host/link/LinkLog.h"
#include "platform/ZentyrError.h"

namespace hostlink {

LinkHostWindows::LinkHostWindows() : LinkHostWindows(LinkSocketPath(), LinkDefaultTimeoutMs) {}

LinkHostWindows::LinkHostWindows(QString socketPath, int timeoutMs)
    : m_socketPath(std::move(socketPath)), m_timeoutMs(timeoutMs)
{
}

std::optional<IHostWindows::Handle> LinkHostWindows::FindWindowByCaption(const QString& caption)
{
    try {
        LinkConnection connection(m_socketPath, m_timeoutMs, SystemLinkTiming(), m_pump);
        connection.Open();
        if (connection.Call(LinkOp::WindowCaption).text == caption)
            return SimulatorWindow;
    } catch (const ZentyrError& error) {
        // No simulator, or one that cannot answer: there is no such window.
        qCDebug(lcLink).noquote() << "No host window:" << error.message();
    }
    return std::nullopt;
}

void LinkHostWindows::SetWindowVisible(Handle window, bool visible)
{
    if (window != SimulatorWindow)
        return;
    try {
        LinkConnection connection(m_socketPath, m_timeoutMs, SystemLinkTiming(), m_pump);
        connection.Open();
        const WireValue arg = WireValue::OfBool(visible);
        connection.Call(LinkOp::SetWindowVisible, &arg, 1);
    } catch (const ZentyrError& error) {
        // The window has gone with its simulator; that is ignored by contract.
        qCWarning(lcLink).noquote() << "Cannot show or hide the host window:" << error.message();
    }
}

}  // namespace hostlink
