#pragma once

#include "lcnc/ControllerStatus.h"

#include <QString>

#include <stdexcept>

namespace lcnchost {

// A failure to reach LinuxCNC or a command it refused; what() is the reason in words the
// operator can act on.
class ControllerError : public std::runtime_error
{
public:
    explicit ControllerError(const QString& reason) : std::runtime_error(reason.toStdString()) {}
    QString Reason() const { return QString::fromStdString(what()); }
};

// LinuxCNC as the translation sees it: its status and the commands it takes. Every operation
// raises ControllerError when LinuxCNC cannot be reached or refuses the command; a command
// returns once LinuxCNC has taken it (not when the motion it starts has ended), so the status
// read next already shows it. Not thread-safe.
class IController
{
public:
    virtual ~IController() = default;

    // A fresh look at the status.
    virtual const ControllerStatus& Status() = 0;

    virtual void SetState(TaskState state) = 0;
    virtual void SetMode(TaskMode mode) = 0;
    virtual void ExecuteMdi(const QString& line) = 0;

    // Jogs by axis in teleoperation mode, by joint otherwise (`jointMode`). Speeds in units
    // per second.
    virtual void JogContinuous(int axis, double speed, bool jointMode) = 0;
    virtual void JogIncrement(int axis, double distance, double speed, bool jointMode) = 0;
    virtual void JogStop(int axis, bool jointMode) = 0;
    virtual void Home(int joint) = 0;  // -1: every joint in its homing sequence
    // Motion by axis (teleoperation) or by joint; LinuxCNC homes joints only by joint.
    virtual void SetTeleop(bool enable) = 0;

    virtual void SetFlood(bool on) = 0;
    virtual void SetMist(bool on) = 0;
    virtual void SpindleOn(double signedSpeed) = 0;  // negative turns in reverse
    virtual void SpindleOff() = 0;

    virtual void OpenProgram(const QString& path) = 0;
    virtual void CloseProgram() = 0;
    virtual void RunProgram(int fromLine) = 0;  // 1-based; 0 runs from the start
    virtual void StepProgram() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void Abort() = 0;

    virtual void SetFeedScale(double scale) = 0;
    virtual void SetRapidScale(double scale) = 0;
};

}  // namespace lcnchost
