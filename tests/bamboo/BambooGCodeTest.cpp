#include "bamboo/BambooGCode.h"

#include "tests/bamboo/BambooTestSupport.h"

#include <QString>

#include <gtest/gtest.h>

#include <ostream>

namespace {

using namespace bambootest;

// ---- Number format ---------------------------------------------------------------------------

class FormatFixed4Test : public CommaLocale
{
};

TEST_F(FormatFixed4Test, WritesFourDecimalsWithAPoint)
{
    const struct
    {
        double value;
        const char* text;
    } cases[] = {
        {0.5, "0.5000"},
        {100, "100.0000"},
        {-0.4405, "-0.4405"},
        {0, "0.0000"},
        {-0.0, "0.0000"},
        {-0.00004, "0.0000"},     // rounds to zero: no sign
        {-0.00006, "-0.0001"},
        {1.23456, "1.2346"},
        // Radii of fractional-inch bits are exact binary ties; they round away from zero
        // (printf's round-half-even would write 0.1562 and -0.0312).
        {0.15625, "0.1563"},
        {-0.03125, "-0.0313"},
        {0.5 - 0.04, "0.4600"},   // floating-point noise disappears in the rounding
        {1234567.25, "1234567.2500"}, // no grouping
        {1e20, "100000000000000000000.0000"}, // no exponent
        {1e-7, "0.0000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed4(c.value), QString::fromLatin1(c.text)) << c.text;
}

// ---- Worked examples, byte for byte ----------------------------------------------------------

struct GoldenCase
{
    const char* name;
    Program program;
    Inputs inputs;
    const char* goldenFile;
};

void PrintTo(const GoldenCase& c, std::ostream* os)
{
    *os << c.name;
}

class GoldenTest : public CommaLocale, public ::testing::WithParamInterface<GoldenCase>
{
};

TEST_P(GoldenTest, ReplacesAnExistingFileWithTheExpectedProgram)
{
    const GoldenCase& c = GetParam();
    const QByteArray expected
        = readAll(QStringLiteral(BAMBOO_GOLDEN_DIR "/") + QString::fromLatin1(c.goldenFile));
    ASSERT_FALSE(expected.isEmpty()) << c.goldenFile;

    // An older, longer file must be replaced, not appended to nor partly overwritten.
    writeAll(target(), QByteArray(4 * expected.size(), 'Q'));
    generate(c.program, target(), c.inputs);

    EXPECT_EQ(readAll(target()), expected);
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("Program.tap")});
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, GoldenTest,
    ::testing::Values(
        GoldenCase{"Platen", Program::Platen,
                   Inputs{.xStart = 1, .zStart = 0.5, .safeZ = 0.6, .cutLength = 10,
                          .removeDepth = 0.1, .passDepth = 0.04, .finalPass = 0.01,
                          .rapidFeed = 150, .cutFeed = 60, .plungeFeed = 20},
                   "PlatenCut.tap"},
        GoldenCase{"TestHeight", Program::TestHeight,
                   Inputs{.xStart = 0, .zStart = 0.25, .safeZ = 0.45, .cutLength = 5,
                          .removeDepth = 0.22, .passDepth = 0.1, .finalPass = 0.003,
                          .rapidFeed = 150, .cutFeed = 100, .plungeFeed = 20},
                   "TestHeightCut.tap"},
        GoldenCase{"Mortise", Program::Mortise,
                   Inputs{.xStart = -0.4375, .yOffset = 0, .cutLength = 3.1875,
                          .removeDepth = 0.1, .passDepth = 0.03, .finalPass = 0.003,
                          .rapidFeed = 150, .cutFeed = 100, .plungeFeed = 50},
                   "ReelSeatMortise.tap"}),
    CaseName());

} // namespace
