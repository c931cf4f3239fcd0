#pragma once

#include "platform/SettingsStore.h"

// The per-user settings store over QSettings.
class QtSettingsStore final : public ISettingsStore
{
public:
    bool Contains(const QString& name) const override;
    QString Read(const QString& name, const QString& defaultValue) const override;
    void Write(const QString& name, const QString& value) override;
};
