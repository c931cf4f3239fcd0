#include "fuzz/LayoutFuzzEntries.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Every committed input of a reader, the seeds and every finding of a past fuzzing run, goes
// through the same checks as under the fuzzing engine; a failed check aborts this program.
TEST(FuzzCorpus, EveryInputPassesTheReaderChecks)
{
    const struct
    {
        const char* folder;
        int (*entry)(const std::uint8_t*, std::size_t);
    } readers[] = {
        {"desktop", FuzzDesktopLayout},
        {"cbl", FuzzCodeButtonLayout},
        {"ledl", FuzzLedLayout},
    };
    for (const auto& reader : readers) {
        const QDir folder(QStringLiteral(ZENTYR_FUZZ_CORPUS_DIR "/") + QLatin1String(reader.folder));
        const QStringList names = folder.entryList(QDir::Files, QDir::Name);
        EXPECT_GE(names.size(), 5) << reader.folder << ": the corpus is missing";
        for (const QString& name : names) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            const QByteArray bytes = file.readAll();
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(reader.entry(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   std::size_t(bytes.size())),
                      0);
        }
    }
}

}  // namespace
