#include "windows/ToolWindowSlot.h"

#include "platform/OperatorAction.h"

TToolWindowSlot::TToolWindowSlot(Create create, FirstOpen firstOpen)
    : m_create(std::move(create)), m_firstOpen(std::move(firstOpen))
{
}

void TToolWindowSlot::Open(IMessageBoxes& boxes)
{
    if (!m_create)
        return;
    if (m_window.isNull()) {
        const bool ready = RunOperatorAction(boxes, [this] {
            m_window = m_create();
            if (m_firstOpen)
                m_firstOpen(m_window.data());
        });
        if (!ready)
            return;
    }
    if (m_window.isNull())
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void TToolWindowSlot::SaveLayout(TLayoutStorage& store) const
{
    if (m_saveLayout && !m_window.isNull())
        m_saveLayout(m_window.data(), store);
}

void TToolWindowSlot::StoreAtClose(TLayoutStorage& store) const
{
    if (m_storeAtClose && !m_window.isNull())
        m_storeAtClose(m_window.data(), store);
}

void TToolWindowSlot::Destroy()
{
    delete m_window.data();
}
