#pragma once

#include <QString>

#include <array>

namespace lcnchost {

// The axes Zentyr's windows drive: X, Y and Z, each moved by the joint of the same index (the
// machine's kinematics are trivial).
inline constexpr int AxisCount = 3;

using AxisValues = std::array<double, AxisCount>;

enum class TaskState { EStop, EStopReset, Off, On };
enum class TaskMode { Manual, Auto, Mdi };
enum class InterpState { Idle, Reading, Paused, Waiting };
enum class MotionMode { Free, Coordinated, Teleop };

// One look at LinuxCNC's status, in the units of its configuration (here inches and inches
// per second). Positions are machine coordinates unless named otherwise.
struct ControllerStatus
{
    TaskState state = TaskState::EStop;
    TaskMode mode = TaskMode::Manual;
    InterpState interp = InterpState::Idle;
    MotionMode motionMode = MotionMode::Free;
    bool execDone = true;      // the task has nothing left to wait for
    bool inPosition = true;    // motion has reached its commanded position
    int motionQueue = 0;       // moves waiting in the trajectory planner
    int queuedMdi = 0;         // MDI lines waiting behind the one executing
    bool jogging = false;      // a jog is in progress
    bool paused = false;       // feed hold
    bool interpreterError = false;  // the last command ended in an error

    AxisValues position{};     // actual machine position
    AxisValues velocity{};     // per joint, units per second
    double currentVelocity = 0.0;  // along the path, units per second
    AxisValues g5xOffset{};    // active work offset (G54..G59.3)
    int g5xIndex = 1;          // 1 = G54
    AxisValues g92Offset{};
    AxisValues toolOffset{};
    double rotationXY = 0.0;   // degrees

    std::array<bool, AxisCount> homed{};
    std::array<bool, AxisCount> homing{};
    std::array<bool, AxisCount> minHardLimit{};
    std::array<bool, AxisCount> maxHardLimit{};

    AxisValues probedPosition{};  // machine position of the last probe contact (or end)
    bool probeTripped = false;

    double feedScale = 1.0;    // feed override, 1 = 100 %
    double rapidScale = 1.0;   // rapid override
    double feedWord = 0.0;     // the active F word, units per minute
    double speedWord = 0.0;    // the active S word, revolutions per minute
    double spindleSpeed = 0.0;
    int spindleDirection = 0;  // 1 forward, -1 reverse, 0 stopped
    bool flood = false;
    bool mist = false;
    int toolInSpindle = 0;
    bool metric = false;       // program units are millimetres
    bool incremental = false;  // G91 is in effect

    int motionLine = 0;        // 1-based line of the program being executed, 0 for none
    QString file;              // the open program, empty for none
};

}  // namespace lcnchost
