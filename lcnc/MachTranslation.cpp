#include "lcnc/MachTranslation.h"

#include "lcnc/GCodeDialect.h"
#include "lcnc/IController.h"
#include "lcnc/TranslationSupport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lcnchost {

using namespace support;

MachTranslation::MachTranslation(IController& controller, TranslationConfig config, Reporter report)
    : m_controller(controller), m_config(std::move(config)), m_report(std::move(report))
{
}

void MachTranslation::Note(const QString& text)
{
    if (m_report)
        m_report(text);
}

// ---- The fourteen script operations ----

void MachTranslation::DeActivateSignal(int)
{
    // The controller's output signals have no counterpart here; Zentyr switches them off only
    // on its way out, before putting the machine into reset.
}

double MachTranslation::GetVar(int index)
{
    const ControllerStatus& s = m_controller.Status();
    // The last probe contact, in work coordinates: the controller's own numbers 2000-2005 and
    // LinuxCNC's 5061-5063.
    int axis = -1;
    if (index >= 2000 && index < 2006)
        axis = index - 2000;
    else if (index >= 5061 && index < 5064)
        axis = index - 5061;
    else if (index == 5070)
        return s.probeTripped ? 1.0 : 0.0;
    if (axis >= 0 && axis < AxisCount)
        return WorkPosition(s, s.probedPosition)[size_t(axis)];
    return 0.0;
}

void MachTranslation::Code(const QString& text)
{
    const QStringList lines = MdiLinesFor(text);
    if (lines.isEmpty())
        return;
    const QString what = QStringLiteral("G-code");
    const ControllerStatus s = m_controller.Status();
    RequireOn(s, what);
    if (ProgramActive(s))
        Refuse(QStringLiteral("%1 refused: a program is running").arg(what));
    if (s.jogging)
        Refuse(QStringLiteral("%1 refused: the machine is jogging").arg(what));
    EnsureMode(TaskMode::Mdi, what);
    for (const QString& line : lines)
        m_controller.ExecuteMdi(line);
}

bool MachTranslation::IsMoving()
{
    const ControllerStatus& s = m_controller.Status();
    return Busy(s) || s.jogging || s.paused || !s.inPosition || s.motionQueue > 0
           || s.interp != InterpState::Idle;
}

void MachTranslation::DoOEMButton(int code)
{
    int index = 0;
    if (const ButtonRow* row = Find(ButtonTable(), code, &index)) {
        (this->*row->press)(index);
        return;
    }
    Note(QStringLiteral("OEM button %1 has no function on LinuxCNC").arg(code));
}

void MachTranslation::DoButton(int number)
{
    Note(QStringLiteral("Host button %1 has no function on LinuxCNC").arg(number));
}

bool MachTranslation::GetOEMLed(int code)
{
    int index = 0;
    const LedRow* row = Find(LedTable(), code, &index);
    const ControllerStatus& s = m_controller.Status();  // unreachable LinuxCNC: every call fails
    return row ? (this->*row->read)(s, index) : false;
}

double MachTranslation::GetOEMDRO(int code)
{
    int index = 0;
    const DroRow* row = Find(DroTable(), code, &index);
    const ControllerStatus& s = m_controller.Status();
    return row ? (this->*row->read)(s, index) : m_otherDros.value(code, 0.0);
}

void MachTranslation::SetOEMDRO(int code, double value)
{
    RequireFinite(value, QStringLiteral("Setting DRO %1").arg(code));
    int index = 0;
    const DroRow* row = Find(DroTable(), code, &index);
    if (!row) {
        m_controller.Status();
        m_otherDros.insert(code, value);
        return;
    }
    if (row->write)
        (this->*row->write)(index, value);
    // A measured value (position in machine coordinates, velocity) ignores writes.
}

int MachTranslation::IsLoading()
{
    m_controller.Status();
    return 0;  // LinuxCNC has opened a program by the time it takes the next command
}

void MachTranslation::SetButtonText(const QString& text)
{
    m_buttonText = text;
}

void MachTranslation::Message(const QString& text)
{
    m_lastMessage = text;
    Note(text);
}

