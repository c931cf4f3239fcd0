#pragma once

#include "host/link/LinkProtocol.h"
#include "sim/app/LinkServer.h"

#include <QString>

namespace hostsim {

class Journal;
class MachineModel;

// The simulator's main window as the link's window questions see it.
class IHostWindowControl
{
public:
    virtual ~IHostWindowControl() = default;
    virtual QString Caption() const = 0;
    // Shows the window without activating it, or hides it.
    virtual void SetShown(bool shown) = 0;
};

// Answers decoded link requests: journals each call (every request but the handshake), runs it
// against the machine model or the window, and fills in the reply. Never throws: a failure of
// the model becomes an error reply. Runs on the simulator's one thread.
class HostDispatcher final : public ILinkRequestHandler
{
public:
    HostDispatcher(MachineModel& model, Journal& journal, IHostWindowControl& window);
    Q_DISABLE_COPY_MOVE(HostDispatcher)

    void Handle(const hostlink::LinkRequest& request, hostlink::LinkReply& reply) override;

private:
    hostlink::WireValue Run(const hostlink::LinkRequest& request);

    MachineModel& m_model;
    Journal& m_journal;
    IHostWindowControl& m_window;
};

}  // namespace hostsim
