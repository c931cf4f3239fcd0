#include "sim/GCodeInterpreter.h"

#include "sim/GCodeParser.h"

#include <cmath>

namespace hostsim {

namespace {

constexpr double MsPerSecond = 1000.0;
constexpr double MaxToolNumber = 1e6;

int AxisOfLetter(QChar letter)
{
    switch (letter.unicode()) {
    case u'X': return 0;
    case u'Y': return 1;
    case u'Z': return 2;
    case u'A': return 3;
    case u'B': return 4;
    case u'C': return 5;
    default: return -1;
    }
}

// The code number of a G or M word, or -1 when it is not a whole number in range.
int WholeCode(double value)
{
    if (!(value >= 0.0 && value <= 1e6) || value != std::floor(value))
        return -1;
    return static_cast<int>(value);
}

bool IsHarmlessModalG(int code)
{
    switch (code) {
    case 17: case 18: case 19: case 40: case 49: case 54: case 55: case 56: case 57: case 58:
    case 59: case 61: case 64: case 80: case 94:
        return true;
    default:
        return false;
    }
}

// Collects the block's effects while the words are read; the first problem wins.
class BlockReader
{
public:
    explicit BlockReader(const BlockContext& context) : m_context(context) {}

    double Resolve(const GCodeValue& value) const
    {
        if (value.variable < 0)
            return value.number;
        return m_context.variables ? m_context.variables->value(value.variable, 0.0) : 0.0;
    }

    void Fail(const QString& problem)
    {
        if (m_plan.error.isEmpty())
            m_plan.error = problem;
    }
    bool Failed() const { return !m_plan.error.isEmpty(); }

    void ReadG(double value)
    {
        const int code = WholeCode(value);
        if (code < 0) {
            Fail(QStringLiteral("unsupported code G%1").arg(value));
            return;
        }
        switch (code) {
        case 0: SetMotion(MotionMode::Rapid); break;
        case 1: SetMotion(MotionMode::Feed); break;
        case 31: SetMotion(MotionMode::Probe); break;
        case 4: m_dwell = true; break;
        case 20: case 21:
            if (m_plan.metric)
                Fail(QStringLiteral("G20 and G21 in one line"));
            m_plan.metric = code == 21;
            break;
        case 90: case 91:
            if (m_plan.absolute)
                Fail(QStringLiteral("G90 and G91 in one line"));
            m_plan.absolute = code == 90;
            break;
        default:
            if (!IsHarmlessModalG(code))
                Fail(QStringLiteral("unsupported code G%1").arg(code));
        }
    }

    void ReadM(double value)
    {
        const int code = WholeCode(value);
        if (code < 0) {
            Fail(QStringLiteral("unsupported code M%1").arg(value));
            return;
        }
        switch (code) {
        case 0: SetStop(BlockStep::Kind::ProgramPause); break;
        case 1: break;
        case 2: case 30: SetStop(BlockStep::Kind::ProgramEnd); break;
        case 3: SetSpindle(SpindleState::Clockwise); break;
        case 4: SetSpindle(SpindleState::CounterClockwise); break;
        case 5: SetSpindle(SpindleState::Off); break;
        case 6: break;
        case 7: m_plan.mistOn = true; break;
        case 8: m_plan.floodOn = true; break;
        case 9: m_plan.coolantOff = true; break;
        default:
            if (m_macro)
                Fail(QStringLiteral("two macro codes in one line"));
            else if (m_context.macroExists && m_context.macroExists(code))
                m_macro = code;
            else
                Fail(QStringLiteral("unsupported code M%1 (no macro file M%1.m1s)").arg(code));
        }
    }

    void ReadOther(QChar letter, double value)
    {
        const int index = letter.unicode() - u'A';
        if (m_seen[index]) {
            Fail(QStringLiteral("word %1 given twice").arg(letter));
            return;
        }
        m_seen[index] = true;
        if (const int axis = AxisOfLetter(letter); axis >= 0) {
            m_axisWords[axis] = value;
            return;
        }
        switch (letter.unicode()) {
        case u'F':
            if (value < 0)
                Fail(QStringLiteral("negative feed rate"));
            m_plan.feed = value;
            break;
        case u'S':
            if (value < 0)
                Fail(QStringLiteral("negative spindle speed"));
            m_plan.spindleSpeed = value;
            break;
        case u'T':
            // A value from a variable may lie far beyond int's range.
            if (value < 0 || value != std::floor(value) || value > MaxToolNumber)
                Fail(QStringLiteral("invalid tool number"));
            else
                m_plan.tool = static_cast<int>(value);
            break;
        case u'P': m_p = value; break;
        default: break;  // N, O and the words of codes not modelled here
        }
    }