QString MachTranslation::FileName()
{
    const ControllerStatus& s = m_controller.Status();
    return LoadedFile(s).isEmpty() ? QStringLiteral("No File Loaded.") : s.file;
}

void MachTranslation::LoadFile(const QString& path)
{
    const QString what = QStringLiteral("Loading \"%1\"").arg(path);
    if (path.trimmed().isEmpty())
        Refuse(QStringLiteral("%1 refused: no file named").arg(what));
    const QString file = QFileInfo(path).isRelative() && !m_config.programFolder.isEmpty()
                             ? QDir(m_config.programFolder).filePath(path)
                             : path;
    const QFileInfo info(file);
    // Only regular files: a named pipe would leave LinuxCNC waiting for its writer.
    if (!info.exists() || !info.isFile())
        Refuse(QStringLiteral("%1 refused: there is no such file").arg(what));
    const ControllerStatus s = m_controller.Status();
    if (ProgramActive(s))
        Refuse(QStringLiteral("%1 refused: a program is running").arg(what));
    EnsureMode(TaskMode::Auto, what);
    m_controller.OpenProgram(info.absoluteFilePath());
    m_fileClosed = false;
    m_nextLine = 0;
}

// ---- Jogs ----

void MachTranslation::StopJogs()
{
    const bool started = std::any_of(m_jogging.begin(), m_jogging.end(), [](bool b) { return b; });
    const bool jointMode = m_jogJointMode;
    m_jogging = {};
    try {
        const ControllerStatus& s = m_controller.Status();
        if (s.state != TaskState::On || (!started && !s.jogging) || s.mode != TaskMode::Manual)
            return;
        const bool mode = started ? jointMode : s.motionMode != MotionMode::Teleop;
        for (int axis = 0; axis < AxisCount; ++axis)
            m_controller.JogStop(axis, mode);
    } catch (const ControllerError& e) {
        if (started)
            Note(QStringLiteral("Stopping the jogs failed: %1").arg(e.Reason()));
    }
}

void MachTranslation::PressPushToJog(int index)
{
    const int axis = index / 2;
    const double direction = index % 2 == 0 ? 1.0 : -1.0;
    const QString what = QStringLiteral("Jog");
    const ControllerStatus s = m_controller.Status();
    RequireOn(s, what);
    if (!m_jogEnabled) {
        Note(QStringLiteral("Jog ignored, jogging is disabled"));
        return;
    }
    if (ProgramActive(s))
        Refuse(QStringLiteral("%1 refused: a program is running").arg(what));
    if (Busy(s))
        Refuse(QStringLiteral("%1 refused: the machine is moving").arg(what));
    const double speed = std::min(m_jogSpeed / 60.0, m_config.maxVelocity);
    if (!(speed > 0.0))
        Refuse(QStringLiteral("%1 refused: the jog speed is zero").arg(what));
    EnsureMode(TaskMode::Manual, what);
    const bool jointMode = m_controller.Status().motionMode != MotionMode::Teleop;
    if (m_jogContinuous) {
        m_controller.JogContinuous(axis, direction * speed, jointMode);
        m_jogging[size_t(axis)] = true;
        m_jogJointMode = jointMode;
    } else {
        m_controller.JogIncrement(axis, direction * m_jogStep, speed, jointMode);
    }
}

// ---- Conditions ----

QString MachTranslation::LoadedFile(const ControllerStatus& s) const
{
    // LinuxCNC keeps naming a program it has closed.
    return m_fileClosed ? QString() : s.file;
}

bool MachTranslation::ProgramActive(const ControllerStatus& s) const
{
    return s.mode == TaskMode::Auto && s.interp != InterpState::Idle;
}

bool MachTranslation::Busy(const ControllerStatus& s) const
{
    return s.interp != InterpState::Idle || s.queuedMdi > 0 || !s.execDone
           || std::any_of(s.homing.begin(), s.homing.end(), [](bool b) { return b; });
}

void MachTranslation::RequireOn(const ControllerStatus& s, const QString& what) const
{
    if (s.state != TaskState::On)
        Refuse(QStringLiteral("%1 refused: the machine is in reset").arg(what));
}

