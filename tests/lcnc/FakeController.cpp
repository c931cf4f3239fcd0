#include "FakeController.h"

using namespace lcnchost;

namespace {

QString Number(double v)
{
    return QString::number(v, 'g', 6);
}

QString Mode(bool jointMode)
{
    return jointMode ? QStringLiteral("joint") : QStringLiteral("axis");
}

}  // namespace

const ControllerStatus& FakeController::Status()
{
    if (gone)
        throw ControllerError(QStringLiteral("LinuxCNC stopped answering"));
    return status;
}

void FakeController::Take(const QString& command)
{
    if (gone)
        throw ControllerError(QStringLiteral("LinuxCNC stopped answering"));
    if (refusing)
        throw ControllerError(QStringLiteral("LinuxCNC refused %1").arg(command));
    journal += command;
}

void FakeController::On(TaskMode mode)
{
    status.state = TaskState::On;
    status.mode = mode;
}

void FakeController::SetState(TaskState state)
{
    static const char* names[] = {"EStop", "EStopReset", "Off", "On"};
    Take(QStringLiteral("SetState(%1)").arg(QLatin1String(names[int(state)])));
    status.state = state;
}

void FakeController::SetMode(TaskMode mode)
{
    static const char* names[] = {"Manual", "Auto", "Mdi"};
    Take(QStringLiteral("SetMode(%1)").arg(QLatin1String(names[int(mode)])));
    status.mode = mode;
}

void FakeController::ExecuteMdi(const QString& line) { Take(QStringLiteral("Mdi(%1)").arg(line)); }

void FakeController::JogContinuous(int axis, double speed, bool jointMode)
{
    Take(QStringLiteral("JogCont(%1, %2, %3)").arg(axis).arg(Number(speed), Mode(jointMode)));
}

void FakeController::JogIncrement(int axis, double distance, double speed, bool jointMode)
{
    Take(QStringLiteral("JogIncr(%1, %2, %3, %4)").arg(axis).arg(Number(distance), Number(speed), Mode(jointMode)));
}

void FakeController::JogStop(int axis, bool jointMode)
{
    Take(QStringLiteral("JogStop(%1, %2)").arg(axis).arg(Mode(jointMode)));
}

void FakeController::Home(int joint) { Take(QStringLiteral("Home(%1)").arg(joint)); }

void FakeController::SetTeleop(bool enable)
{
    Take(QStringLiteral("Teleop(%1)").arg(enable));
    status.motionMode = enable ? MotionMode::Teleop : MotionMode::Free;
}

void FakeController::SetFlood(bool on)
{
    Take(QStringLiteral("Flood(%1)").arg(on));
    status.flood = on;
}

void FakeController::SetMist(bool on)
{
    Take(QStringLiteral("Mist(%1)").arg(on));
    status.mist = on;
}

void FakeController::SpindleOn(double signedSpeed)
{
    Take(QStringLiteral("SpindleOn(%1)").arg(Number(signedSpeed)));
    status.spindleDirection = signedSpeed < 0 ? -1 : 1;
}

void FakeController::SpindleOff()
{
    Take(QStringLiteral("SpindleOff"));
    status.spindleDirection = 0;
}

void FakeController::OpenProgram(const QString& path)
{
    Take(QStringLiteral("Open(%1)").arg(path));
    status.file = path;
}

void FakeController::CloseProgram() { Take(QStringLiteral("Close")); }
void FakeController::RunProgram(int fromLine) { Take(QStringLiteral("Run(%1)").arg(fromLine)); }
void FakeController::StepProgram() { Take(QStringLiteral("Step")); }
void FakeController::Pause() { Take(QStringLiteral("Pause")); }
void FakeController::Resume() { Take(QStringLiteral("Resume")); }
void FakeController::Abort() { Take(QStringLiteral("Abort")); }
void FakeController::SetFeedScale(double scale) { Take(QStringLiteral("FeedScale(%1)").arg(Number(scale))); }
void FakeController::SetRapidScale(double scale) { Take(QStringLiteral("RapidScale(%1)").arg(Number(scale))); }
