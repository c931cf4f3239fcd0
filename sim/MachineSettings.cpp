#include "sim/MachineSettings.h"

namespace hostsim {

void StatusLog::Add(const QString& text)
{
    m_last = text;
    if (m_history.size() >= Capacity)
        m_history.removeFirst();
    m_history.append(text);
    ++m_count;
}

QStringList StatusLog::Since(qint64 count) const
{
    const qint64 fresh = qBound<qint64>(0, m_count - count, m_history.size());
    return m_history.mid(m_history.size() - fresh);
}

}  // namespace hostsim
