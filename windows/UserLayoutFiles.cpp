#include "windows/UserLayoutFiles.h"

#include "platform/WholeFile.h"
#include "platform/ZentyrError.h"
#include "windows/LayoutXmlDocument.h"
#include "windows/XmlLayoutStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryFile>

#include <functional>
#include <map>

Q_LOGGING_CATEGORY(lcUserLayout, "zentyr.userlayout")

namespace {

const QString RootName = QStringLiteral("CodeButtons");
const QString Version = QStringLiteral("1.0");
const QString LedClassName = QStringLiteral("TMachLEDLabeled");

// Lookups below the element the file's values hang from, by the layout store's path rule: a
// root named exactly "CodeButtons" is that element, any other root is searched for one.
class LayoutReader
{
public:
    explicit LayoutReader(const TLayoutXmlDocument& document)
        : m_base(document.Root().name == RootName ? &document.Root()
                                                  : document.Root().FindChild(RootName))
    {
    }

    const TLayoutXmlNode* Base() const { return m_base; }

    static std::optional<QString> Text(const TLayoutXmlNode* parent, const QString& name)
    {
        const TLayoutXmlNode* node = parent ? parent->FindChild(name) : nullptr;
        return node ? std::optional<QString>(node->text) : std::nullopt;
    }
    static std::optional<int> Integer(const TLayoutXmlNode* parent, const QString& name)
    {
        const std::optional<QString> text = Text(parent, name);
        return text ? std::optional<int>(TLayoutStorage::ParseInteger(*text)) : std::nullopt;
    }

    void CheckVersion(const QString& rejection) const
    {
        if (Text(m_base, QStringLiteral("version")).value_or(Version) != Version)
            throw ZentyrError(rejection);
    }

    TLayoutPlacement Placement() const
    {
        return TLayoutPlacement{Integer(m_base, QStringLiteral("Top")),
                                Integer(m_base, QStringLiteral("Left")),
                                Integer(m_base, QStringLiteral("Width")),
                                Integer(m_base, QStringLiteral("Height"))};
    }

