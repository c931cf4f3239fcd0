#include "windows/Skin.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QStyle>
#include <QStyleFactory>

#include <memory>

namespace {

const QString StyleKey = QStringLiteral("style");
const QString PaletteKey = QStringLiteral("palette");
const QString StyleSheetKey = QStringLiteral("styleSheet");
const QString DisabledKey = QStringLiteral("Disabled");

std::optional<QString> StyleKeyFor(const QString& wanted)
{
    for (const QString& key : QStyleFactory::keys()) {
        if (key.compare(wanted, Qt::CaseInsensitive) == 0)
            return key;
    }
    return std::nullopt;
}

// Sets the roles named in `roles` for `groups`; false with `problem` on the first bad entry.
bool ApplyRoles(const QJsonObject& roles, const QList<QPalette::ColorGroup>& groups,
                bool allowDisabledGroup, QPalette& palette, QString& problem)
{
    const QMetaEnum roleEnum = QMetaEnum::fromType<QPalette::ColorRole>();
    for (auto it = roles.begin(); it != roles.end(); ++it) {
        if (allowDisabledGroup && it.key() == DisabledKey) {
            if (!it.value().isObject()) {
                problem = QStringLiteral("\"Disabled\" must hold colour roles");
                return false;
            }
            if (!ApplyRoles(it.value().toObject(), {QPalette::Disabled}, false, palette, problem))
                return false;
            continue;
        }
        bool known = false;
        const int role = roleEnum.keyToValue(it.key().toLatin1().constData(), &known);
        if (!known || role < 0 || role >= QPalette::NColorRoles) {
            problem = QStringLiteral("unknown colour role \"%1\"").arg(it.key());
            return false;
        }
        const QString text = it.value().toString();
        const QColor colour = QColor::fromString(text);
        if (!it.value().isString() || !colour.isValid()) {
            problem = QStringLiteral("\"%1\" is not a colour for %2").arg(text, it.key());
            return false;
        }
        for (QPalette::ColorGroup group : groups)
            palette.setColor(group, static_cast<QPalette::ColorRole>(role), colour);
    }
    return true;
}

std::optional<QString> StyleSheetOf(const QJsonValue& value)
{
    if (value.isUndefined())
        return QString();
    if (value.isString())
        return value.toString();
    if (!value.isArray())
        return std::nullopt;
    QStringList lines;
    for (const QJsonValue& line : value.toArray()) {
        if (!line.isString())
            return std::nullopt;
        lines << line.toString();
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

std::optional<TSkin> ParseSkin(const QByteArray& text, const QString& name, QString& problem)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        problem = QStringLiteral("not readable as JSON at offset %1: %2")
                      .arg(error.offset)
                      .arg(error.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        problem = QStringLiteral("a skin file holds one JSON object");
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    for (const QString& key : object.keys()) {
        if (key != StyleKey && key != PaletteKey && key != StyleSheetKey) {
            problem = QStringLiteral("unknown member \"%1\"").arg(key);
            return std::nullopt;
        }
    }

    TSkin skin;
    skin.name = name;
    const QJsonValue style = object.value(StyleKey);
    const std::optional<QString> styleKey =
        style.isUndefined() ? StyleKeyFor(QStringLiteral("Fusion")) : StyleKeyFor(style.toString());
    if (!styleKey || (!style.isUndefined() && !style.isString())) {
        problem = QStringLiteral("no style \"%1\" on this system").arg(style.toString());
        return std::nullopt;
    }
    skin.style = *styleKey;

    const std::unique_ptr<QStyle> qstyle(QStyleFactory::create(skin.style));
    skin.palette = qstyle ? qstyle->standardPalette() : QPalette();
    const QJsonValue palette = object.value(PaletteKey);
    if (!palette.isUndefined()) {
        if (!palette.isObject()) {
            problem = QStringLiteral("\"palette\" must hold colour roles");
            return std::nullopt;
        }
        if (!ApplyRoles(palette.toObject(),
                        {QPalette::Active, QPalette::Inactive, QPalette::Disabled}, true,
                        skin.palette, problem))
            return std::nullopt;
    }
    // Every role counts as set, so the application palette is replaced as a whole.
    skin.palette.setResolveMask(~QPalette::ResolveMask(0));

    const std::optional<QString> sheet = StyleSheetOf(object.value(StyleSheetKey));
    if (!sheet) {
        problem = QStringLiteral("\"styleSheet\" must be a text or a list of lines");
        return std::nullopt;
    }
    skin.styleSheet = *sheet;
    return skin;
}

std::optional<TSkin> ReadSkinFile(const QString& path, QString& problem)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        problem = QStringLiteral("not a regular file");
        return std::nullopt;
    }
    if (info.size() > MaxSkinFileBytes) {
        problem = QStringLiteral("larger than %1 bytes").arg(MaxSkinFileBytes);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return std::nullopt;
    }
    const QByteArray text = file.read(MaxSkinFileBytes + 1);
    if (text.size() > MaxSkinFileBytes) {
        problem = QStringLiteral("larger than %1 bytes").arg(MaxSkinFileBytes);
        return std::nullopt;
    }
    return ParseSkin(text, info.completeBaseName(), problem);
}
