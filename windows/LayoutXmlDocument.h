#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One element of a layout document: its name, its own text and its child elements in file
// order. Elements carry no attributes.
struct TLayoutXmlNode
{
    QString name;
    QString text;
    std::vector<std::unique_ptr<TLayoutXmlNode>> children;

    // The first child whose name matches without regard to letter case, or null.
    TLayoutXmlNode* FindChild(const QString& childName) const;
    // The first matching child, appended under `childName` when there is none.
    TLayoutXmlNode& ChildFor(const QString& childName);
};

// The in-memory tree of a layout file and its one on-disk encoding.
//
// Written form: Latin-1 bytes; the declaration line <?xml version="1.0" encoding="iso-8859-1"?>;
// every line ends with CR LF; the root starts at the beginning of its line and each level is
// indented two more spaces; an element with text and no children sits on one line, an empty one
// is written <Name/>; an element with children gets a start-tag line, the children, an end-tag
// line (its own text, unless blank, follows the start tag). In text, " & ' < > become
// &quot; &amp; &apos; &lt; &gt;, characters U+0080 to U+00FF become &#xHH; (two upper-case hex
// digits), and characters Latin-1 cannot hold become &#x…; of their code point, so nothing is
// lost. Everything else, tab, CR and LF included, is written unchanged.
//
// Reading accepts that form and any well-formed XML in an encoding Qt knows (single-byte files
// in an unknown encoding are taken as Latin-1). Raw CR and the control characters the writer
// lets through come back exactly as written, which a plain XML parser would not do (it folds
// CR LF into LF and refuses controls). The price: the Unicode noncharacters U+FDD0 to U+FDEF,
// which no text ever carries, read back as the controls U+0000 to U+001F.
class TLayoutXmlDocument final
{
public:
    // Levels of elements, the root included, that Load accepts. Deeper nesting is treated as
    // a fault of the file: writing such a tree back would take memory quadratic in its depth
    // and a stack frame per level.
    static constexpr int MaxNestingDepth = 256;

    explicit TLayoutXmlDocument(const QString& rootName);

    TLayoutXmlNode& Root() { return m_root; }
    const TLayoutXmlNode& Root() const { return m_root; }

    // Drops all content; the root keeps its name.
    void Clear();

    // Replaces the content with that of `bytes`; the root takes the name found there. Input
    // that is not well-formed or nested deeper than MaxNestingDepth keeps every element
    // completed before the fault (and the ones still open that already hold completed
    // children), drops the rest and returns the parser's message; a clean read returns an
    // empty string.
    QString Load(const QByteArray& bytes);

    QByteArray Serialize() const;

    // The element at `segments` below the root (the root itself for an empty list), matched
    // without regard to letter case, first match winning; null when missing.
    const TLayoutXmlNode* Find(const QStringList& segments) const;
    // As Find, creating the missing elements under the names given.
    TLayoutXmlNode& Make(const QStringList& segments);

    // The escaped form of a value, as it stands between the tags.
    static QByteArray EscapeText(const QString& text);

private:
    TLayoutXmlNode m_root;
};
