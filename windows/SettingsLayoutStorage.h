#pragma once

#include "windows/LayoutStorage.h"

#include <QtGlobal>

class ISettingsStore;

// The layout storage interface over the per-user settings store (the registry key
// "Software\Vuve3 Dazorudava\Settings" on Windows). Every value is kept as text.
//
// The store's own key is the section selected at the start; selecting it again (or an empty
// path) keeps the values directly under it. Any other section path becomes a prefix of the
// value names, one sub-key per backslash-separated segment.
class TSettingsLayoutStorage final : public TLayoutStorage
{
    Q_DISABLE_COPY_MOVE(TSettingsLayoutStorage)

public:
    static const QString RegistryKey;

    // `store` must outlive this object.
    explicit TSettingsLayoutStorage(ISettingsStore& store);

    void SelectSection(const QString& path) override;
    QString Section() const override { return m_section; }

protected:
    std::optional<QString> FindValue(const QString& path) const override;
    void StoreValue(const QString& path, const QString& text) override;

private:
    QString ValueName(const QString& path) const;

    ISettingsStore& m_store;
    QString m_section;
    QString m_prefix;
};
