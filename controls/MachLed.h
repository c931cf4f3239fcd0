#pragma once

#include "controls/MachHostBinding.h"
#include "controls/TILed.h"
#include "host/MachConstants.h"

#include <memory>

class QContextMenuEvent;

// A lamp bound to one OEM LED of the host. Each poll pass sets `LedOn` from the LED (also for
// code 0; the pass does not check the code). The owning frame decides the enabled state and
// may set the LED code directly, bypassing the kind.
//
// Binding: receives the script object, is registered for polling.
class tMachLed final : public TTILed, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachLed)

public:
    explicit tMachLed(QWidget* parent = nullptr);

    TmcOEMLEDtype OEMLEDType() const { return m_kind; }
    // Stores the kind and its host code; a kind outside the enumeration raises a range error.
    void SetOEMLEDType(TmcOEMLEDtype kind);

    int LedCode() const { return m_ledCode; }
    void SetLedCode(int code) { m_ledCode = code; }

    // Immediate repaint: when bound, first re-reads the lamp from the host. A negative LED
    // code raises "Invalid OEMLed number" and the lamp keeps its colour.
    void Repaint();

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    // Releasing the right button is swallowed: no mouse-up, no menu.
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TmcOEMLEDtype m_kind = oltNONE;
    int m_ledCode = 0;
};
