#include "sim/MachineSettings.h"

namespace hostsim {

void StatusLog::Add(const QString& text)
{
    m_last = text;
    if (m_history.size() >= Capacity)
        m_history.removeFirst();
    m_history.append(text);
}

}  // namespace hostsim
