#pragma once

#include "sim/GCodeInterpreter.h"
#include "sim/MachineModel.h"
#include "sim/Motion.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace hostsim {

struct MachineSettings;
class StatusLog;

// A unit of queued work. G-code lines are interpreted only when they reach the head of the
// queue, so incremental moves and offsets apply to the position the machine has by then.
struct WorkItem
{
    enum class Kind { GCode, StepJog, Reference, SafeZ };
    Kind kind = Kind::GCode;
    QString text;          // GCode
    int axis = 0;          // StepJog
    double distance = 0;   // StepJog
    int axisMask = 0;      // Reference: bit per axis
    int macroDepth = 0;    // how many macros deep the line was issued
};

// Runs the machine in time: the queue of G-code lines and machine commands, the loaded
// program, the one activity (move, dwell or continuous jog) in progress, feed hold, and probe
// contacts. Time only moves through Advance(now); work that finishes before `now` hands over
// to the next piece of work at its exact end time, so the outcome does not depend on how often
// the clock is read. Not thread-safe; re-entrant calls from macros only queue work.
class MotionExecutor final
{
public:
    // Runs macro file M<number>; statements it issues carry `depth` + 1.
    using MacroRunner = std::function<void(int number, int depth)>;
    using MacroExists = std::function<bool(int number)>;

    // Deepest macro nesting allowed before a macro call is refused.
    static constexpr int MaxMacroDepth = 8;
    // Macro runs allowed in one pass at one instant of the clock; more means a macro loop.
    static constexpr int MaxMacroRunsPerInstant = 1000;
    static constexpr qsizetype MaxQueuedItems = 10000;
    // Text the waiting lines may hold together: lines up to the link's longest text would
    // otherwise let the queue take hundreds of megabytes.
    static constexpr qsizetype MaxQueuedTextUnits = 4 * 1024 * 1024;

    MotionExecutor(MachineSettings& settings, StatusLog& log, const ProbeTarget& probe);
    MotionExecutor(const MotionExecutor&) = delete;
    MotionExecutor& operator=(const MotionExecutor&) = delete;

    void SetMacroHooks(MacroRunner runner, MacroExists exists);

    // Brings all work up to `nowMs`; a clock that goes back is held at its latest value.
    void Advance(double nowMs);
    double NowMs() const { return m_nowMs; }

    // ---- Work ----
    // Queues each line of `text` (CR LF, LF or CR separated). Lines issued by a running macro
    // go ahead of the work already queued, in their own order. Work beyond MaxQueuedItems, or
    // text beyond MaxQueuedTextUnits, is dropped and reported, so a peer cannot grow the queue
    // without bound.
    void EnqueueCode(const QString& text, int macroDepth = 0);
    void EnqueueItem(const WorkItem& item);
    // Starts or extends a continuous jog of one axis (direction +1 or -1). Refused (false)
    // while other work runs.
    bool StartJog(int axis, int direction);
    // Ends motion, dwell, jog, queued work and the program run where they are.
    void Stop();
    // Stop as the operator's Stop button does it: when it ended work in progress that was not
    // held, the machine reports itself halted until it is given new work (see HaltedByStop).
    void OperatorStop();
    // Feed hold: freezes the current move or dwell. False when there is nothing to hold.
    bool Pause();
    bool Resume();

    // ---- Program ----
    void LoadProgram(const QStringList& lines);
    void CloseProgram();
    const QStringList& ProgramLines() const { return m_program; }
    int ProgramLine() const { return m_programLine; }  // 0-based index of the current line
    bool SetProgramLine(int line);
    bool StartProgram();  // false when nothing is loaded
    bool ProgramRunning() const { return m_programRunning; }

    // ---- State ----
    AxisVector Position() const;  // machine coordinates at NowMs()
    AxisVector Velocity() const;  // units per minute per axis
    // Whether any motion, dwell, jog, queued work or program run is in progress (also while
    // held): what the host reports as moving.
    bool IsBusy() const;
    bool IsPaused() const { return m_paused; }
    // An operator's Stop ended work in progress, and no work, jog, program run or resume has
    // been started since.
    bool HaltedByStop() const { return m_haltedByStop; }
    bool IsJogging() const { return m_activity.kind == Activity::Kind::Jog; }
    bool IsDwelling() const { return m_activity.kind == Activity::Kind::Dwell; }

private:
    struct Activity
    {
        enum class Kind { None, Move, Dwell, Jog };
        Kind kind = Kind::None;
        AxisVector from{};
        AxisVector to{};
        double startMs = 0.0;  // moved forward on resume, so elapsed time excludes the hold
        double durationMs = 0.0;
        bool probe = false;
        int referenceMask = 0;
        AxisVector jogDirection{};
        double jogRate = 0.0;
    };

    double ElapsedMs() const;
    AxisVector PositionAt(double elapsedMs) const;
    void Pump();
    void CompleteActivity();
    void StartStep(const BlockStep& step);
    void RunItem(const WorkItem& item);
    void RunProgramLine();
    void FinishProgramLine();
    void EndProgram();
    bool RunBlock(const QString& text, int macroDepth, QString& problem);
    void ApplyPlan(const BlockPlan& plan);
    void RunMacro(int number);
    bool Admit(const WorkItem& item);

    MachineSettings& m_settings;
    StatusLog& m_log;
    const ProbeTarget& m_probe;
    MacroRunner m_macroRunner;
    MacroExists m_macroExists;

    double m_nowMs = 0.0;
    double m_cursorMs = 0.0;  // when the next piece of work starts
    AxisVector m_machine{};   // position when no activity runs, else where it started
    Activity m_activity;
    bool m_paused = false;
    double m_pausedElapsedMs = 0.0;
    bool m_haltedByStop = false;

    std::deque<WorkItem> m_queue;
    qsizetype m_queuedTextUnits = 0;  // text of the items in m_queue and m_collected
    std::deque<BlockStep> m_steps;
    int m_stepsDepth = 0;  // macro depth of the line the pending steps belong to
    bool m_pumping = false;
    int m_collecting = 0;          // > 0 while a macro runs: its work is collected ...
    QList<WorkItem> m_collected;   // ... and then put in front of the queue
    double m_instantMs = -1.0;
    int m_instantMacroRuns = 0;

    QStringList m_program;
    int m_programLine = 0;
    bool m_programRunning = false;
    bool m_lineActive = false;
    bool m_stopAfterLine = false;
};

}  // namespace hostsim
