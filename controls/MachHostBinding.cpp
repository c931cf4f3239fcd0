#include "controls/MachHostBinding.h"

#include "host/MachUpdateThread.h"

#include <QWidget>

TMachHostBinding::TMachHostBinding(QWidget& control, MachBindingRow row)
    : m_control(control), m_row(row)
{
}

TMachHostBinding::~TMachHostBinding() = default;

void TMachHostBinding::SetIMach(std::shared_ptr<IMyScriptObject> iMach)
{
    m_iMach = std::move(iMach);
    IMachAssigned();
}

TMachUpdateThread* TMachHostBinding::UpdateThread() const
{
    return m_updateThread.data();
}

void TMachHostBinding::BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                                TMachUpdateThread* thread)
{
    SetIMach(iMach);
    if (m_row.receivesUpdateThread)
        SetUpdateThread(thread);
}

void TMachHostBinding::IMachAssigned()
{
    m_control.setEnabled(m_iMach != nullptr);
}

void TMachHostBinding::SetUpdateThread(TMachUpdateThread* thread)
{
    m_updateThread = thread;
}
