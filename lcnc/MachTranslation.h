#pragma once

#include "lcnc/ControllerStatus.h"

#include <QHash>
#include <QString>

#include <array>
#include <functional>
#include <span>

namespace lcnchost {

class IController;

// What the translation needs to know about the machine beyond LinuxCNC's status.
struct TranslationConfig
{
    double maxVelocity = 1.0;  // units per second: the configuration's top linear speed
    QString programFolder;     // where relative program paths are found
    double safeZ = 1.0;        // machine Z of "Goto safe Z"
};

// The host's script operations, with the meaning Zentyr's windows give them, carried out on
// LinuxCNC. OEM buttons, lamps and readouts are looked up in three tables (one row per code or
// run of codes); a code without a row is answered as the simulated host answers a code it has
// nothing behind: a button is accepted and does nothing, a lamp is dark, a readout keeps what was
// last written to it.
//
// Readings never change anything. A command LinuxCNC cannot carry out now (machine in reset,
// program running, LinuxCNC refusing) raises ControllerError with the reason, which reaches
// the operator; so does a LinuxCNC that cannot be reached, for every operation. Requests that
// have nothing to act on (pause with nothing running, stop while idle) do nothing.
//
// What LinuxCNC has no notion of lives here: jogging enabled, continuous or step jogging, the
// step size and jog speed, the machine-coordinate display, single-step mode, the line a run
// starts from, the spindle direction of the next start and the safe Z height.
class MachTranslation final
{
public:
    using Reporter = std::function<void(const QString&)>;

    // `report` receives the host's status-line messages and what the translation notes on the
    // way (codes it has nothing behind).
    MachTranslation(IController& controller, TranslationConfig config, Reporter report = {});
    MachTranslation(const MachTranslation&) = delete;
    MachTranslation& operator=(const MachTranslation&) = delete;

    // ---- The fourteen script operations ----
    void DeActivateSignal(int signal);
    double GetVar(int index);
    void Code(const QString& text);
    bool IsMoving();
    void DoOEMButton(int code);
    void DoButton(int number);
    bool GetOEMLed(int code);
    double GetOEMDRO(int code);
    void SetOEMDRO(int code, double value);
    int IsLoading();
    void SetButtonText(const QString& text);
    void Message(const QString& text);
    QString FileName();
    void LoadFile(const QString& path);

    // Stops every jog in progress and nothing else; for a link that dropped. Never raises: with
    // LinuxCNC out of reach there is nothing to stop.
    void StopJogs();

    // The codes with a row of their own, for the table of what is honoured.
    static QList<int> HonouredButtons();
    static QList<int> HonouredLeds();
    static QList<int> HonouredDros();

    QString LastMessage() const { return m_lastMessage; }

    // The five jog step sizes of the step-value buttons, largest first.
    static constexpr std::array<double, 5> StepSizes = {1.0, 0.1, 0.01, 0.001, 0.0001};
    // The feed override goes no higher than 200 %, the top of Zentyr's frames.
    static constexpr double MaxFeedScale = 2.0;

private:
    using Press = void (MachTranslation::*)(int index);
    using ReadLed = bool (MachTranslation::*)(const ControllerStatus& s, int index) const;
    using ReadDro = double (MachTranslation::*)(const ControllerStatus& s, int index) const;
    using WriteDro = void (MachTranslation::*)(int index, double value);

    // A row covers `count` consecutive codes from `code`; the handler receives the index.
    struct ButtonRow { int code; int count; Press press; };
    struct LedRow { int code; int count; ReadLed read; };
    struct DroRow { int code; int count; ReadDro read; WriteDro write; };

    static std::span<const ButtonRow> ButtonTable();
    static std::span<const LedRow> LedTable();
    static std::span<const DroRow> DroTable();
    template <typename Row>
    static const Row* Find(std::span<const Row> table, int code, int* index)
    {
        for (const Row& row : table) {
            if (code >= row.code && code < row.code + row.count) {
                *index = code - row.code;
                return &row;
            }
        }
        return nullptr;
    }

    void Note(const QString& text);

    // ---- Conditions ----
    QString LoadedFile(const ControllerStatus& s) const;  // empty when none is open
    bool ProgramActive(const ControllerStatus& s) const;  // running, paused or stepping
    bool Busy(const ControllerStatus& s) const;           // interpreter, MDI or homing at work
    void RequireOn(const ControllerStatus& s, const QString& what) const;
    void RequireIdle(const ControllerStatus& s, const QString& what) const;
    void EnsureMode(TaskMode mode, const QString& what);
    void SendMdi(const QString& line, const QString& what);
    void StartProgram(int fromIndex);
    AxisValues WorkPosition(const ControllerStatus& s, const AxisValues& machine) const;

