#include "windows/LayoutXmlDocument.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

// Controls XML 1.0 refuses even as character references; the writer lets them through raw.
bool IsRefusedControl(char16_t c)
{
    return c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
}

// Text that is only layout when it stands beside child elements: white space, but not the
// controls the writer lets through (vertical tab, form feed), which are values.
bool IsLayoutBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.isSpace() && !IsRefusedControl(c.unicode()); });
}

// Stand-ins for refused controls while the parser runs: the noncharacters U+FDD0..U+FDEF,
// one per control U+0000..U+001F.
constexpr char16_t kControlStandIn = 0xFDD0;

QString DecodeFile(const QByteArray& bytes)
{
    if (const auto byMark = QStringConverter::encodingForData(bytes, u'<')) {
        QStringDecoder decoder(*byMark);
        return decoder.decode(bytes);
    }
    static const QRegularExpression declaredEncoding(
        QStringLiteral(R"(^\s*<\?xml[^>]*\bencoding\s*=\s*["']([^"']+)["'])"));
    const QString head = QString::fromLatin1(bytes.left(256));
    const QRegularExpressionMatch match = declaredEncoding.match(head);
    if (!match.hasMatch())
        return QString::fromUtf8(bytes);
    const QByteArray name = match.captured(1).toLatin1();
    if (const auto named = QStringConverter::encodingForName(name.constData())) {
        QStringDecoder decoder(*named);
        return decoder.decode(bytes);
    }
    return QString::fromLatin1(bytes);
}

// End of the markup that starts at `from` (a '<'), one past its closing '>'.
qsizetype MarkupEnd(QStringView in, qsizetype from)
{
    const auto after = [&](QStringView terminator) {
        const qsizetype at = in.indexOf(terminator, from + 2);
        return at < 0 ? in.size() : at + terminator.size();
    };
    const QStringView rest = in.mid(from);
    if (rest.startsWith(u"<!--"))
        return after(u"-->");
    if (rest.startsWith(u"<![CDATA["))
        return after(u"]]>");
    if (rest.startsWith(u"<?"))
        return after(u"?>");
    if (rest.startsWith(u"<!")) {
        int brackets = 0;
        for (qsizetype i = from + 2; i < in.size(); ++i) {
            if (in[i] == u'[')
                ++brackets;
            else if (in[i] == u']')
                --brackets;
            else if (in[i] == u'>' && brackets <= 0)
                return i + 1;
        }
        return in.size();
    }
    const qsizetype close = in.indexOf(u'>', from);
    return close < 0 ? in.size() : close + 1;
}

// Prepares decoded text for the parser so that values survive it exactly: inside the root
// element, raw CR becomes a character reference (which XML does not fold into LF) and each
// refused control its stand-in.
QString ProtectContent(const QString& in)
{
    QString out;
    out.reserve(in.size() + in.size() / 8);
    int depth = 0;
    qsizetype i = 0;
    while (i < in.size()) {
        const QChar c = in[i];
        if (c == u'<') {
            const qsizetype end = MarkupEnd(in, i);
            const QStringView tag = QStringView(in).mid(i, end - i);
            if (!tag.startsWith(u"<!") && !tag.startsWith(u"<?")) {
                if (tag.startsWith(u"</"))
                    --depth;
                else if (!tag.endsWith(u"/>"))
                    ++depth;
            }
            out += tag;
            i = end;
            continue;
        }
        if (depth > 0 && c == u'\r')
            out += QLatin1StringView("&#xD;");
        else if (depth > 0 && IsRefusedControl(c.unicode()))
            out += QChar(char16_t(kControlStandIn + c.unicode()));
        else
            out += c;
        ++i;
    }
    return out;
}

void RestoreControls(QString& text)
{
    for (QChar& c : text) {
        if (c.unicode() >= kControlStandIn && c.unicode() < kControlStandIn + 0x20)
            c = QChar(char16_t(c.unicode() - kControlStandIn));
    }
}

// The own text of an element that also has children: what precedes the first child, less the
// line break and indentation that layout puts before it. Layout white space alone is no text.
QString OwnTextOfParent(const QString& text)
{
    if (IsLayoutBlank(text))
        return {};
    static const QRegularExpression layoutBreak(QStringLiteral("\\r?\\n[ \\t]*$"));
    QString own = text;
    own.remove(layoutBreak);
    return own;
}

void FinishElement(TLayoutXmlNode& node)
{
    if (!node.children.empty())
        node.text = OwnTextOfParent(node.text);
    RestoreControls(node.text);
}

QByteArray NameBytes(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    for (const QChar c : name)
        bytes += c.unicode() <= 0xFF ? char(c.unicode()) : '_';
    return bytes;
}

void AppendHexReference(QByteArray& out, char32_t codePoint)
{
    QByteArray hex = QByteArray::number(uint(codePoint), 16).toUpper();
    if (hex.size() < 2)
        hex.prepend('0');
    out += "&#x";
    out += hex;
    out += ';';
}

