#pragma once

#include "lcnc/IController.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace lcnchost {

// LinuxCNC through its NML channels (command, status, error), as its own displays reach it:
// the status is read straight from shared memory, and a command counts as taken once the
// status echoes its serial number and the task has run a few cycles past it, so the next
// status shows its effect.
//
// LinuxCNC counts as gone when its task's heartbeat stops: a status that has not moved for a
// moment is watched a little longer, then every call fails at once with the reason, and the
// channels are opened afresh (at most a few times a second) until a LinuxCNC answers again.
// Messages from LinuxCNC's error channel go to the reporter as they come.
class NmlController final : public IController
{
public:
    using Reporter = std::function<void(const QString&)>;

    NmlController(QString nmlFile, Reporter report);
    ~NmlController() override;
    NmlController(const NmlController&) = delete;
    NmlController& operator=(const NmlController&) = delete;

    const ControllerStatus& Status() override;

    void SetState(TaskState state) override;
    void SetMode(TaskMode mode) override;
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

    // Reports what LinuxCNC has said on its error channel since the last look. Never raises.
    void DrainMessages();

private:
    struct Channels;
    struct Message;

    void EnsureConnected();
    void Disconnect(const QString& reason);
    [[noreturn]] void Lost(const QString& reason);
    const void* ReadStatus();   // the raw status, or raises
    const void* FreshStatus();  // the raw status of a task that is alive, or raises
    // True once a command's effect shows in the raw status.
    using Settled = std::function<bool(const void* status)>;
    void Send(void* command, const QString& what, const Settled& settled = {});
    QString TakeErrorText(qint64 waitMs);
    bool ReadMessage(Message& message);

    QString m_nmlFile;
    Reporter m_report;
    std::unique_ptr<Channels> m_channels;
    QString m_downReason;            // why calls fail while disconnected
    qint64 m_lastAttemptMs = -1;     // last time the channels were opened
    std::optional<quint32> m_beat;   // the task's heartbeat as last seen
    qint64 m_beatSampledMs = 0;      // when it was last looked at
    qint64 m_beatMovedMs = 0;        // when it was last seen to move
    ControllerStatus m_status;
};

}  // namespace lcnchost