    // ---- Buttons ----
    void PressReset(int);
    void PressCycleStart(int);
    void PressPause(int);
    void PressRewind(int);
    void PressStop(int);
    void PressSingle(int);
    void PressResume(int);
    void PressRunFromHere(int);
    void PressZeroAll(int);
    void PressZero(int axis);
    void PressReference(int joint);
    void PressHomeAll(int);
    void PressSafeZ(int);
    void PressMachineCoordinates(int);
    void PressFloodToggle(int);
    void PressMistToggle(int);
    void PressCoolant(int which);  // flood on, flood off, mist on, mist off
    void PressSpindleToggle(int);
    void PressJoggingToggle(int);
    void PressJogContinuous(int);
    void PressJogStep(int);
    void PressStepValue(int index);
    void PressPushToJog(int index);
    void PressCloseFile(int);

    // ---- Lamps ----
    bool LedReset(const ControllerStatus& s, int) const;
    bool LedEmergency(const ControllerStatus& s, int) const;
    bool LedMist(const ControllerStatus& s, int) const;
    bool LedFlood(const ControllerStatus& s, int) const;
    bool LedJogContinuous(const ControllerStatus& s, int) const;
    bool LedJogStep(const ControllerStatus& s, int) const;
    bool LedJoggingEnabled(const ControllerStatus& s, int) const;
    bool LedMachineCoordinates(const ControllerStatus& s, int) const;
    bool LedPaused(const ControllerStatus& s, int) const;
    bool LedSingleStep(const ControllerStatus& s, int) const;
    bool LedSpindleRunning(const ControllerStatus& s, int) const;
    bool LedSpindleClockwise(const ControllerStatus& s, int) const;
    bool LedReferenced(const ControllerStatus& s, int axis) const;
    bool LedInch(const ControllerStatus& s, int) const;
    bool LedMillimetre(const ControllerStatus& s, int) const;
    bool LedIdle(const ControllerStatus& s, int) const;
    bool LedRunning(const ControllerStatus& s, int) const;
    bool LedAbsolute(const ControllerStatus& s, int) const;
    bool LedIncremental(const ControllerStatus& s, int) const;
    bool LedLimit(const ControllerStatus& s, int axis, int index) const;  // index 0 plus, 1 minus
    bool LedLimitX(const ControllerStatus& s, int index) const { return LedLimit(s, 0, index); }
    bool LedLimitY(const ControllerStatus& s, int index) const { return LedLimit(s, 1, index); }
    bool LedLimitZ(const ControllerStatus& s, int index) const { return LedLimit(s, 2, index); }

    // ---- Readouts ----
    double DroAxis(const ControllerStatus& s, int axis) const;
    double DroMachine(const ControllerStatus& s, int axis) const;
    double DroVelocity(const ControllerStatus& s, int axis) const;
    double DroBlendedVelocity(const ControllerStatus& s, int) const;
    double DroLine(const ControllerStatus& s, int) const;
    double DroSpindleSpeed(const ControllerStatus& s, int) const;
    double DroFeed(const ControllerStatus& s, int) const;
    double DroFeedOverride(const ControllerStatus& s, int) const;
    double DroRapid(const ControllerStatus& s, int) const;
    double DroSafeZ(const ControllerStatus& s, int) const;
    double DroJogSpeed(const ControllerStatus& s, int) const;
    double DroJogStep(const ControllerStatus& s, int) const;
    double DroTool(const ControllerStatus& s, int) const;
    double DroToolLength(const ControllerStatus& s, int) const;
    double DroFixtureOffset(const ControllerStatus& s, int axis) const;
    double DroG92Offset(const ControllerStatus& s, int axis) const;
    double DroFixtureNumber(const ControllerStatus& s, int) const;

    void SetAxis(int axis, double value);
    void SetLine(int, double value);
    void SetSpindleSpeed(int, double value);
    void SetFeed(int, double value);
    void SetFeedOverride(int, double value);
    void SetRapid(int, double value);
    void SetSafeZ(int, double value);
    void SetJogSpeed(int, double value);
    void SetJogStep(int, double value);
    void SetFixtureOffset(int axis, double value);

    IController& m_controller;
    TranslationConfig m_config;
    Reporter m_report;
    QString m_lastMessage;
    QString m_buttonText;

    bool m_jogEnabled = true;
    bool m_jogContinuous = true;
    double m_jogStep = StepSizes[0];
    double m_jogSpeed = 40.0;  // units per minute
    bool m_machineCoordinates = false;
    bool m_singleStep = false;
    int m_nextLine = 0;        // 0-based line the next run starts from
    bool m_spindleClockwise = true;
    bool m_fileClosed = false;  // closed here; LinuxCNC's status still names it
    std::array<bool, AxisCount> m_jogging{};  // continuous jogs started here
    bool m_jogJointMode = true;
    QHash<int, double> m_otherDros;
};

}  // namespace lcnchost
