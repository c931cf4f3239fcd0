#pragma once

#include "sim/app/LinkServer.h"

namespace lcnchost {

class MachTranslation;

// Answers the local link for the LinuxCNC host: the script operations go to the translation,
// the window questions are answered for a host without a window of its own, and a client that
// goes away takes its jogs with it. Every failure becomes an error reply carrying its reason;
// nothing is thrown to the server. Runs on the program's one thread.
class LcncDispatcher final : public hostsim::ILinkRequestHandler
{
public:
    // The caption by which Zentyr finds its controller's main window.
    static QString HostCaption() { return QStringLiteral("Mach3 CNC Controller "); }

    explicit LcncDispatcher(MachTranslation& host);
    LcncDispatcher(const LcncDispatcher&) = delete;
    LcncDispatcher& operator=(const LcncDispatcher&) = delete;

    void Handle(const hostlink::LinkRequest& request, hostlink::LinkReply& reply) override;

    // A link that drops while the operator holds a jog button could never send the Stop of
    // its release, so every jog stops; nothing else (a program, an MDI move) is touched.
    void ClientDisconnected() override;

private:
    hostlink::WireValue Run(const hostlink::LinkRequest& request);

    MachTranslation& m_host;
};

}  // namespace lcnchost
