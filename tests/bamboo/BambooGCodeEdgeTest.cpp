#include "tests/bamboo/BambooTestSupport.h"

#include "FileSizeLimit.h"

#include "platform/ZentyrError.h"

#include <QString>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>

namespace {

using namespace bambootest;

// Platen: X 0..2, start height 1, safe Z 1.1, feeds rapid 150, cut 60, plunge 20.
Inputs platen(double removeDepth, double passDepth, double finalPass)
{
    return {.xStart = 0, .zStart = 1, .safeZ = 1.1, .cutLength = 2, .removeDepth = removeDepth,
            .passDepth = passDepth, .finalPass = finalPass, .rapidFeed = 150, .cutFeed = 60,
            .plungeFeed = 20};
}

// Test height: X 0..3, start height 1, safe Z 1.2, feeds rapid 150, cut 100, plunge 20.
Inputs testHeight(double removeDepth, double passDepth, double finalPass)
{
    return {.xStart = 0, .zStart = 1, .safeZ = 1.2, .cutLength = 3, .removeDepth = removeDepth,
            .passDepth = passDepth, .finalPass = finalPass, .rapidFeed = 150, .cutFeed = 100,
            .plungeFeed = 20};
}

// Mortise: X -0.5 back to -3.5, Y offset 0.25, feeds rapid 150, cut 100, plunge 50.
Inputs mortise(double removeDepth, double passDepth, double finalPass)
{
    return {.xStart = -0.5, .yOffset = 0.25, .cutLength = 3, .removeDepth = removeDepth,
            .passDepth = passDepth, .finalPass = finalPass, .rapidFeed = 150, .cutFeed = 100,
            .plungeFeed = 50};
}

Inputs withFeeds(Inputs inputs, double rapidFeed, double cutFeed, double plungeFeed)
{
    inputs.rapidFeed = rapidFeed;
    inputs.cutFeed = cutFeed;
    inputs.plungeFeed = plungeFeed;
    return inputs;
}

// Runs a generator call and returns the message of the ZentyrError it raised, or an empty
// text when it raised none.
QString errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ZentyrError& error) {
        return error.message();
    }
    return {};
}

// ---- Edge cases of the step-down rules and the finishing blocks ------------------------------

struct EdgeCase
{
    const char* name;
    Program program;
    Inputs inputs;
    const char* plungePrefix;               // start of every Z plunge line, roughing and finishing
    std::vector<const char*> plungeLevels;  // Z of those lines, in order
    qsizetype lineCount;
    std::vector<const char*> tail;          // last lines of the program
    std::vector<const char*> present = {};  // whole lines found somewhere
    std::vector<const char*> absent = {};   // texts found nowhere
};

void PrintTo(const EdgeCase& c, std::ostream* os)
{
    *os << c.name;
}

class EdgeTest : public CommaLocale, public ::testing::WithParamInterface<EdgeCase>
{
};

TEST_P(EdgeTest, WritesTheExpectedPasses)
{
    const EdgeCase& c = GetParam();
    generate(c.program, target(), c.inputs);
    const QByteArray bytes = readAll(target());
    const QStringList lines = programLines(bytes);

    EXPECT_EQ(lines.size(), c.lineCount);

    const QString prefix = QString::fromLatin1(c.plungePrefix);
    QStringList levels;
    for (const QString& line : lines) {
        if (line.startsWith(prefix))
            levels << line.mid(prefix.size());
    }
    EXPECT_EQ(levels, toList(c.plungeLevels));

    const QStringList tail = toList(c.tail);
    EXPECT_EQ(lines.mid(lines.size() - tail.size()), tail);
    for (const QString& line : toList(c.present))
        EXPECT_TRUE(lines.contains(line)) << line.toStdString();
    for (const char* text : c.absent)
        EXPECT_FALSE(bytes.contains(text)) << text;
}

const char* const kPlatenPlunge = "G01 F20.0000 Z";
const char* const kTestPlunge = "G01 F100.0000 Z";
const char* const kMortisePlunge = "G01 F50.0000 Z";
const std::vector<const char*> kPlatenEnd = {"M5", "M9", "G0 Z1.1000"};
const std::vector<const char*> kTestEnd = {"X3.0000", "M9", "G0 Z1.2000"};

