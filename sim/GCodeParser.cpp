#include "sim/GCodeParser.h"

#include <cmath>

namespace hostsim {

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads blocks of text one character at a time; every failure leaves a message and stops.
class LineReader
{
public:
    explicit LineReader(QStringView line) : m_line(line) {}

    bool AtEnd() const { return m_pos >= m_line.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : m_line[m_pos]; }
    QChar Take() { return m_line[m_pos++]; }
    void SkipBlanks()
    {
        while (!AtEnd() && IsBlank(Peek()))
            ++m_pos;
    }
    void SkipToEnd() { m_pos = m_line.size(); }

    // Skips a comment that starts at the current '('; false when it is never closed.
    bool SkipComment()
    {
        const qsizetype close = m_line.indexOf(u')', m_pos);
        if (close < 0)
            return false;
        m_pos = close + 1;
        return true;
    }

    // [+-] digits [. digits] | [+-] . digits
    bool ReadNumber(double& number, QString& error)
    {
        const qsizetype start = m_pos;
        if (!AtEnd() && (Peek() == u'+' || Peek() == u'-'))
            ++m_pos;
        qsizetype digits = 0;
        while (!AtEnd() && IsDigit(Peek())) {
            ++m_pos;
            ++digits;
        }
        if (!AtEnd() && Peek() == u'.') {
            ++m_pos;
            while (!AtEnd() && IsDigit(Peek())) {
                ++m_pos;
                ++digits;
            }
        }
        if (digits == 0) {
            error = QStringLiteral("a number is missing");
            return false;
        }
        bool ok = false;
        number = m_line.mid(start, m_pos - start).toString().toDouble(&ok);
        if (!ok || !std::isfinite(number) || std::abs(number) > MaxWordMagnitude) {
            error = QStringLiteral("number out of range");
            return false;
        }
        return true;
    }

    bool ReadVariableIndex(int& index, QString& error)
    {
        double number = 0.0;
        if (!ReadNumber(number, error))
            return false;
        if (number != std::floor(number) || number < 0 || number > MaxVariableIndex) {
            error = QStringLiteral("invalid variable number");
            return false;
        }
        index = static_cast<int>(number);
        return true;
    }

    bool ReadValue(GCodeValue& value, QString& error)
    {
        SkipBlanks();
        if (Peek() == u'#') {
            Take();
            SkipBlanks();
            return ReadVariableIndex(value.variable, error);
        }
        return ReadNumber(value.number, error);
    }

private:
    QStringView m_line;
    qsizetype m_pos = 0;
};

}  // namespace

ParsedBlock ParseGCodeLine(QStringView line)
{
    ParsedBlock block;
    const QStringView trimmed = line.trimmed();
    if (trimmed == u"%")
        return block;

    LineReader reader(trimmed);
    QString problem;
    reader.SkipBlanks();
    if (reader.Peek() == u'/')
        reader.Take();

    while (problem.isEmpty()) {
        reader.SkipBlanks();
        if (reader.AtEnd())
            break;
        const QChar c = reader.Peek();
        if (c == u';') {
            reader.SkipToEnd();
        } else if (c == u'(') {
            if (!reader.SkipComment())
                problem = QStringLiteral("comment not closed");
        } else if (c == u'#') {
            reader.Take();
            reader.SkipBlanks();
            VariableSetting setting;
            if (!reader.ReadVariableIndex(setting.index, problem))
                break;
            reader.SkipBlanks();
            if (reader.Peek() != u'=') {
                problem = QStringLiteral("'=' expected after #%1").arg(setting.index);
                break;
            }
            reader.Take();
            if (reader.ReadValue(setting.value, problem))
                block.settings.append(setting);
        } else if (c.isLetter()) {
            const QChar letter = reader.Take().toUpper();
            if (letter < u'A' || letter > u'Z' || letter == u'E') {
                problem = QStringLiteral("unknown word letter '%1'").arg(letter);
                break;
            }
            GCodeWord word;
            word.letter = letter;
            if (reader.ReadValue(word.value, problem))
                block.words.append(word);
            else
                problem = QStringLiteral("%1 after '%2'").arg(problem, letter);
        } else {
            problem = QStringLiteral("unexpected character '%1'").arg(c);
        }
    }

    if (!problem.isEmpty()) {
        block.words.clear();
        block.settings.clear();
        block.error = problem;
    }
    return block;
}

}  // namespace hostsim