void MachTranslation::RequireIdle(const ControllerStatus& s, const QString& what) const
{
    if (ProgramActive(s))
        Refuse(QStringLiteral("%1 refused: a program is running").arg(what));
    if (s.jogging)
        Refuse(QStringLiteral("%1 refused: the machine is jogging").arg(what));
    if (Busy(s))
        Refuse(QStringLiteral("%1 refused: the machine is moving").arg(what));
}

void MachTranslation::EnsureMode(TaskMode mode, const QString& what)
{
    const ControllerStatus& s = m_controller.Status();
    if (s.mode == mode)
        return;
    // LinuxCNC changes modes only when its interpreter rests and nothing jogs.
    if (s.interp != InterpState::Idle || s.queuedMdi > 0)
        Refuse(QStringLiteral("%1 refused: the machine is busy").arg(what));
    if (s.jogging)
        Refuse(QStringLiteral("%1 refused: the machine is jogging").arg(what));
    m_controller.SetMode(mode);
}

void MachTranslation::SendMdi(const QString& line, const QString& what)
{
    const ControllerStatus s = m_controller.Status();
    RequireOn(s, what);
    if (ProgramActive(s))
        Refuse(QStringLiteral("%1 refused: a program is running").arg(what));
    if (s.jogging)
        Refuse(QStringLiteral("%1 refused: the machine is jogging").arg(what));
    EnsureMode(TaskMode::Mdi, what);
    m_controller.ExecuteMdi(line);
}

void MachTranslation::StartProgram(int fromIndex)
{
    EnsureMode(TaskMode::Auto, QStringLiteral("Cycle start"));
    if (m_singleStep)
        m_controller.StepProgram();
    else
        m_controller.RunProgram(fromIndex > 0 ? fromIndex + 1 : 0);
    // Like the controller, a run that ends starts the next one from the top.
    m_nextLine = 0;
}

AxisValues MachTranslation::WorkPosition(const ControllerStatus& s, const AxisValues& machine) const
{
    // As LinuxCNC's own displays compute it: work offset and tool offset first, then the XY
    // rotation, then the G92 offset.
    double x = machine[0] - s.g5xOffset[0] - s.toolOffset[0];
    double y = machine[1] - s.g5xOffset[1] - s.toolOffset[1];
    if (s.rotationXY != 0.0) {
        const double t = -s.rotationXY * std::numbers::pi / 180.0;
        const double xr = x * std::cos(t) - y * std::sin(t);
        const double yr = x * std::sin(t) + y * std::cos(t);
        x = xr;
        y = yr;
    }
    return {x - s.g92Offset[0], y - s.g92Offset[1],
            machine[2] - s.g5xOffset[2] - s.toolOffset[2] - s.g92Offset[2]};
}

// ---- Buttons ----

void MachTranslation::PressReset(int)
{
    const ControllerStatus s = m_controller.Status();
    if (s.state == TaskState::On) {
        m_jogging = {};
        m_controller.SetState(TaskState::EStop);
        return;
    }
    if (s.state == TaskState::EStop)
        m_controller.SetState(TaskState::EStopReset);
    m_controller.SetState(TaskState::On);
}

void MachTranslation::PressCycleStart(int)
{
    const ControllerStatus s = m_controller.Status();
    if (s.paused || s.interp == InterpState::Paused) {
        if (m_singleStep)
            m_controller.StepProgram();
        else
            m_controller.Resume();
        return;
    }
    if (ProgramActive(s))
        return;  // already running
    const QString what = QStringLiteral("Cycle start");
    RequireOn(s, what);
    if (LoadedFile(s).isEmpty())
        Refuse(QStringLiteral("%1 refused: no file is loaded").arg(what));
    RequireIdle(s, what);
    StartProgram(m_nextLine);
}

void MachTranslation::PressRunFromHere(int)
{
    const ControllerStatus s = m_controller.Status();
    const QString what = QStringLiteral("Run from here");
    RequireOn(s, what);
    if (LoadedFile(s).isEmpty())
        Refuse(QStringLiteral("%1 refused: no file is loaded").arg(what));
    RequireIdle(s, what);
    StartProgram(m_nextLine);
}

void MachTranslation::PressPause(int)
{
    const ControllerStatus& s = m_controller.Status();
    if (s.interp != InterpState::Idle && s.interp != InterpState::Paused && !s.paused)
        m_controller.Pause();
}

