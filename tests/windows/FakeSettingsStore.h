#pragma once

#include "platform/SettingsStore.h"

#include <QMap>

// An in-memory settings store that keeps names as given.
class FakeSettingsStore final : public ISettingsStore
{
public:
    bool Contains(const QString& name) const override { return values.contains(name); }
    QString Read(const QString& name, const QString& defaultValue) const override
    {
        return values.value(name, defaultValue);
    }
    void Write(const QString& name, const QString& value) override { values[name] = value; }

    QMap<QString, QString> values;
};