INSTANTIATE_TEST_SUITE_P(
    StepDown, EdgeTest,
    ::testing::Values(
        // A pass depth beyond the material: one roughing pass at the floor.
        EdgeCase{"PlatenPassDeeperThanMaterial", Program::Platen, platen(0.05, 0.5, 0.01),
                 kPlatenPlunge, {"0.9600", "0.9500"}, 20, kPlatenEnd},
        EdgeCase{"TestPassDeeperThanMaterial", Program::TestHeight, testHeight(0.05, 0.5, 0.01),
                 kTestPlunge, {"0.9600", "0.9500"}, 19, kTestEnd, {}, {"M5"}},
        // The mortise floor is not below -passDepth: no roughing, only the finishing stroke.
        EdgeCase{"MortisePassDeeperThanMaterial", Program::Mortise, mortise(0.05, 0.1, 0.01),
                 kMortisePlunge, {"-0.0500"}, 14,
                 {"G01 F150.0000 X-3.5000", "G01 F150.0000 Y0.2500", "G01 F50.0000 Z-0.0500",
                  "G01 F100.0000 X-0.5000 Y0", "G01 F150.0000 Z2", "M9"}},

        // An exact multiple: platen and test cut the floor too, the mortise leaves it.
        EdgeCase{"PlatenExactMultiple", Program::Platen, platen(0.31, 0.1, 0.01), kPlatenPlunge,
                 {"0.9000", "0.8000", "0.7000", "0.6900"}, 28, kPlatenEnd,
                 {"G0 Z1.0000", "G0 Z0.9000", "G0 Z0.8000"}},
        EdgeCase{"TestExactMultiple", Program::TestHeight, testHeight(0.31, 0.1, 0.01),
                 kTestPlunge, {"0.9000", "0.8000", "0.7000", "0.6900"}, 27, kTestEnd},
        EdgeCase{"MortiseExactMultiple", Program::Mortise, mortise(0.31, 0.1, 0.01),
                 kMortisePlunge, {"-0.1000", "-0.2000", "-0.3100"}, 24,
                 {"G01 F50.0000 Z-0.3100", "G01 F100.0000 X-0.5000 Y0", "G01 F150.0000 Z2", "M9"},
                 {"G01 F150.0000 Z-0.0900", "G01 F150.0000 Z-0.1900"}},

        // No finishing allowance: platen and test stop after roughing to full depth.
        EdgeCase{"PlatenNoFinalPass", Program::Platen, platen(0.2, 0.1, 0), kPlatenPlunge,
                 {"0.9000", "0.8000"}, 18,
                 {"G0 X2.0000", "G01 F20.0000 Z0.8000", "F60.0000X0.0000", "G0 Z0.9000"}, {},
                 {"M5", "M9"}},
        EdgeCase{"TestNoFinalPass", Program::TestHeight, testHeight(0.2, 0.1, 0), kTestPlunge,
                 {"0.9000", "0.8000"}, 18,
                 {"G0 X0.0000", "G01 F100.0000 Z0.8000", "X3.0000", "G0 Z0.9000"}, {},
                 {"M5", "M9"}},
        // ... while the mortise still finishes, at the same X ends as its roughing strokes.
        EdgeCase{"MortiseNoFinalPass", Program::Mortise, mortise(0.2, 0.1, 0), kMortisePlunge,
                 {"-0.1000", "-0.2000"}, 19,
                 {"G01 F150.0000 X-3.5000", "G01 F150.0000 Y0.2500", "G01 F50.0000 Z-0.2000",
                  "G01 F100.0000 X-0.5000 Y0", "G01 F150.0000 Z2", "M9"},
                 {"G01 F150.0000 X-0.5000", "G01 F100.0000 X-3.5000 Y0.2500"}},

        // Less to remove than the allowance: the floor lies above the start height.
        EdgeCase{"PlatenRemoveLessThanFinalPass", Program::Platen, platen(0.01, 0.1, 0.02),
                 kPlatenPlunge, {"1.0100", "0.9900"}, 20, kPlatenEnd,
                 {";REM Z Zstart at: 1.0000 remove: 0.9900 inches", "G0 x1.9800", "G0 Z1.1100"}},
        EdgeCase{"TestRemoveLessThanFinalPass", Program::TestHeight,
                 testHeight(0.01, 0.1, 0.02), kTestPlunge, {"1.0100", "0.9900"}, 19, kTestEnd,
                 {";REM Z Zstart at: 1.0000 to a depth of: 0.9900", "G0 X0.0200", "X2.9800",
                  "G0 Z1.1100"}},
        EdgeCase{"MortiseRemoveLessThanFinalPass", Program::Mortise, mortise(0.01, 0.1, 0.02),
                 kMortisePlunge, {"-0.0100"}, 14, {"G01 F150.0000 Z2", "M9"},
                 {";REM Remove: 0.0100 inches", "G01 F150.0000 X-0.5200"}},

        // A pass depth of 0 is harmless when the first pass is already at the floor.
        EdgeCase{"PlatenZeroPassDepthNothingToRough", Program::Platen, platen(0.01, 0, 0.01),
                 kPlatenPlunge, {"1.0000", "0.9900"}, 20, kPlatenEnd},

        // Negative coordinates carry a leading minus.
        EdgeCase{"PlatenNegativeCoordinates", Program::Platen,
                 Inputs{.xStart = -5, .zStart = -0.25, .safeZ = -0.15, .cutLength = 2,
                        .removeDepth = 0.1, .passDepth = 0.04, .finalPass = 0.01,
                        .rapidFeed = 150, .cutFeed = 60, .plungeFeed = 20},
                 kPlatenPlunge, {"-0.2900", "-0.3300", "-0.3400", "-0.3500"}, 28,
                 {"F60.0000X-5.0000", "M5", "M9", "G0 Z-0.1500"},
                 {";REM Perform Platen cut: start at: -3.0000 for 2.0000 inches",
                  ";REM End at: -5.0000", ";REM Z Zstart at: -0.2500 remove: -0.3500 inches",
                  "G0 x-3.0100", "G0 X-3.0100", "F60.0000X-4.9900", "G0 Z-0.1900",
                  "G0 Z-0.2400", "G0 X-3.0000"}},
        EdgeCase{"TestNegativeCoordinates", Program::TestHeight,
                 Inputs{.xStart = -5, .zStart = -0.25, .safeZ = -0.05, .cutLength = 3,
                        .removeDepth = 0.1, .passDepth = 0.04, .finalPass = 0.01,
                        .rapidFeed = 150, .cutFeed = 100, .plungeFeed = 20},
                 kTestPlunge, {"-0.2900", "-0.3300", "-0.3400", "-0.3500"}, 27,
                 {"X-2.0000", "M9", "G0 Z-0.0500"},
                 {";REM Perform Test cut: start at: -5.0000 for 3.0000 inches",
                  ";REM Z Zstart at: -0.2500 to a depth of: -0.3500", "G0 x-5.0000",
                  "G0 X-4.9900", "X-2.0100", "G0 Z-0.2400", "G0 X-5.0000"}},
        EdgeCase{"MortiseNegativeCoordinates", Program::Mortise,
                 Inputs{.xStart = -1.25, .yOffset = -0.125, .cutLength = 2, .removeDepth = 0.05,
                        .passDepth = 0.03, .finalPass = 0.005, .rapidFeed = 150,
                        .cutFeed = 100, .plungeFeed = 50},
                 kMortisePlunge, {"-0.0300", "-0.0500"}, 19,
                 {"G01 F150.0000 X-3.2500", "G01 F150.0000 Y-0.1250", "G01 F50.0000 Z-0.0500",
                  "G01 F100.0000 X-1.2500 Y0", "G01 F150.0000 Z2", "M9"},
                 {";REM Reel Seat Mortising: start at: -1.2500 for 2.0000 inches",
                  "G01 F150.0000 X-1.2550", "G01 F100.0000 X-3.2450 Y-0.1250",
                  "G01 F150.0000 Z-0.0200"}},

        // Feeds are numbers like any other: four decimals, rounded.
        EdgeCase{"PlatenFeedsFourDecimals", Program::Platen,
                 withFeeds(platen(0.05, 0.5, 0.01), 33.33333, 12.34567, 7.5), "G01 F7.5000 Z",
                 {"0.9600", "0.9500"}, 20, kPlatenEnd, {"F12.3457X0.0100", "F12.3457X0.0000"},
                 {"33.3333"}},
        EdgeCase{"TestFeedsFourDecimals", Program::TestHeight,
                 withFeeds(testHeight(0.05, 0.5, 0.01), 33.33333, 12.34567, 7.5),
                 "G01 F12.3457 Z", {"0.9600", "0.9500"}, 19, kTestEnd, {},
                 {"33.3333", "7.5000"}},
        EdgeCase{"MortiseFeedsFourDecimals", Program::Mortise,
                 withFeeds(mortise(0.05, 0.1, 0.01), 33.33333, 12.34567, 7.5), "G01 F7.5000 Z",
                 {"-0.0500"}, 14, {"G01 F12.3457 X-0.5000 Y0", "G01 F33.3333 Z2", "M9"},
                 {"G01 F33.3333 Z0.1", "G01 F33.3333 X-0.5100", "G01 F33.3333 Y0"}}),
    CaseName());

