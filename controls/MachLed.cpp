#include "controls/MachLed.h"

#include "host/Mach4_TLB.h"
#include "platform/ZentyrError.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

tMachLed::tMachLed(QWidget* parent)
    : TTILed(parent), TMachHostBinding(*this, ScriptObjectBindingRow)
{
}

void tMachLed::SetOEMLEDType(TmcOEMLEDtype kind)
{
    const int code = OEMLEDCode(kind);
    m_kind = kind;
    m_ledCode = code;
}

void tMachLed::Repaint()
{
    if (iMach()) {
        if (m_ledCode < 0)
            throw ZentyrError(QStringLiteral("Invalid OEMLed number"));
        SetLedOn(iMach()->GetOEMLed(MachInt16(m_ledCode)));
    }
    repaint();
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
