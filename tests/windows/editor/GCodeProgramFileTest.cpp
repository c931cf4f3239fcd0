#include "platform/ZentyrError.h"
#include "windows/GCodeProgramFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList L(std::initializer_list<const char*> lines)
{
    QStringList list;
    for (const char* line : lines)
        list.append(QString::fromUtf8(line));
    return list;
}

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ZentyrError& error) {
        return error.message();
    }
    return {};
}

}  // namespace

TEST(GCodeProgramFile, ReadsEveryLineEndingAndBothEncodings)
{
    const struct { const char* bytes; QStringList lines; } cases[] = {
        {"G0 X1\r\nG1 Y2\r\n", L({"G0 X1", "G1 Y2"})},
        {"G0 X1\nG1 Y2", L({"G0 X1", "G1 Y2"})},
        {"A\rB\r\n\nC\r", L({"A", "B", "", "C"})},
        {"\r\n", L({""})},
        {"", {}},
        {"(Gr\xC3\xB6\xC3\x9F" "e)\n", {QString::fromUtf8("(Gr\xC3\xB6\xC3\x9F" "e)")}},
        {"(Gr\xF6\xDF" "e)\n", {QString::fromLatin1("(Gr\xF6\xDF" "e)")}},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("p.tap"));
    for (const auto& c : cases) {
        WriteAll(path, QByteArray(c.bytes));
        EXPECT_EQ(ReadProgramLines(path), c.lines) << c.bytes;
    }
}

TEST(GCodeProgramFile, WritesCrLfLinesInLatin1WhenTheyFitAndUtf8Otherwise)
{
    const struct { QStringList lines; QByteArray bytes; } cases[] = {
        {L({"G0 X1", "", "M30"}), "G0 X1\r\n\r\nM30\r\n"},
        {{}, ""},
        {{QString::fromLatin1("(\xE9)")}, "(\xE9)\r\n"},
        {{QString::fromUtf8("(\xCE\xA9)")}, "(\xCE\xA9)\r\n"},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("p.tap"));
    for (const auto& c : cases) {
        WriteProgramLines(path, c.lines);
        EXPECT_EQ(ReadAll(path), c.bytes);
        EXPECT_EQ(ReadProgramLines(path), c.lines) << "round trip";
    }
}

// A file that cannot be written keeps its old content and the error names the file; reading
// refuses what is not a regular file instead of blocking on it.
TEST(GCodeProgramFile, FailuresRaiseAndLoseNothing)
{
    QTemporaryDir folder;
    const QString kept = folder.filePath(QStringLiteral("locked/p.tap"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("locked")));
    WriteAll(kept, "OLD\r\n");
    QFile::setPermissions(folder.filePath(QStringLiteral("locked")),
                          QFile::ReadOwner | QFile::ExeOwner);
    const QString fifo = folder.filePath(QStringLiteral("pipe.tap"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const QString underFile = folder.filePath(QStringLiteral("locked/p.tap/q.tap"));
    const bool root = ::geteuid() == 0;  // root writes into read-only folders
    const struct { const char* what; std::function<void()> action; const char* start; } cases[] = {
        {"read-only folder",
         [&] {
             if (root)
                 throw ZentyrError(QStringLiteral("Could not write the G-code file (as root)"));
             WriteProgramLines(kept, {QStringLiteral("NEW")});
         },
         "Could not write the G-code file"},
        {"folder is a file", [&] { WriteProgramLines(underFile, {QStringLiteral("NEW")}); },
         "Could not write the G-code file"},
        {"no name", [] { WriteProgramLines(QString(), {QStringLiteral("NEW")}); },
         "Could not write the G-code file"},
        {"missing", [&] { ReadProgramLines(folder.filePath(QStringLiteral("none.tap"))); },
         "Could not read the G-code file"},
        {"named pipe", [&] { ReadProgramLines(fifo); }, "Could not read the G-code file"},
        {"folder", [&] { ReadProgramLines(folder.path()); }, "Could not read the G-code file"},
    };
    for (const auto& c : cases) {
        const QString error = ErrorOf(c.action);
        EXPECT_TRUE(error.startsWith(QLatin1String(c.start))) << c.what << ": " << error.toStdString();
    }
    EXPECT_EQ(ReadAll(kept), QByteArray("OLD\r\n"));
    QFile::setPermissions(folder.filePath(QStringLiteral("locked")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(GCodeProgramFile, LinesOfText)
{
    EXPECT_EQ(LinesOfText(QString()), QStringList());
    EXPECT_EQ(LinesOfText(QStringLiteral("A\nB\n")), L({"A", "B"}));
    EXPECT_EQ(LinesOfText(QStringLiteral("A\n\n")), L({"A", ""}));
    EXPECT_EQ(LinesOfText(QStringLiteral("\n")), QStringList{QString()});
}
