#pragma once

#include "sim/Motion.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace hostsim {

struct ParsedBlock;

enum class MotionMode { Rapid, Feed, Probe };  // G0, G1, G31
enum class SpindleState { Off, Clockwise, CounterClockwise };

// What a block needs to know about the machine at the moment it starts to run.
struct BlockContext
{
    AxisVector machine{};  // machine position
    AxisVector offset{};   // work offset: work coordinate = machine - offset
    MotionMode motionMode = MotionMode::Rapid;
    bool absolute = true;
    double feed = 0.0;   // units per minute
    double rapid = 0.0;  // units per minute
    const QHash<int, double>* variables = nullptr;
    // Whether M<number> runs a macro file; codes the machine knows itself never ask.
    std::function<bool(int number)> macroExists;
};

// One timed piece of a block, run in order after the block's immediate effects.
struct BlockStep
{
    enum class Kind { Move, Dwell, Macro, ProgramPause, ProgramEnd };
    Kind kind = Kind::Move;
    AxisVector target{};    // Move: machine coordinates
    double rate = 0.0;      // Move: units per minute, > 0
    bool probe = false;     // Move: stop at the first contact with the probe target
    int referenceMask = 0;  // Move: axes (bit per axis) that count as referenced at the end
    double dwellMs = 0.0;   // Dwell
    int macro = 0;          // Macro: M-code number
};

// Everything one block does. A block with an error does nothing at all.
struct BlockPlan
{
    QString error;
    std::optional<double> feed;
    std::optional<double> spindleSpeed;
    std::optional<SpindleState> spindle;
    bool mistOn = false;
    bool floodOn = false;
    bool coolantOff = false;
    std::optional<MotionMode> motionMode;
    std::optional<bool> absolute;
    std::optional<bool> metric;
    std::optional<int> tool;
    QList<std::pair<int, double>> settings;  // variable index, value
    QList<BlockStep> steps;
};

// Interprets one parsed block: G0, G1, G4 (P in seconds), G20/G21, G31, G90/G91 and the
// harmless modal codes of a program preamble (G17-G19, G40, G49, G54-G59, G61, G64, G80,
// G94); M0, M1 (optional stop, which is off), M2/M30, M3/M4/M5, M6, M7/M8/M9 and macro
// M-codes; F, S, T, N, O and the axis words X Y Z A B C. Unsupported codes, conflicting codes,
// repeated words, negative feeds, speeds and dwells, and motion at a rate of zero are errors.
BlockPlan InterpretBlock(const ParsedBlock& block, const BlockContext& context);

}  // namespace hostsim
