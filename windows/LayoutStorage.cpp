#include "windows/LayoutStorage.h"

#include <QLatin1StringView>

QString TLayoutStorage::ReadString(const QString& path, const QString& defaultValue) const
{
    return FindValue(path).value_or(defaultValue);
}

int TLayoutStorage::ReadInteger(const QString& path, int defaultValue) const
{
    const std::optional<QString> text = FindValue(path);
    return text ? ParseInteger(*text) : defaultValue;
}

bool TLayoutStorage::ReadBoolean(const QString& path, bool defaultValue) const
{
    const std::optional<QString> text = FindValue(path);
    if (!text)
        return defaultValue;
    return ParseBoolean(*text).value_or(defaultValue);
}

void TLayoutStorage::WriteString(const QString& path, const QString& value)
{
    StoreValue(path, value);
}

void TLayoutStorage::WriteInteger(const QString& path, int value)
{
    StoreValue(path, QString::number(value));
}

void TLayoutStorage::WriteBoolean(const QString& path, bool value)
{
    StoreValue(path, value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

std::optional<bool> TLayoutStorage::ParseBoolean(const QString& text)
{
    const QString word = text.trimmed();
    for (const QLatin1StringView yes : {QLatin1StringView("TRUE"), QLatin1StringView("YES"),
                                        QLatin1StringView("Y")}) {
        if (word.compare(yes, Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const QLatin1StringView no : {QLatin1StringView("FALSE"), QLatin1StringView("NO"),
                                       QLatin1StringView("N")}) {
        if (word.compare(no, Qt::CaseInsensitive) == 0)
            return false;
    }
    bool isNumber = false;
    const qlonglong number = word.toLongLong(&isNumber, 10);
    if (isNumber)
        return number != 0;
    return std::nullopt;
}

int TLayoutStorage::ParseInteger(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : -1;
}
