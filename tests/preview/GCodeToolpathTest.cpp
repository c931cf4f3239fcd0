#include "preview/GCodeToolpath.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Expected
{
    double from[3];
    double to[3];
    bool rapid;
    int line;
};

const double N = std::nan("");

bool Same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) < 1e-12;
}

}  // namespace

// The moves each program gives: modal motion, lower-case and packed words, comments, unknown
// axes until set, incremental positions, the usual header settings.
TEST(GCodeToolpath, ReadsTheMovesOfTheWordsProgramsUse)
{
    const struct
    {
        const char* name;
        const char* program;
        std::vector<Expected> moves;
    } cases[] = {
        {"platen start: Y never set is 0, X unknown until set",
         ";REM Perform Platen cut X5\r\nG0 Z0.6000\r\nG0 x10.9900\r\nM7\r\nG4 P2\r\nM3\r\n"
         "G01 F20.0000 Z0.4600\r\nF60.0000X1.0100\r\n",
         {{{N, 0, N}, {N, 0, 0.6}, true, 2},
          {{N, 0, 0.6}, {10.99, 0, 0.6}, true, 3},
          {{10.99, 0, 0.6}, {10.99, 0, 0.46}, false, 7},
          {{10.99, 0, 0.46}, {1.01, 0, 0.46}, false, 8}}},
        {"mortise words", "G01 F150.0000 Z0.1\nG01 F150.0000 X-0.4405\nG01 F150.0000 Y0\n"
                          "G01 F100.0000 X-3.6220 Y0.0000\n",
         {{{N, N, N}, {N, N, 0.1}, false, 1},
          {{N, N, 0.1}, {-0.4405, N, 0.1}, false, 2},
          {{-0.4405, N, 0.1}, {-0.4405, 0, 0.1}, false, 3},
          {{-0.4405, 0, 0.1}, {-3.622, 0, 0.1}, false, 4}}},
        {"rapid until told, comments and a dwell with axis-like words",
         "X1 Y1 Z1\n(G1 X9) X2 ; X7\ng1 x3\nG4 P0.5\n%\n",
         {{{N, N, N}, {1, 1, 1}, true, 1},
          {{1, 1, 1}, {2, 1, 1}, true, 2},
          {{2, 1, 1}, {3, 1, 1}, false, 3}}},
        {"header settings, incremental, signed and bare-point numbers",
         "G17 G20 G40 G49 G54 G80 G90 G94 G0 X1 Y2 Z3\nG91 G1 X-.5 Z+1\nG90 X5.\n",
         {{{N, N, N}, {1, 2, 3}, true, 1},
          {{1, 2, 3}, {0.5, 2, 4}, false, 2},
          {{0.5, 2, 4}, {5, 2, 4}, false, 3}}},
    };
    for (const auto& c : cases) {
        const TToolpath path = ReadToolpath(QByteArray(c.program));
        ASSERT_EQ(path.moves.size(), c.moves.size()) << c.name;
        EXPECT_EQ(path.skippedLines, 0) << c.name;
        for (size_t i = 0; i < c.moves.size(); ++i) {
            const TToolpathMove& got = path.moves[i];
            const Expected& want = c.moves[i];
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_TRUE(Same(got.from[axis], want.from[axis])) << c.name << " move " << i;
                EXPECT_TRUE(Same(got.to[axis], want.to[axis])) << c.name << " move " << i;
            }
            EXPECT_EQ(got.rapid, want.rapid) << c.name << " move " << i;
            EXPECT_EQ(got.line, want.line) << c.name << " move " << i;
        }
    }
}

// Lines the reader does not understand are skipped whole and counted; the path goes on from
// where it was. Extents cover the known points only.
TEST(GCodeToolpath, SkipsWhatItDoesNotUnderstandAndMeasuresTheRest)
{
    const TToolpath path = ReadToolpath(QByteArrayLiteral(
        "G0 X0 Y0 Z1\nG2 X1 Y1 I0.5\nG1 X\nQ5\nG1 X-2 Z-0.25\nG1 A3\nG1 Y4"));
    EXPECT_EQ(path.lineCount, 7);
    EXPECT_EQ(path.skippedLines, 4);
    EXPECT_EQ(path.firstSkippedLine, 2);
    ASSERT_EQ(path.moves.size(), 3u);
    EXPECT_EQ(path.moves[1].from[0], 0.0) << "the skipped arc did not move";
    EXPECT_EQ(path.min, (std::array<double, 3>{-2, 0, -0.25}));
    EXPECT_EQ(path.max, (std::array<double, 3>{0, 4, 1}));

    const TToolpath empty = ReadToolpath(QByteArrayLiteral("M3\n;REM nothing moves\n"));
    EXPECT_TRUE(empty.moves.empty());
    EXPECT_FALSE(empty.HasExtents(0));
    EXPECT_EQ(empty.lineCount, 2);
}

TEST(GCodeToolpath, FileErrorsNameTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("Missing.tap"));
    const TToolpathFile file = ReadToolpathFile(missing);
    EXPECT_TRUE(file.error.startsWith(QStringLiteral("Cannot read ")));
    EXPECT_TRUE(file.error.contains(QStringLiteral("Missing.tap")));
    EXPECT_TRUE(file.path.moves.empty());
}
