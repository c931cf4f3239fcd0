#pragma once

#include "sim/GCodeInterpreter.h"
#include "sim/Motion.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>

namespace hostsim {

// The five jog step sizes of the step-value buttons, in machine units, largest first.
inline constexpr std::array<double, 5> JogStepSizes = {1.0, 0.1, 0.01, 0.001, 0.0001};

// The switches, rates and modal state of the simulated machine. Plain data: the motion
// executor and the model's OEM functions read and write it; neither owns the other's part.
struct MachineSettings
{
    bool reset = true;  // the machine starts in reset, as the controller does
    bool flood = false;
    bool mist = false;
    SpindleState spindle = SpindleState::Off;
    bool spindleLastClockwise = true;  // direction the spindle toggle starts in
    double spindleSpeed = 1000.0;
    double feed = 50.0;    // units per minute (DRO 818)
    double rapid = 100.0;  // units per minute (DRO 104)
    double feedOverride = 100.0;
    double safeZ = 1.0;            // machine Z (DRO 54)
    double slowJogPercent = 50.0;  // jog rate as a share of the rapid rate (DRO 3)
    int jogStepIndex = 0;          // 0..4 into JogStepSizes, or -1 after a DRO write
    double jogStep = JogStepSizes[0];
    bool jogEnabled = true;
    bool jogContinuous = true;
    bool machineCoordinates = false;  // DROs 800.. show machine rather than work coordinates
    bool singleStep = false;
    bool absolute = true;
    bool metric = false;
    MotionMode motionMode = MotionMode::Rapid;
    int tool = 0;
    AxisVector offset{};  // work offset per axis: work = machine - offset
    std::array<bool, AxisCount> referenced{};
    QHash<int, double> variables;

    double JogRate() const { return rapid * slowJogPercent / 100.0; }
};

// The host's status line and its history. The history keeps the newest entries only, so a
// peer that floods it cannot grow the simulator without bound.
class StatusLog final
{
public:
    static constexpr int Capacity = 1000;

    void Add(const QString& text);
    const QString& Last() const { return m_last; }
    const QStringList& History() const { return m_history; }
    // How many messages were ever added, so a reader can ask for what came after its last
    // look even once the oldest entries are gone.
    qint64 Count() const { return m_count; }
    // The messages added after the first `count`, oldest first, as far as the history still
    // holds them.
    QStringList Since(qint64 count) const;

private:
    QString m_last;
    QStringList m_history;
    qint64 m_count = 0;
};

}  // namespace hostsim
