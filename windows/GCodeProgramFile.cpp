#include "windows/GCodeProgramFile.h"

#include "platform/WholeFile.h"
#include "platform/ZentyrError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

[[noreturn]] void RaiseFileError(const char* what, const QString& path, const QString& reason)
{
    throw ZentyrError(QStringLiteral("Could not %1 the G-code file \"%2\": %3")
                          .arg(QLatin1String(what), QDir::toNativeSeparators(path), reason));
}

bool FitsLatin1(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

}  // namespace

QStringList ReadProgramLines(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        RaiseFileError("read", path, QStringLiteral("not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        RaiseFileError("read", path, file.errorString());
    if (file.size() > MaxProgramFileBytes)
        RaiseFileError("read", path,
                       QStringLiteral("the file is larger than %1 MiB")
                           .arg(MaxProgramFileBytes / (1024 * 1024)));
    const QByteArray bytes = file.read(MaxProgramFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        RaiseFileError("read", path, file.errorString());
    if (bytes.size() > MaxProgramFileBytes)
        RaiseFileError("read", path, QStringLiteral("the file grew while it was read"));

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    QStringList lines;
    const QChar* const data = text.constData();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\n' && c != u'\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

void WriteProgramLines(const QString& path, const QStringList& lines)
{
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    const QByteArray bytes = FitsLatin1(text) ? text.toLatin1() : text.toUtf8();

    if (path.isEmpty())
        RaiseFileError("write", path, QStringLiteral("no file name"));
    if (const std::optional<QString> failure = WriteWholeFile(path, bytes))
        RaiseFileError("write", path, *failure);
}

QStringList LinesOfText(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}