// The window's "remove another thousandth" call: pass depth 0 with the allowance equal to the
// depth, so the floor is 0 and the program is the lead-in and one finishing stroke.
class RemoveAnotherThousandthTest : public CommaLocale
{
};

TEST_F(RemoveAnotherThousandthTest, ZeroPassDepthWithNothingToRoughWritesTheFinishingStroke)
{
    WriteReelSeatMortiseFile(target(), -0.4375, 0, 3.1875, 0.101, 0, 0.101, 40, 15, 60);
    EXPECT_EQ(readAll(target()), QByteArray(";REM Reel Seat Mortising: start at: -0.4375 for "
                                            "3.1875 inches\r\n"
                                            ";REM Remove: 0.1010 inches\r\n"
                                            "G01 F60.0000 Z0.1\r\n"
                                            "G01 F60.0000 X-0.5385\r\n"
                                            "M7\r\n"
                                            "G4 P2\r\n"
                                            "M8\r\n"
                                            "G01 F60.0000 Y0\r\n"
                                            "G01 F60.0000 X-3.6250\r\n"
                                            "G01 F60.0000 Y0.0000\r\n"
                                            "G01 F15.0000 Z-0.1010\r\n"
                                            "G01 F40.0000 X-0.4375 Y0\r\n"
                                            "G01 F60.0000 Z2\r\n"
                                            "M9\r\n"));
}

