#include "sim/app/Journal.h"

#include "sim/SimLog.h"

#include <QDateTime>

namespace hostsim {

Journal::Journal(const QString& filePath)
{
    if (filePath.isEmpty())
        return;
    m_file.setFileName(filePath);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        m_fileError = QStringLiteral("Journal file %1: %2").arg(filePath, m_file.errorString());
}

void Journal::Record(const QString& call)
{
    QString line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    line += QLatin1Char(' ');
    line += call;
    if (m_file.isOpen()) {
        const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
        if (m_file.write(bytes) != bytes.size() && m_fileError.isEmpty()) {
            m_fileError = QStringLiteral("Journal file %1: %2").arg(m_file.fileName(), m_file.errorString());
            // Only the first failure is told: a full disk would fail every later line as well.
            qCWarning(lcSim).noquote() << m_fileError;
        }
    }
    if (m_pending.size() >= PendingLines) {
        m_pending.removeFirst();
        ++m_notShown;
    }
    m_pending.append(std::move(line));
}

QStringList Journal::TakePending()
{
    QStringList out;
    out.swap(m_pending);
    if (m_notShown > 0)
        out.prepend(QStringLiteral("... %1 calls not shown").arg(m_notShown));
    m_notShown = 0;
    return out;
}

}  // namespace hostsim
