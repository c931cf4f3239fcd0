#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringView>

namespace hostsim {

// A word's value: a number, or the value of a numbered variable ("X#100") looked up when the
// block runs.
struct GCodeValue
{
    double number = 0.0;
    int variable = -1;  // >= 0: the value is that variable's
};

struct GCodeWord
{
    QChar letter;  // upper case
    GCodeValue value;
};

// "#100=2.5": the variable is set after the block's words have been read.
struct VariableSetting
{
    int index = 0;
    GCodeValue value;
};

// One line of G-code split into words. When `error` is not empty the line is malformed and
// must not run at all.
struct ParsedBlock
{
    QList<GCodeWord> words;
    QList<VariableSetting> settings;
    QString error;
};

// Highest variable number a line may name; the host interface addresses variables with
// 16-bit indexes.
inline constexpr int MaxVariableIndex = 32767;

// Largest magnitude a number may have; longer numbers are reported instead of reaching the
// motion arithmetic as infinities.
inline constexpr double MaxWordMagnitude = 1e9;

// Splits one line: letters are case-insensitive, blanks may stand between a letter and its
// number, numbers may omit the leading zero or the decimals ("X-.25", "Y1."), parenthesised
// comments and everything after ';' are dropped, a leading '/' (block delete) and a line of
// only '%' are ignored. Unknown letters, malformed numbers, unclosed comments and stray
// characters are reported in `error`.
ParsedBlock ParseGCodeLine(QStringView line);

}  // namespace hostsim