void SerializeNode(QByteArray& out, const TLayoutXmlNode& node, int depth)
{
    const QByteArray indent(depth * 2, ' ');
    const QByteArray name = NameBytes(node.name);
    out += indent;
    if (node.children.empty()) {
        if (node.text.isEmpty()) {
            out += '<' + name + "/>\r\n";
        } else {
            out += '<' + name + '>';
            out += TLayoutXmlDocument::EscapeText(node.text);
            out += "</" + name + ">\r\n";
        }
        return;
    }
    out += '<' + name + '>';
    // Blank own text beside children is layout to a reader (it would drop it), so it is not
    // written: a second save then writes the same bytes as the first.
    if (!IsLayoutBlank(node.text))
        out += TLayoutXmlDocument::EscapeText(node.text);
    out += "\r\n";
    for (const auto& child : node.children)
        SerializeNode(out, *child, depth + 1);
    out += indent + "</" + name + ">\r\n";
}

} // namespace

TLayoutXmlNode* TLayoutXmlNode::FindChild(const QString& childName) const
{
    const auto match = std::find_if(children.begin(), children.end(), [&](const auto& child) {
        return child->name.compare(childName, Qt::CaseInsensitive) == 0;
    });
    return match == children.end() ? nullptr : match->get();
}

TLayoutXmlNode& TLayoutXmlNode::ChildFor(const QString& childName)
{
    if (TLayoutXmlNode* existing = FindChild(childName))
        return *existing;
    auto& added = children.emplace_back(std::make_unique<TLayoutXmlNode>());
    added->name = childName;
    return *added;
}

TLayoutXmlDocument::TLayoutXmlDocument(const QString& rootName)
{
    m_root.name = rootName;
}

void TLayoutXmlDocument::Clear()
{
    m_root.text.clear();
    m_root.children.clear();
}

QString TLayoutXmlDocument::Load(const QByteArray& bytes)
{
    Clear();
    QXmlStreamReader reader(ProtectContent(DecodeFile(bytes)));
    reader.setNamespaceProcessing(false);

    std::vector<TLayoutXmlNode*> open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (open.size() >= std::size_t(MaxNestingDepth)) {
                reader.raiseError(QStringLiteral("Elements are nested more than %1 levels deep")
                                      .arg(MaxNestingDepth));
                break;
            }
            if (open.empty()) {
                m_root.name = reader.name().toString();
                open.push_back(&m_root);
            } else {
                auto& child =
                    open.back()->children.emplace_back(std::make_unique<TLayoutXmlNode>());
                child->name = reader.name().toString();
                open.push_back(child.get());
            }
            break;
        case QXmlStreamReader::Characters:
            // Only text before the first child counts; the rest is layout white space.
            if (!open.empty() && open.back()->children.empty())
                open.back()->text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (!open.empty()) {
                FinishElement(*open.back());
                open.pop_back();
            }
            break;
        default:
            break;
        }
    }
    if (!reader.hasError())
        return {};

    // A leaf still open at the fault may hold a cut-off value: it goes, so that readers get
    // their default rather than a fragment. Open parents keep what they completed.
    while (!open.empty()) {
        TLayoutXmlNode* node = open.back();
        open.pop_back();
        if (node->children.empty()) {
            if (open.empty())
                node->text.clear();
            else
                open.back()->children.pop_back();
        } else {
            FinishElement(*node);
        }
    }
    return reader.errorString();
}

QByteArray TLayoutXmlDocument::Serialize() const
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
    SerializeNode(out, m_root, 0);
    return out;
}

const TLayoutXmlNode* TLayoutXmlDocument::Find(const QStringList& segments) const
{
    const TLayoutXmlNode* node = &m_root;
    for (const QString& segment : segments) {
        node = node->FindChild(segment);
        if (!node)
            return nullptr;
    }
    return node;
}

TLayoutXmlNode& TLayoutXmlDocument::Make(const QStringList& segments)
{
    TLayoutXmlNode* node = &m_root;
    for (const QString& segment : segments)
        node = &node->ChildFor(segment);
    return *node;
}

QByteArray TLayoutXmlDocument::EscapeText(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        char32_t codePoint = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode())) {
            codePoint = QChar::surrogateToUcs4(unit, text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(unit) || unit == 0xFFFE || unit == 0xFFFF) {
            // Not a character at all: no file could carry it, so it is marked as replaced.
            codePoint = QChar::ReplacementCharacter;
        }
        switch (codePoint) {
        case U'"': out += "&quot;"; break;
        case U'&': out += "&amp;"; break;
        case U'\'': out += "&apos;"; break;
        case U'<': out += "&lt;"; break;
        case U'>': out += "&gt;"; break;
        default:
            if (codePoint < 0x80)
                out += char(codePoint);
            else
                AppendHexReference(out, codePoint);
        }
    }
    return out;
}
