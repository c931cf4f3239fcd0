#include "sim/OemFunctions.h"

#include "sim/HostFiles.h"
#include "sim/MachineState.h"
#include "sim/MacroScript.h"
#include "sim/OemCodes.h"

#include <cmath>
#include <limits>

namespace hostsim {

using namespace oem;

namespace {

constexpr int WorkDro0 = DroCode(odtX);
constexpr int MachineDro0 = DroCode(odtX_Machine_Coord);
constexpr int VelocityDro0 = DroCode(odtX_Vel);
constexpr int OffsetDro0 = DroCode(odtX_Fixture_Off);
constexpr int ZeroButton0 = ButtonCode(obtZero_X);
constexpr int RefButton0 = ButtonCode(obtRef_X);
constexpr int StepButton0 = ButtonCode(obtSelect_Step_value_1);
constexpr int JogButton0 = ButtonCode(obtPush_to_jog_X_Plus);
constexpr int RefLed0 = LedCode(oltX_ref);
constexpr int AllAxesMask = (1 << AxisCount) - 1;

// The index of `code` in a run of `count` consecutive codes from `first`, or -1.
constexpr int IndexIn(int code, int first, int count = AxisCount)
{
    return code >= first && code < first + count ? code - first : -1;
}

void Report(MachineState& s, const QString& text)
{
    s.log.Add(text);
}

// Commands that move the machine or switch its outputs are refused in reset, as the
// controller refuses them.
bool RefusedInReset(MachineState& s, const QString& what)
{
    if (!s.settings.reset)
        return false;
    Report(s, QStringLiteral("%1 ignored, the machine is in reset").arg(what));
    return true;
}

bool RefusedWhileRunning(MachineState& s, const QString& what)
{
    if (!s.executor.ProgramRunning())
        return false;
    Report(s, QStringLiteral("%1 ignored, a program is running").arg(what));
    return true;
}

// A continuous jog runs until Stop, which also clears the queue: work queued behind it would
// only wait and then vanish, so it is refused at once instead.
bool RefusedWhileJogging(MachineState& s, const QString& what)
{
    if (!s.executor.IsJogging())
        return false;
    Report(s, QStringLiteral("%1 ignored, the machine is jogging").arg(what));
    return true;
}

void EnterReset(MachineState& s)
{
    s.executor.Stop();
    s.settings.reset = true;
    s.settings.spindle = SpindleState::Off;
    s.settings.flood = false;
    s.settings.mist = false;
}

void ZeroAxis(MachineState& s, int axis)
{
    s.settings.offset[axis] = s.executor.Position()[axis];
}

void Reference(MachineState& s, int axisMask, int macroDepth)
{
    const QString what = QStringLiteral("Referencing");
    if (RefusedInReset(s, what) || RefusedWhileRunning(s, what) || RefusedWhileJogging(s, what))
        return;
    WorkItem item;
    item.kind = WorkItem::Kind::Reference;
    item.axisMask = axisMask;
    item.macroDepth = macroDepth;
    s.executor.EnqueueItem(item);
}

void GotoSafeZ(MachineState& s, int macroDepth)
{
    const QString what = QStringLiteral("Goto safe Z");
    if (RefusedInReset(s, what) || RefusedWhileRunning(s, what) || RefusedWhileJogging(s, what))
        return;
    WorkItem item;
    item.kind = WorkItem::Kind::SafeZ;
    item.macroDepth = macroDepth;
    s.executor.EnqueueItem(item);
}

// Push-to-jog: buttons come in pairs, plus then minus, for X, Y, Z and A.
void PushToJog(MachineState& s, int index, int macroDepth)
{
    const int axis = index / 2;
    const int direction = index % 2 == 0 ? 1 : -1;
    if (RefusedInReset(s, QStringLiteral("Jog")) || RefusedWhileRunning(s, QStringLiteral("Jog")))
        return;
    if (!s.settings.jogEnabled) {
        Report(s, QStringLiteral("Jog ignored, jogging is disabled"));
        return;
    }
    if (!(s.settings.JogRate() > 0.0)) {
        Report(s, QStringLiteral("Jog ignored, the jog rate is zero"));
        return;
    }
    if (s.settings.jogContinuous) {
        if (!s.executor.StartJog(axis, direction))
            Report(s, QStringLiteral("Jog ignored, the machine is moving"));
        return;
    }
    if (s.executor.IsJogging()) {
        Report(s, QStringLiteral("Jog ignored, the machine is moving"));
        return;
    }
    WorkItem item;
    item.kind = WorkItem::Kind::StepJog;
    item.axis = axis;
    item.distance = direction * s.settings.jogStep;
    item.macroDepth = macroDepth;
    s.executor.EnqueueItem(item);
}

void CycleStart(MachineState& s)
{
    if (s.executor.IsPaused()) {
        s.executor.Resume();
        return;
    }
    if (RefusedInReset(s, QStringLiteral("Cycle start")))
        return;
    if (s.loadingUntilMs >= 0) {
        Report(s, QStringLiteral("Cycle start ignored, the file is still loading"));
        return;
    }
    if (s.executor.ProgramLines().isEmpty()) {
        Report(s, QStringLiteral("Cycle start ignored, no file is loaded"));
        return;
    }
    if (!s.executor.ProgramRunning() && s.executor.IsBusy()) {
        Report(s, QStringLiteral("Cycle start ignored, the machine is moving"));
        return;
    }
    s.executor.StartProgram();
}

void CloseFile(MachineState& s)
{
    if (RefusedWhileRunning(s, QStringLiteral("Close file")))
        return;
    s.executor.CloseProgram();
    s.fileName.clear();
    s.loadingLines.clear();
    s.loadingUntilMs = -1;
}

void ToggleSpindle(MachineState& s)
{
    MachineSettings& m = s.settings;
    if (m.spindle != SpindleState::Off) {
        m.spindle = SpindleState::Off;
        return;
    }
    if (RefusedInReset(s, QStringLiteral("Spindle start")))
        return;
    m.spindle = m.spindleLastClockwise ? SpindleState::Clockwise : SpindleState::CounterClockwise;
}

}  // namespace

void PressOemButton(MachineState& s, int code, int macroDepth)
{
    MachineSettings& m = s.settings;
    if (const int axis = IndexIn(code, ZeroButton0); axis >= 0) {
        ZeroAxis(s, axis);
        return;
    }
    if (const int axis = IndexIn(code, RefButton0); axis >= 0) {
        Reference(s, 1 << axis, macroDepth);
        return;
    }
    if (const int step = IndexIn(code, StepButton0, int(JogStepSizes.size())); step >= 0) {
        m.jogStepIndex = step;
        m.jogStep = JogStepSizes[static_cast<size_t>(step)];
        return;
    }
    if (const int jog = IndexIn(code, JogButton0, 8); jog >= 0) {
        PushToJog(s, jog, macroDepth);
        return;
    }

    switch (code) {
    case ButtonCode(obtReset):
        if (m.reset)
            m.reset = false;
        else
            EnterReset(s);
        break;
    case ButtonCode(obtStop): s.executor.OperatorStop(); break;
    case ButtonCode(obtCycle_start): CycleStart(s); break;
    case ButtonCode(obtResume):
        s.executor.Resume();
        break;
    case ButtonCode(obtPause):
        if (!s.executor.Pause())
            Report(s, QStringLiteral("Pause ignored, nothing is running"));
        break;
    case ButtonCode(obtRewind):
        if (!RefusedWhileRunning(s, QStringLiteral("Rewind")))
            s.executor.SetProgramLine(0);
        break;
    case ButtonCode(obtSingle): m.singleStep = !m.singleStep; break;
    case ButtonCode(obtZero_All):
        for (int axis = 0; axis < AxisCount; ++axis)
            ZeroAxis(s, axis);
        break;
    case ButtonCode(obtHome_ZXYABC_set_machine_coords): Reference(s, AllAxesMask, macroDepth); break;
    case ButtonCode(obtGoto_Safe_Z): GotoSafeZ(s, macroDepth); break;
    case ButtonCode(obtMach_coords): m.machineCoordinates = !m.machineCoordinates; break;
    case ButtonCode(obtFlood_Toggle):
        if (m.flood || !RefusedInReset(s, QStringLiteral("Flood")))
            m.flood = !m.flood;
        break;
    case ButtonCode(obtMist_Toggle):
        if (m.mist || !RefusedInReset(s, QStringLiteral("Mist")))
            m.mist = !m.mist;
        break;
    case ButtonCode(obtSpindle_actual_Toggle): ToggleSpindle(s); break;
    case ButtonCode(obtJog_mode_Toggle):
        m.jogEnabled = !m.jogEnabled;
        if (!m.jogEnabled && s.executor.IsJogging())
            s.executor.Stop();
        break;
    case ButtonCode(obtJog_mode_Continuous): m.jogContinuous = true; break;
    case ButtonCode(obtJog_mode_Step): m.jogContinuous = false; break;
    case ButtonCode(obtClose_current_file): CloseFile(s); break;
    default: break;  // accepted; the simulated host has nothing behind it
    }
}

bool ReadOemLed(const MachineState& s, int code)
{
    const MachineSettings& m = s.settings;
    const MotionExecutor& x = s.executor;
    if (const int axis = IndexIn(code, RefLed0); axis >= 0)
        return m.referenced[static_cast<size_t>(axis)];
    switch (code) {
    case LedCode(oltReset): return m.reset;
    case LedCode(oltInch): return !m.metric;
    case LedCode(oltMMs): return m.metric;
    case LedCode(oltIdle): return !x.IsBusy();
    case LedCode(oltStart): return x.ProgramRunning();
    case LedCode(oltPause): return x.IsPaused();
    case LedCode(oltPause_Active): return x.IsPaused() || x.HaltedByStop();
    case LedCode(oltDwell): return x.IsDwelling();
    case LedCode(oltSpindle_CW): return m.spindle == SpindleState::Clockwise;
    case LedCode(oltSpindle_is_Running): return m.spindle != SpindleState::Off;
    case LedCode(oltMist): return m.mist;
    case LedCode(oltFlood): return m.flood;
    case LedCode(oltJog_mode_Cont): return m.jogContinuous;
    case LedCode(oltJog_mode_Incr): return !m.jogContinuous;
    case LedCode(oltJogging_Enabled): return m.jogEnabled;
    case LedCode(oltMach_coords_warn): return m.machineCoordinates;
    case LedCode(oltAbs_Coordinate_Mode): return m.absolute;
    case LedCode(oltIncremental_Coordinate_Mode): return !m.absolute;
    case LedCode(oltSingle_Step_Mode_Active): return m.singleStep;
    default: return false;
    }
}

double ReadOemDro(const MachineState& s, int code)
{
    const MachineSettings& m = s.settings;
    if (const int axis = IndexIn(code, WorkDro0); axis >= 0) {
        const double machine = s.executor.Position()[static_cast<size_t>(axis)];
        return m.machineCoordinates ? machine : machine - m.offset[static_cast<size_t>(axis)];
    }
    if (const int axis = IndexIn(code, MachineDro0); axis >= 0)
        return s.executor.Position()[static_cast<size_t>(axis)];
    if (const int axis = IndexIn(code, VelocityDro0); axis >= 0)
        return s.executor.Velocity()[static_cast<size_t>(axis)];
    if (const int axis = IndexIn(code, OffsetDro0); axis >= 0)
        return m.offset[static_cast<size_t>(axis)];
    switch (code) {
    case DroCode(odtBlended_Velocity): {
        const AxisVector v = s.executor.Velocity();
        return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    }
    case DroCode(odtCurr_Line_no): return s.executor.ProgramLine();
    case DroCode(odtSpindle_requested): return m.spindleSpeed;
    case DroCode(odtFeedrate): return m.feed;
    case DroCode(odtFeedrate_Override): return m.feedOverride;
    case DroCode(odtTool_number): return m.tool;
    case DroCode(odtRapid_feedrate): return m.rapid;
    case DroCode(odtSafe_Z): return m.safeZ;
    case DroCode(odtSlow_Jog_Pct): return m.slowJogPercent;
    case DroCode(odtJog_Inc_Inc):
    case DroCode(odtJog_Inc): return m.jogStep;
    default:
        if (code >= 0 && code < MachineState::DroStoreSize)
            return s.dros[static_cast<size_t>(code)];
        return s.otherDros.value(code, 0.0);
    }
}

void WriteOemDro(MachineState& s, int code, double value)
{
    MachineSettings& m = s.settings;
    const auto refuse = [&](const QString& why) {
        Report(s, QStringLiteral("SetOEMDRO(%1, %2) refused: %3").arg(code).arg(value).arg(why));
    };
    if (!std::isfinite(value)) {
        refuse(QStringLiteral("the value is not a number"));
        return;
    }
    // Writing an axis readout moves the work offset so that the axis reads the value.
    if (const int axis = IndexIn(code, WorkDro0); axis >= 0) {
        m.offset[static_cast<size_t>(axis)] = s.executor.Position()[static_cast<size_t>(axis)] - value;
        return;
    }
    if (const int axis = IndexIn(code, OffsetDro0); axis >= 0) {
        m.offset[static_cast<size_t>(axis)] = value;
        return;
    }
    if (IndexIn(code, MachineDro0) >= 0 || IndexIn(code, VelocityDro0) >= 0
        || code == DroCode(odtBlended_Velocity))
        return;  // measured values: the host ignores writes to them

    const auto setNonNegative = [&](double& target, const QString& what) {
        if (value < 0.0)
            refuse(QStringLiteral("negative %1").arg(what));
        else
            target = value;
    };
    switch (code) {
    case DroCode(odtCurr_Line_no):
        // Range first: converting a double beyond int's range is undefined.
        if (value != std::floor(value) || value < 0.0 || value > std::numeric_limits<int>::max()
            || !s.executor.SetProgramLine(static_cast<int>(value)))
            refuse(QStringLiteral("no such line, or a program is running"));
        return;
    case DroCode(odtSpindle_requested): setNonNegative(m.spindleSpeed, QStringLiteral("speed")); return;
    case DroCode(odtFeedrate): setNonNegative(m.feed, QStringLiteral("feed rate")); return;
    case DroCode(odtRapid_feedrate): setNonNegative(m.rapid, QStringLiteral("rapid rate")); return;
    case DroCode(odtFeedrate_Override):
        setNonNegative(m.feedOverride, QStringLiteral("override"));
        return;
    case DroCode(odtTool_number):
        if (value < 0.0 || value != std::floor(value) || value > 1e6)
            refuse(QStringLiteral("invalid tool number"));
        else
            m.tool = static_cast<int>(value);
        return;
    case DroCode(odtSafe_Z): m.safeZ = value; return;
    case DroCode(odtSlow_Jog_Pct):
        if (value > 0.0 && value <= 100.0)
            m.slowJogPercent = value;
        else
            refuse(QStringLiteral("the jog percentage must lie in (0, 100]"));
        return;
    case DroCode(odtJog_Inc_Inc):
    case DroCode(odtJog_Inc):
        if (!(value > 0.0)) {
            refuse(QStringLiteral("the jog step must be positive"));
            return;
        }
        m.jogStep = value;
        m.jogStepIndex = -1;
        for (size_t i = 0; i < JogStepSizes.size(); ++i) {
            if (JogStepSizes[i] == value)
                m.jogStepIndex = int(i);
        }
        return;
    default:
        if (code >= 0 && code < MachineState::DroStoreSize)
            s.dros[static_cast<size_t>(code)] = value;
        else
            s.otherDros.insert(code, value);
    }
}

void RunHostCode(MachineState& s, const QString& text, int macroDepth)
{
    if (text.trimmed().isEmpty())
        return;
    QString refusal;
    if (s.settings.reset)
        refusal = QStringLiteral("the machine is in reset");
    else if (s.executor.IsJogging())
        refusal = QStringLiteral("the machine is jogging");
    else if (macroDepth == 0 && s.executor.ProgramRunning())
        refusal = QStringLiteral("a program is running");  // macros of the program may
    if (!refusal.isEmpty()) {
        Report(s, QStringLiteral("Code ignored, %1: \"%2\"").arg(refusal, text));
        return;
    }
    s.executor.EnqueueCode(text, macroDepth);
}

void RunMacroFile(MachineState& s, int number, int macroDepth)
{
    const QString name = QStringLiteral("M%1.m1s").arg(number);
    QStringList lines;
    QString problem;
    if (!ReadTextLines(s.MacroFile(number), MaxMacroFileBytes, lines, problem)) {
        Report(s, QStringLiteral("Macro %1 not run: %2").arg(name, problem));
        return;
    }
    const int inner = macroDepth + 1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const MacroStatement statement = ParseMacroLine(lines.at(i));
        switch (statement.kind) {
        case MacroStatement::Kind::Nothing: break;
        case MacroStatement::Kind::Code: RunHostCode(s, statement.text, inner); break;
        case MacroStatement::Kind::DoOEMButton: PressOemButton(s, statement.code, inner); break;
        case MacroStatement::Kind::SetOEMDRO: WriteOemDro(s, statement.code, statement.value); break;
        case MacroStatement::Kind::Message: Report(s, statement.text); break;
        case MacroStatement::Kind::Unsupported:
            Report(s, QStringLiteral("%1 line %2 not supported (%3): %4")
                          .arg(name)
                          .arg(i + 1)
                          .arg(statement.text, lines.at(i).trimmed()));
            break;
        }
    }
}

}  // namespace hostsim
