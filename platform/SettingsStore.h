#pragma once

#include <QString>

// The per-user settings store (the registry on Windows). Values are kept as text.
class ISettingsStore
{
public:
    virtual ~ISettingsStore() = default;
    virtual bool Contains(const QString& name) const = 0;
    virtual QString Read(const QString& name, const QString& defaultValue) const = 0;
    virtual void Write(const QString& name, const QString& value) = 0;
};
