#include "lcnc/NmlController.h"

#include <emc.hh>
#include <emc_nml.hh>
#include <nml_oi.hh>
#include <rcs.hh>
#include <rcs_print.hh>

#include <QThread>

#include <chrono>
#include <cmath>
#include <cstring>

namespace lcnchost {

namespace {

// The task writes its status every cycle (a millisecond in the configurations Zentyr ships),
// counting up its heartbeat. A heartbeat not seen to move within QuietMs is watched for up to
// StaleMs more before LinuxCNC counts as gone; both stay far below the link's call timeout.
constexpr qint64 QuietMs = 100;
constexpr qint64 StaleMs = 400;
constexpr qint64 ReconnectEveryMs = 250;
// How long LinuxCNC may take to echo a command, and how many task cycles after the echo the
// effects of a command reach the status.
constexpr qint64 EchoMs = 1000;
constexpr quint32 SettleCycles = 2;
constexpr qint64 SettleMs = 100;
constexpr qint64 EffectMs = 500;

const EMC_STAT& Stat(const void* status)
{
    return *static_cast<const EMC_STAT*>(status);
}

// Done and error both leave the task with nothing to wait for.
bool TaskRests(const EMC_STAT& e)
{
    return e.task.execState == EMC_TASK_EXEC_DONE || e.task.execState == EMC_TASK_EXEC_ERROR;
}

qint64 NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Pause1ms()
{
    QThread::usleep(1000);
}

AxisValues Tran(const EmcPose& pose)
{
    return {pose.tran.x, pose.tran.y, pose.tran.z};
}

QString Text(const char* chars, size_t capacity)
{
    return QString::fromLocal8Bit(chars, qsizetype(strnlen(chars, capacity)));
}

void Fill(const EMC_STAT& e, ControllerStatus& s)
{
    switch (e.task.state) {
    case EMC_TASK_STATE_ESTOP: s.state = TaskState::EStop; break;
    case EMC_TASK_STATE_ESTOP_RESET: s.state = TaskState::EStopReset; break;
    case EMC_TASK_STATE_OFF: s.state = TaskState::Off; break;
    case EMC_TASK_STATE_ON: s.state = TaskState::On; break;
    }
    switch (e.task.mode) {
    case EMC_TASK_MODE_MANUAL: s.mode = TaskMode::Manual; break;
    case EMC_TASK_MODE_AUTO: s.mode = TaskMode::Auto; break;
    case EMC_TASK_MODE_MDI: s.mode = TaskMode::Mdi; break;
    }
    switch (e.task.interpState) {
    case EMC_TASK_INTERP_IDLE: s.interp = InterpState::Idle; break;
    case EMC_TASK_INTERP_READING: s.interp = InterpState::Reading; break;
    case EMC_TASK_INTERP_PAUSED: s.interp = InterpState::Paused; break;
    case EMC_TASK_INTERP_WAITING: s.interp = InterpState::Waiting; break;
    }
    switch (e.motion.traj.mode) {
    case EMC_TRAJ_MODE_FREE: s.motionMode = MotionMode::Free; break;
    case EMC_TRAJ_MODE_COORD: s.motionMode = MotionMode::Coordinated; break;
    case EMC_TRAJ_MODE_TELEOP: s.motionMode = MotionMode::Teleop; break;
    }
    s.execDone = TaskRests(e);
    s.inPosition = e.motion.traj.inpos;
    s.motionQueue = e.motion.traj.queue;
    s.queuedMdi = e.task.queuedMDIcommands;
    s.jogging = e.motion.jogging_active;
    s.paused = e.motion.traj.paused || e.task.task_paused != 0;
    s.interpreterError = e.status == RCS_ERROR;

    s.position = Tran(e.motion.traj.actualPosition);
    s.currentVelocity = e.motion.traj.current_vel;
    s.g5xOffset = Tran(e.task.g5x_offset);
    s.g5xIndex = e.task.g5x_index;
    s.g92Offset = Tran(e.task.g92_offset);
    s.toolOffset = Tran(e.task.toolOffset);
    s.rotationXY = e.task.rotation_xy;
    for (size_t j = 0; j < size_t(AxisCount); ++j) {
        const EMC_JOINT_STAT& joint = e.motion.joint[j];
        s.velocity[j] = joint.velocity;
        s.homed[j] = joint.homed != 0;
        s.homing[j] = joint.homing != 0;
        s.minHardLimit[j] = joint.minHardLimit != 0;
        s.maxHardLimit[j] = joint.maxHardLimit != 0;
    }
    s.probedPosition = Tran(e.motion.traj.probedPosition);
    s.probeTripped = e.motion.traj.probe_tripped;

    s.feedScale = e.motion.traj.scale;
    s.rapidScale = e.motion.traj.rapid_scale;
    s.feedWord = e.task.activeSettings[1];
    s.speedWord = e.task.activeSettings[2];
    s.spindleSpeed = e.motion.spindle[0].speed;
    s.spindleDirection = e.motion.spindle[0].direction;
    s.flood = e.io.coolant.flood != 0;
    s.mist = e.io.coolant.mist != 0;
    s.toolInSpindle = e.io.tool.toolInSpindle;
    s.metric = e.task.programUnits != CANON_UNITS_INCHES;
    // Active G codes are held times ten: G91 is 910.
    s.incremental = false;
    for (int code : e.task.activeGCodes)
        s.incremental = s.incremental || code == 910;

    s.motionLine = e.task.motionLine;
    const size_t fileLength = strnlen(e.task.file, sizeof e.task.file);
    if (s.file.toLocal8Bit() != QByteArray(e.task.file, qsizetype(fileLength)))
        s.file = Text(e.task.file, sizeof e.task.file);
}

}  // namespace

struct NmlController::Channels
{
    std::unique_ptr<RCS_CMD_CHANNEL> command;
    std::unique_ptr<RCS_STAT_CHANNEL> status;
    std::unique_ptr<NML> error;
    EMC_STAT latest;  // the last status read
    bool haveStatus = false;
};

struct NmlController::Message
{
    bool isError = false;
    QString text;
};

NmlController::NmlController(QString nmlFile, Reporter report)
    : m_nmlFile(std::move(nmlFile)), m_report(std::move(report))
{
    // The channel library reports its own troubles on stderr; the reasons reach the operator
    // through the calls that fail instead.
    set_rcs_print_destination(RCS_PRINT_TO_NULL);
}

NmlController::~NmlController() = default;

void NmlController::EnsureConnected()
{
    if (m_channels)
        return;
    const qint64 now = NowMs();
    if (m_lastAttemptMs >= 0 && now - m_lastAttemptMs < ReconnectEveryMs)
        throw ControllerError(m_downReason);
    m_lastAttemptMs = now;
    auto channels = std::make_unique<Channels>();
    const QByteArray file = m_nmlFile.toLocal8Bit();
    channels->command = std::make_unique<RCS_CMD_CHANNEL>(emcFormat, "emcCommand", "xemc", file.constData());
    channels->status = std::make_unique<RCS_STAT_CHANNEL>(emcFormat, "emcStatus", "xemc", file.constData());
    channels->error = std::make_unique<NML>(emcFormat, "emcError", "xemc", file.constData());
    if (!channels->command->valid() || !channels->status->valid() || !channels->error->valid()) {
        m_downReason = QStringLiteral("LinuxCNC is not running (nothing answers on the channels of %1)")
                           .arg(m_nmlFile);
        throw ControllerError(m_downReason);
    }
    m_channels = std::move(channels);
    m_beat.reset();
}

void NmlController::Disconnect(const QString& reason)
{
    m_channels.reset();
    m_downReason = reason;
    m_lastAttemptMs = NowMs();
}

void NmlController::Lost(const QString& reason)
{
    Disconnect(reason);
    throw ControllerError(reason);
}

const void* NmlController::ReadStatus()
{
    EnsureConnected();
    // A channel opened a moment ago may have no status to show until the task next writes it.
    const qint64 deadline = m_channels->haveStatus ? 0 : NowMs() + SettleMs;
    for (;;) {
        const NMLTYPE type = m_channels->status->peek();
        if (type == EMC_STAT_TYPE) {
            std::memcpy(static_cast<void*>(&m_channels->latest), m_channels->status->get_address(),
                        sizeof(EMC_STAT));
            m_channels->haveStatus = true;
        } else if (type < 0) {
            Lost(QStringLiteral("LinuxCNC's status channel failed"));
        }
        if (m_channels->haveStatus)
            return &m_channels->latest;
        if (NowMs() > deadline)
            break;
        Pause1ms();
    }
    Disconnect(QStringLiteral("LinuxCNC has not published its status"));
    throw ControllerError(m_downReason);
}

const void* NmlController::FreshStatus()
{
    const EMC_STAT* e = static_cast<const EMC_STAT*>(ReadStatus());
    const qint64 now = NowMs();
    const bool sampledLately = m_beat && now - m_beatSampledMs <= QuietMs;
    const bool moved = !m_beat || *m_beat != e->task.heartbeat;
    m_beat = e->task.heartbeat;
    m_beatSampledMs = now;
    // A beat that moved since a recent look is proof of a running task; one that moved since a
    // look long ago may have stopped moving since.
    if (moved && sampledLately) {
        m_beatMovedMs = now;
        return e;
    }
    if (!moved && now - m_beatMovedMs <= QuietMs)
        return e;
    // Watch for the next beat; a busy computer may hold the task up for a while.
    const qint64 deadline = now + StaleMs;
    const quint32 seen = e->task.heartbeat;
    while (NowMs() < deadline) {
        Pause1ms();
        e = static_cast<const EMC_STAT*>(ReadStatus());
        if (e->task.heartbeat != seen) {
            m_beat = e->task.heartbeat;
            m_beatSampledMs = m_beatMovedMs = NowMs();
            return e;
        }
    }
    Lost(QStringLiteral("LinuxCNC stopped answering (its task has not run for %1 ms)").arg(StaleMs));
}

const ControllerStatus& NmlController::Status()
{
    Fill(*static_cast<const EMC_STAT*>(FreshStatus()), m_status);
    return m_status;
}

bool NmlController::ReadMessage(Message& message)
{
    const NMLTYPE type = m_channels->error->read();
    if (type <= 0)
        return false;
    const void* at = m_channels->error->get_address();
    message.isError = false;
    switch (type) {
    case EMC_OPERATOR_ERROR_TYPE:
        message.isError = true;
        message.text = Text(static_cast<const EMC_OPERATOR_ERROR*>(at)->error, LINELEN);
        break;
    case NML_ERROR_TYPE:
        message.isError = true;
        message.text = Text(static_cast<const NML_ERROR*>(at)->error, NML_ERROR_LEN);
        break;
    case EMC_OPERATOR_TEXT_TYPE:
        message.text = Text(static_cast<const EMC_OPERATOR_TEXT*>(at)->text, LINELEN);
        break;
    case NML_TEXT_TYPE:
        message.text = Text(static_cast<const NML_TEXT*>(at)->text, NML_TEXT_LEN);
        break;
    case EMC_OPERATOR_DISPLAY_TYPE:
        message.text = Text(static_cast<const EMC_OPERATOR_DISPLAY*>(at)->display, LINELEN);
        break;
    case NML_DISPLAY_TYPE:
        message.text = Text(static_cast<const NML_DISPLAY*>(at)->display, NML_DISPLAY_LEN);
        break;
    default:
        message.text = QStringLiteral("message of type %1").arg(type);
        break;
    }
    return true;
}

void NmlController::DrainMessages()
{
    if (!m_channels)
        return;
    Message message;
    while (ReadMessage(message)) {
        if (m_report)
            m_report(QStringLiteral("LinuxCNC: ") + message.text);
    }
}

QString NmlController::TakeErrorText(qint64 waitMs)
{
    const qint64 deadline = NowMs() + waitMs;
    QString text;
    Message message;
    do {
        while (ReadMessage(message)) {
            if (m_report)
                m_report(QStringLiteral("LinuxCNC: ") + message.text);
            if (message.isError && text.isEmpty())
                text = message.text;
        }
        if (!text.isEmpty())
            return text;
        Pause1ms();
    } while (NowMs() < deadline);
    return text;
}

void NmlController::Send(void* command, const QString& what, const Settled& settled)
{
    FreshStatus();  // a LinuxCNC that has gone fails here, before anything is written
    DrainMessages();  // what comes after the write belongs to this command
    RCS_CMD_MSG& message = *static_cast<RCS_CMD_MSG*>(command);
    if (m_channels->command->write(&message) != 0)
        Lost(QStringLiteral("LinuxCNC's command channel failed while sending %1").arg(what));
    const int serial = message.serial_number;

    const qint64 echoDeadline = NowMs() + EchoMs;
    const EMC_STAT* e = static_cast<const EMC_STAT*>(ReadStatus());
    while (e->echo_serial_number - serial < 0) {
        if (NowMs() > echoDeadline)
            Lost(QStringLiteral("LinuxCNC did not take %1").arg(what));
        Pause1ms();
        e = static_cast<const EMC_STAT*>(ReadStatus());
    }
    const quint32 echoed = e->task.heartbeat;
    const qint64 settleDeadline = NowMs() + SettleMs;
    while (e->task.heartbeat - echoed < SettleCycles && NowMs() < settleDeadline) {
        Pause1ms();
        e = static_cast<const EMC_STAT*>(ReadStatus());
    }
    // Some effects pass through slower parts of LinuxCNC (coolant through its I/O cycle, an MDI
    // line through the interpreter); the command returns once they show, once LinuxCNC has
    // refused it, or after a bounded wait.
    const qint64 effectDeadline = NowMs() + EffectMs;
    while (settled && e->status != RCS_ERROR && !settled(e) && NowMs() < effectDeadline) {
        Pause1ms();
        e = static_cast<const EMC_STAT*>(ReadStatus());
    }
    m_beat = e->task.heartbeat;
    m_beatSampledMs = m_beatMovedMs = NowMs();
    if (e->echo_serial_number == serial && e->status == RCS_ERROR) {
        const QString reason = TakeErrorText(50);
        throw ControllerError(reason.isEmpty() ? QStringLiteral("LinuxCNC refused %1").arg(what)
                                               : QStringLiteral("LinuxCNC refused %1: %2").arg(what, reason));
    }
}

// ---- Commands ----

void NmlController::SetState(TaskState state)
{
    EMC_TASK_SET_STATE m;
    switch (state) {
    case TaskState::EStop: m.state = EMC_TASK_STATE_ESTOP; break;
    case TaskState::EStopReset: m.state = EMC_TASK_STATE_ESTOP_RESET; break;
    case TaskState::Off: m.state = EMC_TASK_STATE_OFF; break;
    case TaskState::On: m.state = EMC_TASK_STATE_ON; break;
    }
    const EMC_TASK_STATE_ENUM wanted = m.state;
    // A state change ends when the task no longer waits for motion or I/O to follow it.
    Send(&m, QStringLiteral("the machine state"),
         [wanted](const void* e) { return Stat(e).task.state == wanted && TaskRests(Stat(e)); });
}

void NmlController::SetMode(TaskMode mode)
{
    EMC_TASK_SET_MODE m;
    switch (mode) {
    case TaskMode::Manual: m.mode = EMC_TASK_MODE_MANUAL; break;
    case TaskMode::Auto: m.mode = EMC_TASK_MODE_AUTO; break;
    case TaskMode::Mdi: m.mode = EMC_TASK_MODE_MDI; break;
    }
    const EMC_TASK_MODE_ENUM wanted = m.mode;
    Send(&m, QStringLiteral("the mode change"),
         [wanted](const void* e) { return Stat(e).task.mode == wanted && TaskRests(Stat(e)); });
}

void NmlController::ExecuteMdi(const QString& line)
{
    EMC_TASK_PLAN_EXECUTE m;
    const QByteArray text = line.toLocal8Bit();
    if (text.size() >= qsizetype(sizeof m.command))
        throw ControllerError(QStringLiteral("The G-code line is too long for LinuxCNC (at most %1 characters)")
                                  .arg(sizeof m.command - 1));
    std::memset(m.command, 0, sizeof m.command);
    std::memcpy(m.command, text.constData(), size_t(text.size()));
    // Read through: finished, refused, moving or dwelling, or waiting behind the lines before it.
    Send(&m, QStringLiteral("the MDI line \"%1\"").arg(line), [](const void* e) {
        const EMC_STAT& s = Stat(e);
        return s.status != RCS_EXEC || s.task.interpState == EMC_TASK_INTERP_WAITING
               || !TaskRests(s) || s.task.queuedMDIcommands > 0;
    });
}

void NmlController::JogContinuous(int axis, double speed, bool jointMode)
{
    EMC_JOG_CONT m;
    m.joint_or_axis = axis;
    m.vel = speed;
    m.jjogmode = jointMode ? 1 : 0;
    Send(&m, QStringLiteral("the jog"));
}

void NmlController::JogIncrement(int axis, double distance, double speed, bool jointMode)
{
    // LinuxCNC takes the step's length and its direction from the sign of the speed.
    EMC_JOG_INCR m;
    m.joint_or_axis = axis;
    m.incr = std::fabs(distance);
    m.vel = std::copysign(speed, distance);
    m.jjogmode = jointMode ? 1 : 0;
    Send(&m, QStringLiteral("the step jog"));
}

void NmlController::JogStop(int axis, bool jointMode)
{
    EMC_JOG_STOP m;
    m.joint_or_axis = axis;
    m.jjogmode = jointMode ? 1 : 0;
    Send(&m, QStringLiteral("the jog stop"));
}

void NmlController::Home(int joint)
{
    EMC_JOINT_HOME m;
    m.joint = joint;
    Send(&m, QStringLiteral("referencing"));
}

void NmlController::SetTeleop(bool enable)
{
    EMC_TRAJ_SET_TELEOP_ENABLE m;
    m.enable = enable ? 1 : 0;
    Send(&m, QStringLiteral("the change between joint and axis motion"), [enable](const void* e) {
        return (Stat(e).motion.traj.mode == EMC_TRAJ_MODE_TELEOP) == enable;
    });
}

void NmlController::SetFlood(bool on)
{
    if (on) {
        EMC_COOLANT_FLOOD_ON m;
        Send(&m, QStringLiteral("flood on"), [](const void* e) { return Stat(e).io.coolant.flood != 0; });
    } else {
        EMC_COOLANT_FLOOD_OFF m;
        Send(&m, QStringLiteral("flood off"), [](const void* e) { return Stat(e).io.coolant.flood == 0; });
    }
}

void NmlController::SetMist(bool on)
{
    if (on) {
        EMC_COOLANT_MIST_ON m;
        Send(&m, QStringLiteral("mist on"), [](const void* e) { return Stat(e).io.coolant.mist != 0; });
    } else {
        EMC_COOLANT_MIST_OFF m;
        Send(&m, QStringLiteral("mist off"), [](const void* e) { return Stat(e).io.coolant.mist == 0; });
    }
}

void NmlController::SpindleOn(double signedSpeed)
{
    EMC_SPINDLE_ON m;
    m.spindle = 0;
    m.speed = signedSpeed;
    m.factor = 0;
    m.xoffset = 0;
    m.wait_for_spindle_at_speed = 0;
    Send(&m, QStringLiteral("spindle start"),
         [](const void* e) { return Stat(e).motion.spindle[0].direction != 0; });
}

void NmlController::SpindleOff()
{
    EMC_SPINDLE_OFF m;
    m.spindle = 0;
    Send(&m, QStringLiteral("spindle stop"),
         [](const void* e) { return Stat(e).motion.spindle[0].direction == 0; });
}

void NmlController::OpenProgram(const QString& path)
{
    EMC_TASK_PLAN_OPEN m;
    const QByteArray name = path.toLocal8Bit();
    if (name.size() >= qsizetype(sizeof m.file))
        throw ControllerError(QStringLiteral("The file path is too long for LinuxCNC (at most %1 characters)")
                                  .arg(sizeof m.file - 1));
    std::memset(m.file, 0, sizeof m.file);
    std::memcpy(m.file, name.constData(), size_t(name.size()));
    Send(&m, QStringLiteral("opening \"%1\"").arg(path));
}

void NmlController::CloseProgram()
{
    EMC_TASK_PLAN_CLOSE m;
    Send(&m, QStringLiteral("closing the program"));
}

void NmlController::RunProgram(int fromLine)
{
    EMC_TASK_PLAN_RUN m;
    m.line = fromLine;
    Send(&m, QStringLiteral("cycle start"));
}

void NmlController::StepProgram()
{
    EMC_TASK_PLAN_STEP m;
    Send(&m, QStringLiteral("the single step"));
}

void NmlController::Pause()
{
    EMC_TASK_PLAN_PAUSE m;
    Send(&m, QStringLiteral("pause"));
}

void NmlController::Resume()
{
    EMC_TASK_PLAN_RESUME m;
    Send(&m, QStringLiteral("resume"));
}

void NmlController::Abort()
{
    EMC_TASK_ABORT m;
    Send(&m, QStringLiteral("stop"));
}

void NmlController::SetFeedScale(double scale)
{
    EMC_TRAJ_SET_SCALE m;
    m.scale = scale;
    Send(&m, QStringLiteral("the feed override"));
}

void NmlController::SetRapidScale(double scale)
{
    EMC_TRAJ_SET_RAPID_SCALE m;
    m.scale = scale;
    Send(&m, QStringLiteral("the rapid override"));
}

}  // namespace lcnchost
