#pragma once

#include "host/link/LinkConnection.h"
#include "platform/HostWindows.h"

#include <QString>

namespace hostlink {

// Host window services answered by the simulated host over the local link: the simulator is
// the only host window there is, so finding it means asking the simulator for its caption, and
// showing or hiding it means asking it to do so (it never activates itself). Each question uses
// a short-lived connection of its own; no simulator answering means no window.
class LinkHostWindows final : public IHostWindows
{
public:
    // The handle under which the simulator's window is reported.
    static constexpr Handle SimulatorWindow = 1;

    LinkHostWindows();
    LinkHostWindows(QString socketPath, int timeoutMs);

    std::optional<Handle> FindWindowByCaption(const QString& caption) override;
    void SetWindowVisible(Handle window, bool visible) override;

    // The wait pump of the questions asked from now on (see LinkWaitPump); none by default.
    void SetWaitPump(LinkWaitPump pump) { m_pump = std::move(pump); }

private:
    QString m_socketPath;
    int m_timeoutMs;
    LinkWaitPump m_pump;
};

}  // namespace hostlink
