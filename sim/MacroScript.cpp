#include "sim/MacroScript.h"

#include <QList>

#include <cmath>
#include <utility>
#include <variant>

namespace hostsim {

namespace {

using Argument = std::variant<QString, double>;

// Reads a statement's argument list: string literals and plain numbers separated by commas,
// optionally inside one pair of parentheses, optionally followed by a ' comment.
class ArgumentReader
{
public:
    explicit ArgumentReader(QStringView text) : m_text(text) {}

    bool Read(QList<Argument>& arguments, QString& problem)
    {
        SkipBlanks();
        const bool parenthesised = Peek() == u'(';
        if (parenthesised)
            ++m_pos;
        SkipBlanks();
        const bool empty = parenthesised ? Peek() == u')' : AtEndOfStatement();
        while (!empty) {
            SkipBlanks();
            if (Peek() == u'"') {
                QString text;
                if (!ReadString(text)) {
                    problem = QStringLiteral("string not closed");
                    return false;
                }
                arguments.append(text);
            } else {
                double number = 0.0;
                if (!ReadNumber(number)) {
                    problem = QStringLiteral("only plain strings and numbers are supported");
                    return false;
                }
                arguments.append(number);
            }
            SkipBlanks();
            if (Peek() != u',')
                break;
            ++m_pos;
        }
        SkipBlanks();
        if (parenthesised) {
            if (Peek() != u')') {
                problem = QStringLiteral("')' expected");
                return false;
            }
            ++m_pos;
            SkipBlanks();
        }
        if (!AtEndOfStatement()) {
            problem = QStringLiteral("unexpected text after the arguments");
            return false;
        }
        return true;
    }

private:
    QChar Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : QChar(); }
    bool AtEndOfStatement() const { return m_pos >= m_text.size() || m_text[m_pos] == u'\''; }
    void SkipBlanks()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
            ++m_pos;
    }

    bool ReadString(QString& text)
    {
        ++m_pos;  // opening quote
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos++];
            if (c != u'"') {
                text.append(c);
                continue;
            }
            if (Peek() != u'"')
                return true;
            text.append(u'"');
            ++m_pos;
        }
        return false;
    }

    bool ReadNumber(double& number)
    {
        const qsizetype start = m_pos;
        if (Peek() == u'+' || Peek() == u'-')
            ++m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos].isDigit() || m_text[m_pos] == u'.'))
            ++m_pos;
        bool ok = false;
        number = m_text.mid(start, m_pos - start).toString().toDouble(&ok);
        return ok && std::isfinite(number);
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

bool StartsWithWord(QStringView text, QStringView word)
{
    return text.size() > word.size() && text.startsWith(word, Qt::CaseInsensitive)
        && (text[word.size()] == u' ' || text[word.size()] == u'\t');
}

MacroStatement Unsupported(const QString& reason)
{
    return {MacroStatement::Kind::Unsupported, reason, 0, 0.0};
}

bool IsHostCode(double value)
{
    return value == std::floor(value) && value >= -32768 && value <= 32767;
}

}  // namespace

MacroStatement ParseMacroLine(QStringView line)
{
    QStringView text = line.trimmed();
    if (text.isEmpty() || text.startsWith(u'\'') || text.compare(u"rem", Qt::CaseInsensitive) == 0
        || StartsWithWord(text, u"rem"))
        return {};
    if (StartsWithWord(text, u"call"))
        text = text.mid(4).trimmed();

    qsizetype nameEnd = 0;
    while (nameEnd < text.size() && text[nameEnd].isLetterOrNumber())
        ++nameEnd;
    const QStringView name = text.left(nameEnd);

    MacroStatement::Kind kind = MacroStatement::Kind::Unsupported;
    for (const auto& [known, knownKind] :
         {std::pair{u"Code", MacroStatement::Kind::Code},
          std::pair{u"Message", MacroStatement::Kind::Message},
          std::pair{u"DoOEMButton", MacroStatement::Kind::DoOEMButton},
          std::pair{u"SetOEMDRO", MacroStatement::Kind::SetOEMDRO}}) {
        if (name.compare(QStringView(known), Qt::CaseInsensitive) == 0)
            kind = knownKind;
    }
    if (kind == MacroStatement::Kind::Unsupported)
        return Unsupported(QStringLiteral("statement not supported"));

    QList<Argument> arguments;
    QString problem;
    if (!ArgumentReader(text.mid(nameEnd)).Read(arguments, problem))
        return Unsupported(problem);

    const auto isText = [&](int i) { return std::holds_alternative<QString>(arguments[i]); };
    const auto number = [&](int i) { return std::get<double>(arguments[i]); };

    switch (kind) {
    case MacroStatement::Kind::Code:
    case MacroStatement::Kind::Message:
        if (arguments.size() != 1 || !isText(0))
            return Unsupported(QStringLiteral("%1 takes one string").arg(name));
        return {kind, std::get<QString>(arguments[0]), 0, 0.0};
    case MacroStatement::Kind::DoOEMButton:
        if (arguments.size() != 1 || isText(0) || !IsHostCode(number(0)))
            return Unsupported(QStringLiteral("DoOEMButton takes one button code"));
        return {kind, {}, static_cast<int>(number(0)), 0.0};
    default:
        if (arguments.size() != 2 || isText(0) || isText(1) || !IsHostCode(number(0)))
            return Unsupported(QStringLiteral("SetOEMDRO takes a DRO code and a number"));
        return {kind, {}, static_cast<int>(number(0)), number(1)};
    }
}

}  // namespace hostsim
