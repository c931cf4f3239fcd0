#include "platform/QtSettingsStore.h"

#include "platform/PlatformLog.h"

#include <QSettings>
#include <QStringList>

namespace {

// QSettings separates sub-keys with "/" on every platform.
QString Key(const QString& name)
{
    QString key = name;
    key.replace(u'\\', u'/');
    return key;
}

} // namespace

QtSettingsStore::QtSettingsStore()
#ifdef Q_OS_WIN
    : m_settings(std::make_unique<QSettings>(
          QStringLiteral("HKEY_CURRENT_USER\\Software\\Vuve3 Dazorudava\\Settings"),
          QSettings::NativeFormat))
#else
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Vuve3 Dazorudava"),
                                             QStringLiteral("Settings")))
#endif
{
}

QtSettingsStore::~QtSettingsStore() = default;

bool QtSettingsStore::Contains(const QString& name) const
{
    return m_settings->contains(Key(name));
}

QString QtSettingsStore::Read(const QString& name, const QString& defaultValue) const
{
    const QVariant value = m_settings->value(Key(name));
    if (!value.isValid())
        return defaultValue;
    // A settings file edited by hand may hold an unquoted list ("a, b"); it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void QtSettingsStore::Write(const QString& name, const QString& value)
{
    m_settings->setValue(Key(name), value);
    m_settings->sync();
    // The store's callers have no way to recover (most writes happen while closing), but the
    // lost value must not go unrecorded.
    if (m_settings->status() != QSettings::NoError)
        qCWarning(lcPlatform).noquote() << "Cannot store the setting" << name << "in"
                                        << m_settings->fileName();
}

QString QtSettingsStore::Location() const
{
    return m_settings->fileName();
}
