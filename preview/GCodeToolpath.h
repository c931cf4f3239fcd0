#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

// The path of a G-code program as a preview draws it: the straight moves of the words the
// program generators emit (G0, G1, G4, M, F, X, Y, Z, comments), read without a controller.
// Qt Core only; a reader may run on any thread.
//
// Reading rules:
// - Words are a letter and a number, in either letter case, with or without blanks between
//   them ("F60.0000X1.0100"); ";" starts a comment to the end of the line, "(" one to the
//   next ")". N, M, F, S, T and P words are read and have no effect on the path.
// - G0/G00 (rapid) and G1/G01 (feed) set the motion mode of the following moves (rapid until
//   the first of them); G90/G91 set absolute/incremental positions; a line with G4 (dwell)
//   does not move. A line with X, Y or Z words moves in a straight line to the new position.
//   The usual header settings (G17-G21, G40, G49, G54-G59, G61, G64, G80, G94) are read and
//   change nothing; positions are drawn in the program's own units.
// - A line the reader does not understand (another G code, another letter, a letter without
//   a number) is skipped whole and counted; the path goes on from the position before it.
// - Until the program sets an axis its position is unknown (NaN in the moves); an axis the
//   program never sets stays where it is, drawn at 0.
struct TToolpathMove
{
    std::array<double, 3> from;  // X, Y, Z
    std::array<double, 3> to;
    bool rapid = false;
    int line = 0;  // 1-based line of the program
};

struct TToolpath
{
    std::vector<TToolpathMove> moves;
    // Extents over every known end point of every move, per axis; NaN when the axis has none.
    std::array<double, 3> min;
    std::array<double, 3> max;
    int lineCount = 0;
    int skippedLines = 0;
    int firstSkippedLine = 0;  // 0: none skipped

    bool HasExtents(int axis) const;
};

// The path of a program's text (ASCII; other bytes only occur in comments).
TToolpath ReadToolpath(const QByteArray& program);

// Programs above this size are not read: a preview of them would take longer than it helps.
inline constexpr qint64 MaxToolpathFileBytes = 64 * 1024 * 1024;

struct TToolpathFile
{
    TToolpath path;
    QString error;  // empty when the file was read
};

// Reads and parses a program file; a missing, unreadable or oversized file gives an error
// text naming the file and the reason, and an empty path.
TToolpathFile ReadToolpathFile(const QString& fileName);
