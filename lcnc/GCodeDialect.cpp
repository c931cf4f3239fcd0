#include "lcnc/GCodeDialect.h"

#include <QRegularExpression>

namespace lcnchost {

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

QString TranslateLine(const QString& line)
{
    QString out;
    out.reserve(line.size() + 8);
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = line[i];
        if (c == u'(') {  // comment to the closing parenthesis
            const qsizetype end = line.indexOf(u')', i);
            const qsizetype stop = end < 0 ? n : end + 1;
            out += QStringView(line).mid(i, stop - i);
            i = stop;
            continue;
        }
        if (c == u';') {  // comment to the end of the line
            out += QStringView(line).mid(i);
            break;
        }
        if (c == u'G' || c == u'g') {
            // The word's number may follow blanks and carry leading zeros or a zero fraction.
            qsizetype j = i + 1;
            while (j < n && line[j].isSpace())
                ++j;
            const qsizetype numberStart = j;
            while (j < n && (IsDigit(line[j]) || line[j] == u'.'))
                ++j;
            bool ok = false;
            const double number = QStringView(line).mid(numberStart, j - numberStart).toDouble(&ok);
            if (ok && number == 31.0) {
                out += QLatin1String("G38.3");
                i = j;
                continue;
            }
            out += QStringView(line).mid(i, j - i);
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

QStringList MdiLinesFor(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines;
    for (const QString& line : text.split(breaks)) {
        if (!line.trimmed().isEmpty())
            lines += TranslateLine(line.trimmed());
    }
    return lines;
}

}  // namespace lcnchost