void MachTranslation::PressResume(int)
{
    const ControllerStatus& s = m_controller.Status();
    if (s.paused || s.interp == InterpState::Paused)
        m_controller.Resume();
}

void MachTranslation::PressRewind(int)
{
    if (ProgramActive(m_controller.Status()))
        Refuse(QStringLiteral("Rewind refused: a program is running"));
    m_nextLine = 0;
}

void MachTranslation::PressStop(int)
{
    const ControllerStatus s = m_controller.Status();
    const bool started = std::any_of(m_jogging.begin(), m_jogging.end(), [](bool b) { return b; });
    if (s.state == TaskState::On && s.mode == TaskMode::Manual && (started || s.jogging)) {
        const bool mode = started ? m_jogJointMode : s.motionMode != MotionMode::Teleop;
        m_jogging = {};
        for (int axis = 0; axis < AxisCount; ++axis)
            m_controller.JogStop(axis, mode);
    }
    m_jogging = {};
    if (Busy(s) || ProgramActive(s) || s.paused)
        m_controller.Abort();
}

void MachTranslation::PressSingle(int)
{
    m_singleStep = !m_singleStep;
}

void MachTranslation::PressZeroAll(int)
{
    for (int axis = 0; axis < AxisCount; ++axis)
        SetAxis(axis, 0.0);
}

void MachTranslation::PressZero(int axis)
{
    SetAxis(axis, 0.0);
}

void MachTranslation::PressReference(int joint)
{
    const QString what = QStringLiteral("Referencing");
    const ControllerStatus s = m_controller.Status();
    RequireOn(s, what);
    RequireIdle(s, what);
    EnsureMode(TaskMode::Manual, what);
    if (m_controller.Status().motionMode == MotionMode::Teleop)
        m_controller.SetTeleop(false);  // once every joint is referenced, LinuxCNC moves by axis
    m_controller.Home(joint);
}

void MachTranslation::PressHomeAll(int)
{
    PressReference(-1);
}

void MachTranslation::PressSafeZ(int)
{
    SendMdi(QStringLiteral("G53 G0 Z") + GCodeNumber(m_config.safeZ), QStringLiteral("Goto safe Z"));
}

void MachTranslation::PressMachineCoordinates(int)
{
    m_machineCoordinates = !m_machineCoordinates;
}

void MachTranslation::PressFloodToggle(int)
{
    m_controller.SetFlood(!m_controller.Status().flood);
}

void MachTranslation::PressMistToggle(int)
{
    m_controller.SetMist(!m_controller.Status().mist);
}

void MachTranslation::PressCoolant(int which)
{
    if (which < 2)
        m_controller.SetFlood(which == 0);
    else
        m_controller.SetMist(which == 2);
}

void MachTranslation::PressSpindleToggle(int)
{
    const ControllerStatus s = m_controller.Status();
    if (s.spindleDirection != 0) {
        m_controller.SpindleOff();
        return;
    }
    const QString what = QStringLiteral("Spindle start");
    RequireOn(s, what);
    if (!(s.speedWord > 0.0))
        Refuse(QStringLiteral("%1 refused: the spindle speed is zero").arg(what));
    m_controller.SpindleOn(m_spindleClockwise ? s.speedWord : -s.speedWord);
}

void MachTranslation::PressJoggingToggle(int)
{
    m_jogEnabled = !m_jogEnabled;
    if (!m_jogEnabled)
        StopJogs();
}

void MachTranslation::PressJogContinuous(int)
{
    m_jogContinuous = true;
}

void MachTranslation::PressJogStep(int)
{
    m_jogContinuous = false;
}

void MachTranslation::PressStepValue(int index)
{
    m_jogStep = StepSizes[size_t(index)];
}

void MachTranslation::PressCloseFile(int)
{
    const ControllerStatus s = m_controller.Status();
    if (ProgramActive(s))
        Refuse(QStringLiteral("Close file refused: a program is running"));
    if (!LoadedFile(s).isEmpty())
        m_controller.CloseProgram();
    m_fileClosed = true;
    m_nextLine = 0;
}

}  // namespace lcnchost