    BlockPlan Finish()
    {
        if (m_plan.coolantOff && (m_plan.mistOn || m_plan.floodOn))
            Fail(QStringLiteral("M9 with M7 or M8 in one line"));
        if (m_dwell) {
            if (!m_p)
                Fail(QStringLiteral("G4 needs a P word (seconds)"));
            else if (*m_p < 0)
                Fail(QStringLiteral("negative dwell time"));
            else
                m_plan.steps.append({.kind = BlockStep::Kind::Dwell, .dwellMs = *m_p * MsPerSecond});
        }
        AppendMove();
        if (m_macro)
            m_plan.steps.append({.kind = BlockStep::Kind::Macro, .macro = *m_macro});
        if (m_stop)
            m_plan.steps.append({.kind = *m_stop});

        if (Failed()) {
            const QString error = m_plan.error;
            m_plan = BlockPlan();
            m_plan.error = error;
        }
        return m_plan;
    }

private:
    void SetMotion(MotionMode mode)
    {
        if (m_plan.motionMode)
            Fail(QStringLiteral("two motion codes in one line"));
        m_plan.motionMode = mode;
    }
    void SetSpindle(SpindleState state)
    {
        if (m_plan.spindle)
            Fail(QStringLiteral("two spindle codes in one line"));
        m_plan.spindle = state;
    }
    void SetStop(BlockStep::Kind kind)
    {
        if (m_stop)
            Fail(QStringLiteral("two program stop codes in one line"));
        m_stop = kind;
    }

    void AppendMove()
    {
        bool anyAxis = false;
        for (const auto& word : m_axisWords)
            anyAxis = anyAxis || word.has_value();
        if (!anyAxis)
            return;

        const bool absolute = m_plan.absolute.value_or(m_context.absolute);
        BlockStep step;
        step.kind = BlockStep::Kind::Move;
        step.target = m_context.machine;
        for (int axis = 0; axis < AxisCount; ++axis) {
            if (!m_axisWords[axis])
                continue;
            step.target[axis] = absolute ? *m_axisWords[axis] + m_context.offset[axis]
                                         : m_context.machine[axis] + *m_axisWords[axis];
        }
        const MotionMode mode = m_plan.motionMode.value_or(m_context.motionMode);
        step.probe = mode == MotionMode::Probe;
        step.rate = mode == MotionMode::Rapid ? m_context.rapid
                                              : m_plan.feed.value_or(m_context.feed);
        if (!(step.rate > 0.0)) {
            Fail(mode == MotionMode::Rapid ? QStringLiteral("rapid rate is zero")
                                           : QStringLiteral("feed rate is zero"));
            return;
        }
        m_plan.steps.append(step);
    }

    const BlockContext& m_context;
    BlockPlan m_plan;
    bool m_seen[26] = {};
    std::optional<double> m_axisWords[AxisCount];
    std::optional<double> m_p;
    bool m_dwell = false;
    std::optional<int> m_macro;
    std::optional<BlockStep::Kind> m_stop;
};

}  // namespace

BlockPlan InterpretBlock(const ParsedBlock& block, const BlockContext& context)
{
    BlockReader reader(context);
    if (!block.error.isEmpty()) {
        reader.Fail(block.error);
        return reader.Finish();
    }
    for (const GCodeWord& word : block.words) {
        const double value = reader.Resolve(word.value);
        if (word.letter == u'G')
            reader.ReadG(value);
        else if (word.letter == u'M')
            reader.ReadM(value);
        else
            reader.ReadOther(word.letter, value);
    }
    BlockPlan plan = reader.Finish();
    if (plan.error.isEmpty()) {
        for (const VariableSetting& setting : block.settings)
            plan.settings.append({setting.index, reader.Resolve(setting.value)});
    }
    return plan;
}

}  // namespace hostsim