// ---- Refused inputs: nothing is written ------------------------------------------------------

struct RefusedCase
{
    const char* name;
    Program program;
    Inputs inputs;
    const char* messagePart;
};

void PrintTo(const RefusedCase& c, std::ostream* os)
{
    *os << c.name;
}

class RefusedTest : public CommaLocale, public ::testing::WithParamInterface<RefusedCase>
{
};

TEST_P(RefusedTest, RaisesAndKeepsTheOlderFile)
{
    const RefusedCase& c = GetParam();
    const QByteArray older("older program\r\n");
    writeAll(target(), older);

    const QString message = errorOf([&] { generate(c.program, target(), c.inputs); });
    EXPECT_TRUE(message.contains(QLatin1String(c.messagePart))) << message.toStdString();
    EXPECT_EQ(readAll(target()), older);

    const QString fresh = m_dir.filePath(QStringLiteral("Fresh.tap"));
    EXPECT_FALSE(errorOf([&] { generate(c.program, fresh, c.inputs); }).isEmpty());
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("Program.tap")});
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedTest,
    ::testing::Values(
        // A pass depth of 0 or less never reaches the floor: the program would never end.
        RefusedCase{"PlatenZeroPassDepth", Program::Platen, platen(0.1, 0, 0.01), "pass depth"},
        RefusedCase{"PlatenNegativePassDepth", Program::Platen, platen(0.1, -0.04, 0.01),
                    "pass depth"},
        RefusedCase{"TestZeroPassDepth", Program::TestHeight, testHeight(0.1, 0, 0.01),
                    "pass depth"},
        RefusedCase{"MortiseZeroPassDepth", Program::Mortise, mortise(0.1, 0, 0.01),
                    "pass depth"},
        RefusedCase{"MortiseNegativePassDepth", Program::Mortise, mortise(0.1, -0.03, 0.003),
                    "pass depth"},
        // A negative pass depth starts above a floor that lies above the surface.
        RefusedCase{"MortiseNegativePassDepthFloorAboveSurface", Program::Mortise,
                    mortise(0.01, -0.1, 0.02), "pass depth"},
        // A vanishing pass depth would write gigabytes.
        RefusedCase{"PlatenTinyPassDepth", Program::Platen, platen(0.1, 1e-9, 0.01),
                    "roughing passes"},
        RefusedCase{"MortiseTinyPassDepth", Program::Mortise, mortise(0.1, 1e-9, 0.01),
                    "roughing passes"},
        // Values that are not numbers would hang the step-down or write "nan" into blocks.
        RefusedCase{"PlatenNaNPassDepth", Program::Platen, platen(0.1, kNaN, 0.01),
                    "pass depth is not a valid number"},
        RefusedCase{"TestInfiniteDepth", Program::TestHeight, testHeight(kInfinity, 0.1, 0.01),
                    "depth to remove is not a valid number"},
        RefusedCase{"MortiseNaNFeed", Program::Mortise,
                    withFeeds(mortise(0.1, 0.03, 0.01), 150, kNaN, 50),
                    "cut feed is not a valid number"},
        RefusedCase{"PlatenOverflowingPosition", Program::Platen,
                    Inputs{.xStart = 1e308, .zStart = 1, .safeZ = 1.1, .cutLength = 1e308,
                           .removeDepth = 0.1, .passDepth = 0.04, .finalPass = 0.01,
                           .rapidFeed = 150, .cutFeed = 60, .plungeFeed = 20},
                    "out of range"}),
    CaseName());

