#pragma once

#include "lcnc/IController.h"

#include <QStringList>

// LinuxCNC for the translation's tests: a status the test sets, a journal of the commands
// taken, the plain effect of each command on the status (state, mode, coolant, spindle), and
// switches for a LinuxCNC that is gone or that refuses every command.
class FakeController final : public lcnchost::IController
{
public:
    lcnchost::ControllerStatus status;
    QStringList journal;
    bool gone = false;      // every call raises
    bool refusing = false;  // every command raises

    const lcnchost::ControllerStatus& Status() override;

    void SetState(lcnchost::TaskState state) override;
    void SetMode(lcnchost::TaskMode mode) override;
    void ExecuteMdi(const QString& line) override;
    void JogContinuous(int axis, double speed, bool jointMode) override;
    void JogIncrement(int axis, double distance, double speed, bool jointMode) override;
    void JogStop(int axis, bool jointMode) override;
    void Home(int joint) override;
    void SetTeleop(bool enable) override;
    void SetFlood(bool on) override;
    void SetMist(bool on) override;
    void SpindleOn(double signedSpeed) override;
    void SpindleOff() override;
    void OpenProgram(const QString& path) override;
    void CloseProgram() override;
    void RunProgram(int fromLine) override;
    void StepProgram() override;
    void Pause() override;
    void Resume() override;
    void Abort() override;
    void SetFeedScale(double scale) override;
    void SetRapidScale(double scale) override;

    // A machine out of E-stop and on, in the given mode.
    void On(lcnchost::TaskMode mode = lcnchost::TaskMode::Manual);

private:
    void Take(const QString& command);
};
