#include "lcnc/MachTranslation.h"

#include "lcnc/IController.h"
#include "lcnc/TranslationSupport.h"

#include <algorithm>
#include <cmath>
#include <limits>

// What the OEM lamps and readouts show, and what writing a readout asks of LinuxCNC.
namespace lcnchost {

using namespace support;

// ---- Lamps ----

bool MachTranslation::LedReset(const ControllerStatus& s, int) const { return s.state != TaskState::On; }
bool MachTranslation::LedEmergency(const ControllerStatus& s, int) const { return s.state == TaskState::EStop; }
bool MachTranslation::LedMist(const ControllerStatus& s, int) const { return s.mist; }
bool MachTranslation::LedFlood(const ControllerStatus& s, int) const { return s.flood; }
bool MachTranslation::LedJogContinuous(const ControllerStatus&, int) const { return m_jogContinuous; }
bool MachTranslation::LedJogStep(const ControllerStatus&, int) const { return !m_jogContinuous; }
bool MachTranslation::LedJoggingEnabled(const ControllerStatus&, int) const { return m_jogEnabled; }
bool MachTranslation::LedMachineCoordinates(const ControllerStatus&, int) const { return m_machineCoordinates; }
bool MachTranslation::LedPaused(const ControllerStatus& s, int) const { return s.paused || s.interp == InterpState::Paused; }
bool MachTranslation::LedSingleStep(const ControllerStatus&, int) const { return m_singleStep; }
bool MachTranslation::LedSpindleRunning(const ControllerStatus& s, int) const { return s.spindleDirection != 0; }
bool MachTranslation::LedSpindleClockwise(const ControllerStatus& s, int) const { return s.spindleDirection > 0; }
bool MachTranslation::LedReferenced(const ControllerStatus& s, int axis) const { return s.homed[size_t(axis)]; }
bool MachTranslation::LedInch(const ControllerStatus& s, int) const { return !s.metric; }
bool MachTranslation::LedMillimetre(const ControllerStatus& s, int) const { return s.metric; }
bool MachTranslation::LedRunning(const ControllerStatus& s, int) const { return ProgramActive(s); }
bool MachTranslation::LedAbsolute(const ControllerStatus& s, int) const { return !s.incremental; }
bool MachTranslation::LedIncremental(const ControllerStatus& s, int) const { return s.incremental; }

bool MachTranslation::LedIdle(const ControllerStatus& s, int) const
{
    return !Busy(s) && !s.jogging && !s.paused && s.inPosition && s.motionQueue == 0;
}

bool MachTranslation::LedLimit(const ControllerStatus& s, int axis, int index) const
{
    return index == 0 ? s.maxHardLimit[size_t(axis)] : s.minHardLimit[size_t(axis)];
}

// ---- Readouts ----

double MachTranslation::DroAxis(const ControllerStatus& s, int axis) const
{
    if (m_machineCoordinates)
        return s.position[size_t(axis)];
    return WorkPosition(s, s.position)[size_t(axis)];
}

double MachTranslation::DroMachine(const ControllerStatus& s, int axis) const { return s.position[size_t(axis)]; }
double MachTranslation::DroVelocity(const ControllerStatus& s, int axis) const { return s.velocity[size_t(axis)] * 60.0; }
double MachTranslation::DroBlendedVelocity(const ControllerStatus& s, int) const { return s.currentVelocity * 60.0; }
double MachTranslation::DroSpindleSpeed(const ControllerStatus& s, int) const { return s.speedWord; }
double MachTranslation::DroFeed(const ControllerStatus& s, int) const { return s.feedWord; }
double MachTranslation::DroFeedOverride(const ControllerStatus& s, int) const { return s.feedScale * 100.0; }
double MachTranslation::DroRapid(const ControllerStatus& s, int) const { return s.rapidScale * m_config.maxVelocity * 60.0; }
double MachTranslation::DroSafeZ(const ControllerStatus&, int) const { return m_config.safeZ; }
double MachTranslation::DroJogSpeed(const ControllerStatus&, int) const { return m_jogSpeed; }
double MachTranslation::DroJogStep(const ControllerStatus&, int) const { return m_jogStep; }
double MachTranslation::DroTool(const ControllerStatus& s, int) const { return s.toolInSpindle; }
double MachTranslation::DroToolLength(const ControllerStatus& s, int) const { return s.toolOffset[2]; }
double MachTranslation::DroFixtureOffset(const ControllerStatus& s, int axis) const { return s.g5xOffset[size_t(axis)]; }
double MachTranslation::DroG92Offset(const ControllerStatus& s, int axis) const { return s.g92Offset[size_t(axis)]; }
double MachTranslation::DroFixtureNumber(const ControllerStatus& s, int) const { return s.g5xIndex; }

double MachTranslation::DroLine(const ControllerStatus& s, int) const
{
    // The editor shows the line as a 0-based index; LinuxCNC counts lines from 1.
    if (ProgramActive(s))
        return std::max(s.motionLine, 1) - 1;
    return m_nextLine;
}

void MachTranslation::SetAxis(int axis, double value)
{
    const QString letter{QLatin1Char(AxisLetters[axis])};
    SendMdi(QStringLiteral("G10 L20 P0 %1%2").arg(letter, GCodeNumber(value)),
            QStringLiteral("Setting the %1 readout").arg(letter));
}

void MachTranslation::SetFixtureOffset(int axis, double value)
{
    const QString letter{QLatin1Char(AxisLetters[axis])};
    SendMdi(QStringLiteral("G10 L2 P0 %1%2").arg(letter, GCodeNumber(value)),
            QStringLiteral("Setting the %1 work offset").arg(letter));
}

void MachTranslation::SetLine(int, double value)
{
    if (value != std::floor(value) || value < 0.0 || value > std::numeric_limits<int>::max())
        Refuse(QStringLiteral("Setting the line refused: %1 is not a line").arg(value));
    if (ProgramActive(m_controller.Status()))
        Refuse(QStringLiteral("Setting the line refused: a program is running"));
    m_nextLine = static_cast<int>(value);
}

void MachTranslation::SetSpindleSpeed(int, double value)
{
    RequireNotNegative(value, QStringLiteral("Spindle speed"));
    SendMdi(QStringLiteral("S") + GCodeNumber(value), QStringLiteral("Spindle speed"));
}

void MachTranslation::SetFeed(int, double value)
{
    RequireNotNegative(value, QStringLiteral("Feed rate"));
    SendMdi(QStringLiteral("F") + GCodeNumber(value), QStringLiteral("Feed rate"));
}

void MachTranslation::SetFeedOverride(int, double value)
{
    RequireNotNegative(value, QStringLiteral("Feed override"));
    m_controller.Status();
    m_controller.SetFeedScale(std::min(value / 100.0, MaxFeedScale));
}

void MachTranslation::SetRapid(int, double value)
{
    RequireNotNegative(value, QStringLiteral("Rapid rate"));
    m_controller.Status();
    const double top = m_config.maxVelocity * 60.0;
    m_controller.SetRapidScale(top > 0.0 ? std::min(value / top, 1.0) : 1.0);
}

void MachTranslation::SetSafeZ(int, double value)
{
    m_config.safeZ = value;
}

void MachTranslation::SetJogSpeed(int, double value)
{
    RequireNotNegative(value, QStringLiteral("Jog speed"));
    m_jogSpeed = value;
}

void MachTranslation::SetJogStep(int, double value)
{
    RequireFinite(value, QStringLiteral("Jog step"));
    if (!(value > 0.0))
        Refuse(QStringLiteral("Jog step refused: it must be greater than zero"));
    m_jogStep = value;
}

}  // namespace lcnchost