    // The entries `prefix`0 … `prefix`(count − 1) that exist, by increasing index: what asking
    // for each index in turn finds, without a step per index the file merely states.
    std::map<int, const TLayoutXmlNode*> Entries(const QString& prefix, int count) const
    {
        std::map<int, const TLayoutXmlNode*> entries;
        if (!m_base)
            return entries;
        for (const auto& child : m_base->children) {
            const QString& name = child->name;
            if (!name.startsWith(prefix, Qt::CaseInsensitive))
                continue;
            const QStringView digits = QStringView(name).mid(prefix.size());
            if (!IsIndexText(digits))
                continue;
            bool ok = false;
            const int index = digits.toInt(&ok);
            if (ok && index < count)
                entries.emplace(index, child.get());  // the first of a name wins
        }
        return entries;
    }

private:
    // Decimal digits without a leading zero (but "0" itself).
    static bool IsIndexText(QStringView digits)
    {
        if (digits.isEmpty() || (digits.size() > 1 && digits.front() == u'0'))
            return false;
        return std::all_of(digits.begin(), digits.end(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    }

    const TLayoutXmlNode* m_base;
};

TLayoutXmlDocument LoadDocument(const QByteArray& bytes, const QString& rejection)
{
    TLayoutXmlDocument document(RootName);
    const QString fault = document.Load(bytes);
    if (!fault.isEmpty())
        throw ZentyrError(rejection + QStringLiteral("\r\n") + fault);
    return document;
}

// The file's bytes, or nothing when there is no file.
std::optional<QByteArray> ReadFileBytes(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        qCWarning(lcUserLayout) << "Layout file" << path << "does not exist; read as empty";
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ZentyrError(QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ZentyrError(QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
    return bytes;
}

QString RangeStop(const QString& entry, const ZentyrError& error)
{
    return QStringLiteral("Range check error in \"%1\": %2").arg(entry, error.message());
}

TCodeButtonLayout CodeButtonsFrom(const TLayoutXmlDocument& document)
{
    const LayoutReader reader(document);
    reader.CheckVersion(InvalidCodeButtonFileMessage);
    TCodeButtonLayout layout;
    layout.placement = reader.Placement();
    const int count = LayoutReader::Integer(reader.Base(), QStringLiteral("ButtonCount")).value_or(0);
    for (const auto& [index, node] : reader.Entries(QStringLiteral("Button"), count)) {
        const QString className = LayoutReader::Text(node, QStringLiteral("ClassName")).value_or(QString());
        TCodeButtonEntry entry;
        if (className == CodeButtonClassName(TCodeButtonKind::GCode))
            entry.kind = TCodeButtonKind::GCode;
        else if (className == CodeButtonClassName(TCodeButtonKind::VBScript))
            entry.kind = TCodeButtonKind::VBScript;
        else if (className == CodeButtonClassName(TCodeButtonKind::OEM))
            entry.kind = TCodeButtonKind::OEM;
        else
            continue;
        entry.caption = LayoutReader::Text(node, QStringLiteral("Caption")).value_or(QString());
        if (entry.kind == TCodeButtonKind::OEM) {
            try {
                entry.oemButton = OEMButtonKindOfOrdinal(
                    LayoutReader::Integer(node, QStringLiteral("OEMButtonType")).value_or(0));
            } catch (const ZentyrError& error) {
                layout.stopError = RangeStop(node->name, error);
                break;
            }
        } else {
            entry.code = LayoutReader::Text(node, QStringLiteral("Code")).value_or(QString());
        }
        layout.buttons.append(entry);
    }
    return layout;
}

TLedLayout LedsFrom(const TLayoutXmlDocument& document)
{
    const LayoutReader reader(document);
    reader.CheckVersion(InvalidLedFileMessage);
    TLedLayout layout;
    layout.placement = reader.Placement();
    // Written as "LEDbuttonCount"; names match regardless of case.
    const int count = LayoutReader::Integer(reader.Base(), QStringLiteral("LEDButtonCount")).value_or(0);
    for (const auto& [index, node] : reader.Entries(QStringLiteral("LEDbutton"), count)) {
        if (LayoutReader::Text(node, QStringLiteral("ClassName")) != LedClassName)
            continue;
        TLedEntry entry;
        entry.caption = LayoutReader::Text(node, QStringLiteral("Caption")).value_or(QString());
        try {
            entry.ledType =
                OEMLEDKindOfOrdinal(LayoutReader::Integer(node, QStringLiteral("LEDType")).value_or(0));
        } catch (const ZentyrError& error) {
            layout.stopError = RangeStop(node->name, error);
            break;
        }
        layout.leds.append(entry);
    }
    return layout;
}

// A store over an empty document whose paths start at the root "CodeButtons".
struct LayoutWriter
{
    TXmlLayoutStorage store{TXmlLayoutStorage::WriteBack::OnFlushOnly};

    explicit LayoutWriter(const TLayoutPlacement& placement)
    {
        store.SelectSection(RootName);
        store.WriteString(QStringLiteral("version"), Version);
        store.WriteInteger(QStringLiteral("Top"), placement.top.value_or(0));
        store.WriteInteger(QStringLiteral("Left"), placement.left.value_or(0));
    }
};

QString WithFileLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

}  // namespace

const QString InvalidCodeButtonFileMessage = QStringLiteral("Invalid \".cbl\" File Format");
const QString InvalidLedFileMessage = QStringLiteral("Invalid \".ledl\" File Format");

QString CodeButtonClassName(TCodeButtonKind kind)
{
    switch (kind) {
    case TCodeButtonKind::GCode:
        return QStringLiteral("TMachCodeButton");
    case TCodeButtonKind::VBScript:
        return QStringLiteral("TMachVBScriptButton");
    case TCodeButtonKind::OEM:
        return QStringLiteral("TMachOEMButton");
    }
    return QString();
}

TCodeButtonLayout ParseCodeButtonLayout(const QByteArray& bytes)
{
    return CodeButtonsFrom(LoadDocument(bytes, InvalidCodeButtonFileMessage));
}

TLedLayout ParseLedLayout(const QByteArray& bytes)
{
    return LedsFrom(LoadDocument(bytes, InvalidLedFileMessage));
}

TCodeButtonLayout ReadCodeButtonLayoutFile(const QString& path)
{
    const std::optional<QByteArray> bytes = ReadFileBytes(path);
    return bytes ? ParseCodeButtonLayout(*bytes) : CodeButtonsFrom(TLayoutXmlDocument(RootName));
}

TLedLayout ReadLedLayoutFile(const QString& path)
{
    const std::optional<QByteArray> bytes = ReadFileBytes(path);
    return bytes ? ParseLedLayout(*bytes) : LedsFrom(TLayoutXmlDocument(RootName));
}

QByteArray FormatCodeButtonLayout(const TCodeButtonLayout& layout)
{
    LayoutWriter writer(layout.placement);
    TXmlLayoutStorage& store = writer.store;
    store.WriteInteger(QStringLiteral("ButtonCount"), static_cast<int>(layout.buttons.size()));
    for (qsizetype k = 0; k < layout.buttons.size(); ++k) {
        const TCodeButtonEntry& button = layout.buttons[k];
        const QString entry = QStringLiteral("Button%1\\").arg(k);
        store.WriteString(entry + QStringLiteral("ClassName"), CodeButtonClassName(button.kind));
        store.WriteString(entry + QStringLiteral("Caption"), button.caption);
        if (button.kind == TCodeButtonKind::OEM)
            store.WriteInteger(entry + QStringLiteral("OEMButtonType"), button.oemButton);
        else
            store.WriteString(entry + QStringLiteral("Code"), WithFileLineBreaks(button.code));
    }
    return store.FileBytes();
}

QByteArray FormatLedLayout(const TLedLayout& layout)
{
    LayoutWriter writer(layout.placement);
    TXmlLayoutStorage& store = writer.store;
    store.WriteInteger(QStringLiteral("LEDbuttonCount"), static_cast<int>(layout.leds.size()));
    for (qsizetype k = 0; k < layout.leds.size(); ++k) {
        const QString entry = QStringLiteral("LEDbutton%1\\").arg(k);
        store.WriteString(entry + QStringLiteral("ClassName"), LedClassName);
        store.WriteString(entry + QStringLiteral("Caption"), layout.leds[k].caption);
        store.WriteInteger(entry + QStringLiteral("LEDType"), layout.leds[k].ledType);
    }
    return store.FileBytes();
}

void WriteUserLayoutFile(const QString& path, const QByteArray& bytes)
{
    if (const std::optional<QString> failure = WriteWholeFile(path, bytes))
        throw ZentyrError(QStringLiteral("Cannot write \"%1\": %2").arg(path, *failure));
}

QString InitialLayoutFolder(const QString& programPath, const QString& desktopLayoutFile)
{
    const QString programFolder = QFileInfo(programPath).absolutePath();
    // Permission bits do not tell (access lists, read-only mounts): try to create a file.
    QTemporaryFile probe(QDir(programFolder).filePath(QStringLiteral(".zentyr-probe-XXXXXX")));
    if (probe.open())
        return programFolder;
    return QFileInfo(desktopLayoutFile).absolutePath();
}
