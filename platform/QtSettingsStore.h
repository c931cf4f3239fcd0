#pragma once

#include "platform/SettingsStore.h"

#include <QtGlobal>

#include <memory>

class QSettings;

// The per-user settings store over QSettings: on Windows the registry key
// HKEY_CURRENT_USER\Software\Vuve3 Dazorudava\Settings, elsewhere the per-user settings file
// of organisation "Vuve3 Dazorudava", application "Settings". Values are written as text
// (string values in the registry). A backslash in a name separates sub-keys.
//
// Each write reaches the store at once, so a later crash does not lose it. Use from one
// thread only.
class QtSettingsStore final : public ISettingsStore
{
    Q_DISABLE_COPY_MOVE(QtSettingsStore)

public:
    QtSettingsStore();
    ~QtSettingsStore() override;

    bool Contains(const QString& name) const override;
    QString Read(const QString& name, const QString& defaultValue) const override;
    void Write(const QString& name, const QString& value) override;

    // Where the values live: the registry path or the settings file.
    QString Location() const;

private:
    std::unique_ptr<QSettings> m_settings;
};
