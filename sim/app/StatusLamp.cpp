#include "sim/app/StatusLamp.h"

#include <QHBoxLayout>
#include <QLabel>

namespace hostsim {

StatusLamp::StatusLamp(const QString& caption, QWidget* parent)
    : QWidget(parent), m_bulb(new QLabel(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bulb->setFixedSize(14, 14);
    layout->addWidget(m_bulb);
    layout->addWidget(new QLabel(caption, this), 1);
    SetLit(false);
}

void StatusLamp::SetLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    m_bulb->setStyleSheet(lit ? QStringLiteral("background:#2ecc40;border-radius:7px;border:1px solid #1a7f27")
                              : QStringLiteral("background:#3b3b3b;border-radius:7px;border:1px solid #222"));
    m_bulb->setAccessibleName(lit ? QStringLiteral("on") : QStringLiteral("off"));
}

}  // namespace hostsim
