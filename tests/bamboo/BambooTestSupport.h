#pragma once

// Shared helpers of the bamboo G-code tests: one input record for all three generators, file
// helpers, and a fixture that runs under a comma-decimal locale in a private folder.

#include "bamboo/BambooGCode.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bambootest {

enum class Program { Platen, TestHeight, Mortise };

// Inputs of any of the three generators; each generator takes the fields it needs.
struct Inputs
{
    double xStart = 0;
    double zStart = 0;
    double safeZ = 0;
    double yOffset = 0;
    double cutLength = 0;
    double removeDepth = 0;
    double passDepth = 0;
    double finalPass = 0;
    double rapidFeed = 0;
    double cutFeed = 0;
    double plungeFeed = 0;
};

inline void generate(Program program, const QString& path, const Inputs& in)
{
    switch (program) {
    case Program::Platen:
        EXPECT_TRUE(WritePlatenCutFile(path, in.xStart, in.zStart, in.safeZ, in.cutLength,
                                       in.removeDepth, in.passDepth, in.finalPass, in.rapidFeed,
                                       in.cutFeed, in.plungeFeed));
        return;
    case Program::TestHeight:
        EXPECT_TRUE(WriteTestHeightCutFile(path, in.xStart, in.zStart, in.safeZ, in.cutLength,
                                           in.removeDepth, in.passDepth, in.finalPass,
                                           in.rapidFeed, in.cutFeed, in.plungeFeed));
        return;
    case Program::Mortise:
        WriteReelSeatMortiseFile(path, in.xStart, in.yOffset, in.cutLength, in.removeDepth,
                                 in.passDepth, in.finalPass, in.cutFeed, in.plungeFeed,
                                 in.rapidFeed);
        return;
    }
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Splits a program into its lines, checking that every line, the last included, ends in
// CR LF and that no bare CR or LF hides inside a line.
inline QStringList programLines(const QByteArray& bytes)
{
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            << line.toStdString();
    }
    return lines;
}

inline QStringList toList(const std::vector<const char*>& texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromLatin1(text);
    return list;
}

// Names a parameterised test after the "name" field of its case.
struct CaseName
{
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& caseInfo) const
    {
        return caseInfo.param.name;
    }
};

// Generators must write points whatever the user's regional settings are, so every test runs
// under a locale whose decimal separator is a comma.
class CommaLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override { QLocale::setDefault(m_previous); }

    QString target() const { return m_dir.filePath(QStringLiteral("Program.tap")); }
    QStringList filesInDir() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_dir;

private:
    QLocale m_previous;
};

} // namespace bambootest
