#include "sim/MotionExecutor.h"

#include "sim/GCodeParser.h"
#include "sim/MachineSettings.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace hostsim {

namespace {

constexpr double MsPerMinute = 60000.0;
// Activities that end within this much of the present count as ended: durations come from
// decimal arithmetic and must not leave a move "running" for a rounding error.
constexpr double EndTolerance = 1e-6;

QStringList SplitLines(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineBreak);
    // A text that ends with a line break has no extra empty line after it.
    if (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace

MotionExecutor::MotionExecutor(MachineSettings& settings, StatusLog& log, const ProbeTarget& probe)
    : m_settings(settings), m_log(log), m_probe(probe)
{
}

void MotionExecutor::SetMacroHooks(MacroRunner runner, MacroExists exists)
{
    m_macroRunner = std::move(runner);
    m_macroExists = std::move(exists);
}

void MotionExecutor::Advance(double nowMs)
{
    if (nowMs > m_nowMs)
        m_nowMs = nowMs;
    Pump();
}

// ---- Work ----

void MotionExecutor::EnqueueCode(const QString& text, int macroDepth)
{
    const QStringList lines = SplitLines(text);
    qsizetype dropped = 0;
    for (const QString& line : lines) {
        WorkItem item;
        item.kind = WorkItem::Kind::GCode;
        item.text = line;
        item.macroDepth = macroDepth;
        if (!Admit(item))
            ++dropped;
    }
    if (dropped > 0)
        m_log.Add(QStringLiteral("%1 of %2 lines dropped: the command queue is full")
                      .arg(dropped)
                      .arg(lines.size()));
    Pump();
}

void MotionExecutor::EnqueueItem(const WorkItem& item)
{
    if (!Admit(item))
        m_log.Add(QStringLiteral("Command dropped: the command queue is full"));
    Pump();
}

bool MotionExecutor::Admit(const WorkItem& item)
{
    if (m_queue.size() + m_collected.size() >= static_cast<size_t>(MaxQueuedItems)
        || m_queuedTextUnits + item.text.size() > MaxQueuedTextUnits)
        return false;
    m_queuedTextUnits += item.text.size();
    if (m_collecting > 0)
        m_collected.append(item);
    else
        m_queue.push_back(item);
    m_haltedByStop = false;
    return true;
}

bool MotionExecutor::StartJog(int axis, int direction)
{
    if (axis < 0 || axis >= AxisCount || (direction != 1 && direction != -1))
        return false;
    const double rate = m_settings.JogRate();
    if (!(rate > 0.0))
        return false;
    if (IsJogging()) {
        if (m_activity.jogDirection[axis] == direction)
            return true;  // a repeated press keeps the jog going unchanged
        m_activity.from = Position();
        m_activity.startMs = m_nowMs;
        m_activity.jogDirection[axis] = direction;
        return true;
    }
    if (IsBusy())
        return false;
    m_activity = Activity();
    m_activity.kind = Activity::Kind::Jog;
    m_activity.from = m_machine;
    m_activity.startMs = m_nowMs;
    m_activity.jogDirection[axis] = direction;
    m_activity.jogRate = rate;
    m_haltedByStop = false;
    return true;
}

void MotionExecutor::Stop()
{
    if (m_activity.kind == Activity::Kind::Move || m_activity.kind == Activity::Kind::Jog)
        m_machine = Position();
    m_activity = Activity();
    m_paused = false;
    m_queue.clear();
    m_queuedTextUnits = 0;
    m_steps.clear();
    m_collected.clear();
    m_programRunning = false;
    m_lineActive = false;
    m_stopAfterLine = false;
    m_cursorMs = m_nowMs;
    m_haltedByStop = false;
}

void MotionExecutor::OperatorStop()
{
    const bool running = IsBusy() && !m_paused;
    Stop();
    m_haltedByStop = running;
}

bool MotionExecutor::Pause()
{
    if (m_paused)
        return true;
    if (m_activity.kind != Activity::Kind::Move && m_activity.kind != Activity::Kind::Dwell)
        return false;
    m_pausedElapsedMs = std::clamp(m_nowMs - m_activity.startMs, 0.0, m_activity.durationMs);
    m_paused = true;
    return true;
}

bool MotionExecutor::Resume()
{
    if (!m_paused)
        return false;
    m_paused = false;
    m_haltedByStop = false;
    m_activity.startMs = m_nowMs - m_pausedElapsedMs;
    Pump();
    return true;
}

// ---- Program ----

void MotionExecutor::LoadProgram(const QStringList& lines)
{
    m_program = lines;
    m_programLine = 0;
    m_programRunning = false;
    m_lineActive = false;
}

void MotionExecutor::CloseProgram()
{
    LoadProgram({});
}

bool MotionExecutor::SetProgramLine(int line)
{
    if (m_programRunning || line < 0 || line >= std::max<qsizetype>(m_program.size(), 1))
        return false;
    m_programLine = line;
    return true;
}

bool MotionExecutor::StartProgram()
{
    if (m_program.isEmpty())
        return false;
    if (m_programRunning)
        return true;
    if (m_programLine >= m_program.size())
        m_programLine = 0;
    m_programRunning = true;
    m_stopAfterLine = false;
    m_haltedByStop = false;
    Pump();
    return true;
}

// ---- State ----

double MotionExecutor::ElapsedMs() const
{
    return m_paused ? m_pausedElapsedMs : m_nowMs - m_activity.startMs;
}

AxisVector MotionExecutor::PositionAt(double elapsedMs) const
{
    switch (m_activity.kind) {
    case Activity::Kind::Move:
        return Interpolate(m_activity.from, m_activity.to,
                           m_activity.durationMs > 0.0 ? elapsedMs / m_activity.durationMs : 1.0);
    case Activity::Kind::Jog: {
        AxisVector position = m_activity.from;
        const double travelled = m_activity.jogRate * std::max(elapsedMs, 0.0) / MsPerMinute;
        for (int axis = 0; axis < AxisCount; ++axis)
            position[axis] += m_activity.jogDirection[axis] * travelled;
        return position;
    }
    default:
        return m_machine;
    }
}

AxisVector MotionExecutor::Position() const
{
    return PositionAt(ElapsedMs());
}

AxisVector MotionExecutor::Velocity() const
{
    AxisVector velocity{};
    if (m_paused)
        return velocity;
    for (int axis = 0; axis < AxisCount; ++axis) {
        if (m_activity.kind == Activity::Kind::Move && m_activity.durationMs > 0.0)
            velocity[axis] = (m_activity.to[axis] - m_activity.from[axis]) * MsPerMinute
                             / m_activity.durationMs;
        else if (m_activity.kind == Activity::Kind::Jog)
            velocity[axis] = m_activity.jogDirection[axis] * m_activity.jogRate;
    }
    return velocity;
}

bool MotionExecutor::IsBusy() const
{
    return m_activity.kind != Activity::Kind::None || !m_steps.empty() || !m_queue.empty()
        || m_programRunning;
}

// ---- Running ----

void MotionExecutor::Pump()
{
    if (m_pumping || m_collecting > 0)
        return;
    m_pumping = true;
    m_instantMacroRuns = 0;
    for (;;) {
        if (m_activity.kind != Activity::Kind::None) {
            if (m_paused || m_activity.kind == Activity::Kind::Jog)
                break;
            const double end = m_activity.startMs + m_activity.durationMs;
            if (end > m_nowMs + EndTolerance)
                break;
            m_cursorMs = std::min(end, m_nowMs);
            CompleteActivity();
        } else if (!m_steps.empty()) {
            const BlockStep step = m_steps.front();
            m_steps.pop_front();
            StartStep(step);
        } else if (!m_queue.empty()) {
            const WorkItem item = m_queue.front();
            m_queue.pop_front();
            m_queuedTextUnits -= item.text.size();
            RunItem(item);
        } else if (m_lineActive) {
            FinishProgramLine();
        } else if (m_programRunning) {
            RunProgramLine();
        } else {
            break;
        }
    }
    if (m_activity.kind == Activity::Kind::None)
        m_cursorMs = m_nowMs;
    m_pumping = false;
}

void MotionExecutor::CompleteActivity()
{
    if (m_activity.kind == Activity::Kind::Move) {
        m_machine = m_activity.to;
        for (int axis = 0; axis < AxisCount; ++axis) {
            if (m_activity.referenceMask & (1 << axis))
                m_settings.referenced[axis] = true;
        }
        if (m_activity.probe) {
            // The contact point (or the end of a move that met nothing), in work coordinates.
            for (int axis = 0; axis < AxisCount; ++axis)
                m_settings.variables[2000 + axis] = m_machine[axis] - m_settings.offset[axis];
        }
    }
    m_activity = Activity();
}

void MotionExecutor::StartStep(const BlockStep& step)
{
    switch (step.kind) {
    case BlockStep::Kind::Move: {
        m_activity = Activity();
        m_activity.kind = Activity::Kind::Move;
        m_activity.from = m_machine;
        m_activity.to = step.target;
        if (step.probe) {
            if (const auto contact = FirstProbeContact(m_probe, m_machine, step.target))
                m_activity.to = Interpolate(m_machine, step.target, *contact);
        }
        m_activity.probe = step.probe;
        m_activity.referenceMask = step.referenceMask;
        m_activity.startMs = m_cursorMs;
        m_activity.durationMs = MoveDurationMs(m_activity.from, m_activity.to, step.rate);
        if (!std::isfinite(m_activity.durationMs)) {
            m_activity = Activity();
            m_log.Add(QStringLiteral("Move refused: its length or rate is not usable"));
        }
        break;
    }
    case BlockStep::Kind::Dwell:
        m_activity = Activity();
        m_activity.kind = Activity::Kind::Dwell;
        m_activity.startMs = m_cursorMs;
        m_activity.durationMs = step.dwellMs;
        break;
    case BlockStep::Kind::Macro:
        RunMacro(step.macro);
        break;
    case BlockStep::Kind::ProgramPause:
        if (m_lineActive)
            m_stopAfterLine = true;
        break;
    case BlockStep::Kind::ProgramEnd:
        m_steps.clear();
        EndProgram();
        break;
    }
}

void MotionExecutor::RunMacro(int number)
{
    if (m_stepsDepth >= MaxMacroDepth) {
        m_log.Add(QStringLiteral("Macro M%1 not run: macros nested too deeply").arg(number));
        return;
    }
    if (m_instantMs != m_cursorMs) {
        m_instantMs = m_cursorMs;
        m_instantMacroRuns = 0;
    }
    if (++m_instantMacroRuns > MaxMacroRunsPerInstant) {
        Stop();
        m_log.Add(QStringLiteral("Macro M%1 not run: macros keep calling macros; stopped")
                      .arg(number));
        return;
    }
    if (!m_macroRunner)
        return;
    // The macro's work goes in front of the queue, in its own order, once the macro has run;
    // the pump that called this picks it up.
    ++m_collecting;
    m_macroRunner(number, m_stepsDepth);
    --m_collecting;
    m_queue.insert(m_queue.begin(), m_collected.cbegin(), m_collected.cend());
    m_collected.clear();
}

void MotionExecutor::RunItem(const WorkItem& item)
{
    m_stepsDepth = item.macroDepth;
    switch (item.kind) {
    case WorkItem::Kind::GCode: {
        QString problem;
        if (!RunBlock(item.text, item.macroDepth, problem))
            m_log.Add(QStringLiteral("Bad G-code \"%1\": %2").arg(item.text.trimmed(), problem));
        break;
    }
    case WorkItem::Kind::StepJog: {
        BlockStep step;
        step.target = m_machine;
        step.target[item.axis] += item.distance;
        step.rate = m_settings.JogRate();
        m_steps.push_back(step);
        break;
    }
    case WorkItem::Kind::Reference: {
        // Z first, so the tool clears the work before X and Y travel home.
        AxisVector target = m_machine;
        for (const int axis : {2, 0, 1, 3, 4, 5}) {
            if (!(item.axisMask & (1 << axis)))
                continue;
            target[axis] = 0.0;
            BlockStep step;
            step.target = target;
            step.rate = m_settings.rapid;
            step.referenceMask = 1 << axis;
            m_steps.push_back(step);
        }
        break;
    }
    case WorkItem::Kind::SafeZ: {
        BlockStep step;
        step.target = m_machine;
        step.target[2] = m_settings.safeZ;
        step.rate = m_settings.rapid;
        m_steps.push_back(step);
        break;
    }
    }
}

bool MotionExecutor::RunBlock(const QString& text, int macroDepth, QString& problem)
{
    BlockContext context;
    context.machine = m_machine;
    context.offset = m_settings.offset;
    context.motionMode = m_settings.motionMode;
    context.absolute = m_settings.absolute;
    context.feed = m_settings.feed;
    context.rapid = m_settings.rapid;
    context.variables = &m_settings.variables;
    context.macroExists = m_macroExists;
    const BlockPlan plan = InterpretBlock(ParseGCodeLine(text), context);
    if (!plan.error.isEmpty()) {
        problem = plan.error;
        return false;
    }
    ApplyPlan(plan);
    m_stepsDepth = macroDepth;
    m_steps.insert(m_steps.end(), plan.steps.cbegin(), plan.steps.cend());
    return true;
}

void MotionExecutor::ApplyPlan(const BlockPlan& plan)
{
    if (plan.feed)
        m_settings.feed = *plan.feed;
    if (plan.spindleSpeed)
        m_settings.spindleSpeed = *plan.spindleSpeed;
    if (plan.spindle) {
        m_settings.spindle = *plan.spindle;
        if (*plan.spindle != SpindleState::Off)
            m_settings.spindleLastClockwise = *plan.spindle == SpindleState::Clockwise;
    }
    if (plan.mistOn)
        m_settings.mist = true;
    if (plan.floodOn)
        m_settings.flood = true;
    if (plan.coolantOff)
        m_settings.mist = m_settings.flood = false;
    if (plan.motionMode)
        m_settings.motionMode = *plan.motionMode;
    if (plan.absolute)
        m_settings.absolute = *plan.absolute;
    if (plan.metric)
        m_settings.metric = *plan.metric;
    if (plan.tool)
        m_settings.tool = *plan.tool;
    for (const auto& [index, value] : plan.settings)
        m_settings.variables[index] = value;
}

void MotionExecutor::RunProgramLine()
{
    if (m_programLine >= m_program.size()) {
        EndProgram();
        return;
    }
    m_lineActive = true;
    QString problem;
    if (!RunBlock(m_program.at(m_programLine), 0, problem)) {
        m_log.Add(QStringLiteral("Program stopped at line %1: %2: \"%3\"")
                      .arg(m_programLine + 1)
                      .arg(problem, m_program.at(m_programLine).trimmed()));
        m_lineActive = false;
        m_programRunning = false;
    }
}

void MotionExecutor::FinishProgramLine()
{
    m_lineActive = false;
    ++m_programLine;
    if (m_programLine >= m_program.size()) {
        EndProgram();
        return;
    }
    if (m_stopAfterLine || m_settings.singleStep) {
        m_programRunning = false;
        m_stopAfterLine = false;
    }
}

void MotionExecutor::EndProgram()
{
    m_programRunning = false;
    m_lineActive = false;
    m_stopAfterLine = false;
    m_programLine = 0;
}

}  // namespace hostsim
