#include "preview/GCodeToolpath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double Unknown = std::numeric_limits<double>::quiet_NaN();

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// Modal settings that common program headers carry and that do not change the drawn path:
// plane, units, cutter and length compensation off, work offsets, path and feed modes.
bool IsSettingWithoutMotion(double code)
{
    for (const double setting : {17.0, 18.0, 19.0, 20.0, 21.0, 40.0, 49.0, 54.0, 55.0, 56.0,
                                  57.0, 58.0, 59.0, 61.0, 64.0, 80.0, 94.0}) {
        if (code == setting)
            return true;
    }
    return false;
}

// One line's words as the reader needs them.
struct LineWords
{
    bool understood = true;
    bool dwell = false;
    int motion = -1;    // 0 rapid, 1 feed, -1 unchanged
    int distance = -1;  // 90 absolute, 91 incremental, -1 unchanged
    std::array<bool, 3> hasAxis{};
    std::array<double, 3> axis{};
};

// Reads the number of a word starting at `p`; advances `p` past it. False when no number
// stands there.
bool ReadNumber(const char*& p, const char* end, double& value)
{
    while (p < end && IsBlank(*p))
        ++p;
    const char* start = p;
    if (p < end && *p == '+')
        start = ++p;
    const auto [next, error] = std::from_chars(start, end, value, std::chars_format::fixed);
    if (error != std::errc() || next == start)
        return false;
    p = next;
    return true;
}

LineWords ReadLine(const char* p, const char* end)
{
    LineWords words;
    while (p < end) {
        const char c = *p;
        if (IsBlank(c)) {
            ++p;
            continue;
        }
        if (c == ';')
            break;
        if (c == '(') {
            while (p < end && *p != ')')
                ++p;
            if (p < end)
                ++p;
            continue;
        }
        if (c == '%') {
            ++p;  // the tape markers some programs start and end with
            continue;
        }
        const char letter = static_cast<char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
        ++p;
        double value = 0.0;
        if (letter < 'A' || letter > 'Z' || !ReadNumber(p, end, value)) {
            words.understood = false;
            return words;
        }
        switch (letter) {
        case 'G':
            if (value == 0.0 || value == 1.0)
                words.motion = static_cast<int>(value);
            else if (value == 4.0)
                words.dwell = true;
            else if (value == 90.0 || value == 91.0)
                words.distance = static_cast<int>(value);
            else if (!IsSettingWithoutMotion(value))
                words.understood = false;
            break;
        case 'X':
        case 'Y':
        case 'Z': {
            const int axis = letter - 'X';
            words.hasAxis[axis] = true;
            words.axis[axis] = value;
            break;
        }
        case 'N':
        case 'M':
        case 'F':
        case 'S':
        case 'T':
        case 'P':
            break;
        default:
            words.understood = false;
            break;
        }
        if (!words.understood)
            return words;
    }
    return words;
}

}  // namespace

bool TToolpath::HasExtents(int axis) const
{
    return !std::isnan(min[axis]);
}

TToolpath ReadToolpath(const QByteArray& program)
{
    TToolpath path;
    std::array<double, 3> position{Unknown, Unknown, Unknown};
    std::array<bool, 3> everSet{};
    bool rapid = true;
    bool incremental = false;

    const char* p = program.constData();
    const char* const end = p + program.size();
    int lineNumber = 0;
    while (p < end) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n')
            ++lineEnd;
        ++lineNumber;
        const LineWords words = ReadLine(p, lineEnd);
        p = lineEnd < end ? lineEnd + 1 : end;

        if (!words.understood) {
            if (path.skippedLines++ == 0)
                path.firstSkippedLine = lineNumber;
            continue;
        }
        if (words.motion >= 0)
            rapid = words.motion == 0;
        if (words.distance >= 0)
            incremental = words.distance == 91;
        if (words.dwell || !(words.hasAxis[0] || words.hasAxis[1] || words.hasAxis[2]))
            continue;
        TToolpathMove move;
        move.from = position;
        for (int axis = 0; axis < 3; ++axis) {
            if (!words.hasAxis[axis])
                continue;
            position[axis] = incremental ? position[axis] + words.axis[axis] : words.axis[axis];
            everSet[axis] = everSet[axis] || !std::isnan(position[axis]);
        }
        move.to = position;
        move.rapid = rapid;
        move.line = lineNumber;
        path.moves.push_back(move);
    }
    // A program without a final line break still has its last line counted above.
    path.lineCount = lineNumber;

    for (int axis = 0; axis < 3; ++axis) {
        path.min[axis] = Unknown;
        path.max[axis] = Unknown;
    }
    for (TToolpathMove& move : path.moves) {
        for (int axis = 0; axis < 3; ++axis) {
            if (!everSet[axis]) {
                move.from[axis] = 0.0;
                move.to[axis] = 0.0;
            }
            for (const double value : {move.from[axis], move.to[axis]}) {
                if (std::isnan(value))
                    continue;
                if (std::isnan(path.min[axis]) || value < path.min[axis])
                    path.min[axis] = value;
                if (std::isnan(path.max[axis]) || value > path.max[axis])
                    path.max[axis] = value;
            }
        }
    }
    return path;
}

TToolpathFile ReadToolpathFile(const QString& fileName)
{
    TToolpathFile result;
    const QString shown = QDir::toNativeSeparators(fileName);
    QFile file(fileName);
    if (QFileInfo(fileName).size() > MaxToolpathFileBytes) {
        result.error = QStringLiteral("%1 is too large to preview").arg(shown);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Cannot read %1: %2").arg(shown, file.errorString());
        return result;
    }
    const QByteArray bytes = file.read(MaxToolpathFileBytes + 1);
    if (bytes.size() > MaxToolpathFileBytes) {
        result.error = QStringLiteral("%1 is too large to preview").arg(shown);
        return result;
    }
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Cannot read %1: %2").arg(shown, file.errorString());
        return result;
    }
    result.path = ReadToolpath(bytes);
    return result;
}
