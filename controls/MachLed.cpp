#include "controls/MachLed.h"

#include "host/Mach4_TLB.h"
#include "platform/ZentyrError.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

tMachLed::tMachLed(QWidget* parent) : TTILed(parent) {}

void tMachLed::SetIMach(std::shared_ptr<IMyScriptObject> iMach)
{
    m_iMach = std::move(iMach);
    setEnabled(m_iMach != nullptr);
}

void tMachLed::SetOEMLEDType(TmcOEMLEDtype kind)
{
    const int code = OEMLEDCode(kind);
    m_kind = kind;
    m_ledCode = code;
}

void tMachLed::Repaint()
{
    if (m_iMach) {
        if (m_ledCode < 0)
            throw ZentyrError(QStringLiteral("Invalid OEMLed number"));
        SetLedOn(m_iMach->GetOEMLed(MachInt16(m_ledCode)));
    }
    repaint();
}

MachBindingRow tMachLed::BindingRow() const
{
    return {.receivesScriptObject = true, .receivesUpdateThread = false,
            .registersForPolling = true};
}

void tMachLed::BindMach(const std::shared_ptr<IMyScriptObject>& iMach, TMachUpdateThread*)
{
    SetIMach(iMach);
}

void tMachLed::PollRefresh(IMyScriptObject& mach, bool)
{
    SetLedOn(mach.GetOEMLed(MachInt16(m_ledCode)));
}

void tMachLed::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    TTILed::mouseReleaseEvent(event);
}

void tMachLed::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}