// ---- I/O failures carry the operating system's text ------------------------------------------

struct UnwritableCase
{
    const char* name;
    Program program;
    const char* relativePath; // below the test folder, where "Program.tap" is a plain file
    int osError;
    long long fileSizeLimit = -1; // when set, no file may grow past it (a full disk)
};

void PrintTo(const UnwritableCase& c, std::ostream* os)
{
    *os << c.name;
}

class UnwritableTest : public CommaLocale, public ::testing::WithParamInterface<UnwritableCase>
{
};

TEST_P(UnwritableTest, RaisesTheSystemMessage)
{
    const UnwritableCase& c = GetParam();
    writeAll(target(), QByteArray("older program\r\n"));
    const QString path = m_dir.filePath(QString::fromLatin1(c.relativePath));

    const QString message = errorOf([&] {
        std::optional<FileSizeLimit> full;
        if (c.fileSizeLimit >= 0)
            full.emplace(rlim_t(c.fileSizeLimit));
        generate(c.program, path, platen(0.1, 0.04, 0.01));
    });
    EXPECT_TRUE(message.contains(QString::fromLocal8Bit(std::strerror(c.osError))))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(path))) << message.toStdString();
    EXPECT_EQ(readAll(target()), QByteArray("older program\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UnwritableTest,
    ::testing::Values(
        UnwritableCase{"PlatenMissingFolder", Program::Platen, "Missing/Platen Cut.tap", ENOENT},
        UnwritableCase{"TestMissingFolder", Program::TestHeight, "Missing/Test.tap", ENOENT},
        UnwritableCase{"MortiseMissingFolder", Program::Mortise, "Missing/Mortise.tap", ENOENT},
        UnwritableCase{"PlatenFolderIsAFile", Program::Platen, "Program.tap/Platen Cut.tap",
                       ENOTDIR},
        // The short program still sits in the write buffer when the file is committed.
        UnwritableCase{"PlatenDiskFull", Program::Platen, "Program.tap", EFBIG, 10}),
    CaseName());

} // namespace
