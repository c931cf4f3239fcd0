#pragma once

#include "windows/LayoutStorage.h"

#include <QMap>
#include <QStringList>

// A layout store in memory that lists every write in order as "Section\Key=value".
class RecordingLayoutStore final : public TLayoutStorage
{
public:
    void SelectSection(const QString& path) override { section = path; }
    QString Section() const override { return section; }

    void Set(const QString& key, const QString& text) { values[section + u'\\' + key] = text; }

    QString section;
    QMap<QString, QString> values;
    QStringList writes;

protected:
    std::optional<QString> FindValue(const QString& path) const override
    {
        const auto found = values.find(section + u'\\' + path);
        if (found == values.end())
            return std::nullopt;
        return *found;
    }
    void StoreValue(const QString& path, const QString& text) override
    {
        writes.append(section + u'\\' + path + u'=' + text);
        values[section + u'\\' + path] = text;
    }
};
