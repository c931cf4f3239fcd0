#include "windows/SettingsLayoutStorage.h"

#include "platform/SettingsStore.h"

const QString TSettingsLayoutStorage::RegistryKey =
    QStringLiteral("Software\\Vuve3 Dazorudava\\Settings");

namespace {

QString TrimBackslashes(const QString& path)
{
    qsizetype first = 0;
    qsizetype last = path.size();
    while (first < last && path[first] == u'\\')
        ++first;
    while (last > first && path[last - 1] == u'\\')
        --last;
    return path.mid(first, last - first);
}

} // namespace

TSettingsLayoutStorage::TSettingsLayoutStorage(ISettingsStore& store)
    : m_store(store), m_section(RegistryKey)
{
}

void TSettingsLayoutStorage::SelectSection(const QString& path)
{
    const QString section = TrimBackslashes(path);
    if (section.isEmpty() || section.compare(RegistryKey, Qt::CaseInsensitive) == 0) {
        m_section = RegistryKey;
        m_prefix.clear();
        return;
    }
    m_section = section;
    m_prefix = section + u'\\';
}

std::optional<QString> TSettingsLayoutStorage::FindValue(const QString& path) const
{
    const QString name = ValueName(path);
    if (!m_store.Contains(name))
        return std::nullopt;
    return m_store.Read(name, QString());
}

void TSettingsLayoutStorage::StoreValue(const QString& path, const QString& text)
{
    m_store.Write(ValueName(path), text);
}

QString TSettingsLayoutStorage::ValueName(const QString& path) const
{
    return m_prefix + TrimBackslashes(path);
}
