#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

namespace hostsim {

// Time source of the machine model. Tests and benchmarks inject a manual clock; the simulator
// program uses a steady clock.
class IClock
{
public:
    virtual ~IClock() = default;
    virtual qint64 NowMs() const = 0;
};

// A monotonic clock in milliseconds since its creation.
class SteadyClock final : public IClock
{
public:
    SteadyClock();
    qint64 NowMs() const override;

private:
    qint64 m_startNs;
};

// A clock that only moves when told to.
class ManualClock final : public IClock
{
public:
    qint64 NowMs() const override { return m_nowMs; }
    void Advance(qint64 ms) { m_nowMs += ms; }
    void Set(qint64 ms) { m_nowMs = ms; }

private:
    qint64 m_nowMs = 0;
};

// The block the probe touches: an axis-aligned box in machine coordinates. G31 moves stop at
// the first face they meet.
//
// The probe is a point unless `forkGap` is above 0. Then it is a fork (a probe made to
// straddle a standard): the tool position is the crotch, the two prongs stand `forkGap` apart
// inside and reach `forkReach` below the crotch. Straddling the block, the prongs' inner faces
// meet its two side faces in Y and the crotch lands on its top; off the straddle only a prong
// landing on the top is a contact.
struct ProbeTarget
{
    bool enabled = true;
    double xMin = -1.0, xMax = 1.0;
    double yMin = -1.0, yMax = 1.0;
    double zMin = -10.0, zTop = -1.0;
    double forkGap = 0.0;
    double forkReach = 0.5;
};

// Snapshot of what the simulator window shows.
struct AxisState
{
    double machine = 0.0;  // machine coordinate
    double work = 0.0;     // work coordinate (machine minus work offset), as DRO 800.. shows
    bool referenced = false;
};

class MachineState;

// The simulated controller: machine state, a G-code interpreter for the subset the add-on
// uses, motion in time, probing, program runs and macros. Plain logic: not thread-safe, no
// event loop, every operation first brings the machine up to the clock's present.
//
// Operations never throw for bad input: bad G-code, unknown codes and unreadable files are
// reported on the status line (Message history) and otherwise ignored.
//
// What callers can rely on:
// - The machine starts in reset (LED 800); button 1021 toggles it. Entering reset stops
//   motion, program, spindle and coolant. In reset, G-code, cycle start, jogging, referencing,
//   goto safe Z and switching the spindle or coolant on are refused.
// - Moves take |B - A| / rate minutes along a straight line over all six axes: G0 at the rapid
//   rate (DRO 104, default 100 units/min), G1 and G31 at the feed (DRO 818, default 50), jogs at
//   the slow-jog percentage (DRO 3, default 50) of the rapid rate. G4 P is in seconds.
// - IsMoving is true while a move, dwell, jog, queued line or program run is in progress,
//   also during a feed hold (LED 80), so a caller waiting for motion to end keeps waiting.
// - Code queues its lines and returns; each line is interpreted when the previous work ends.
//   A bad line is reported and skipped. Code is refused during a continuous jog and while a
//   program runs; at most 10000 lines, of 4 Mi characters together, wait; the rest are
//   reported and dropped.
// - An M-code the machine does not know runs macro file M<n>.m1s from MacroFolder() when it
//   exists; its Code, DoOEMButton, SetOEMDRO and Message lines run, others are reported.
// - DROs 800-805 read work coordinates (machine coordinates while MACH is on, LED 16); writing
//   them sets the work offset so the axis reads the value. DROs 83-88 are machine coordinates.
// - G31 stops at the first face of the probe target it meets and leaves the contact point (or
//   the end point when it meets none) in variables 2000-2005, in work coordinates.
// - Stop (button 1003) that ends work in progress (not held) also lights LED 80 ("Pause Active") until the
//   machine is given new work (code, a jog, cycle start, resume) or enters reset, so a caller
//   that waits for motion can tell a halt from an end.
// - Step sizes 265-269 select 1, 0.1, 0.01, 0.001 and 0.0001 (DROs 828 and 1); jogging is
//   enabled and continuous at start, with step 1.
// - LoadFile opens a relative path from the controller folder. DRO 816 is the 0-based index
//   of the program line being run (or next to run). A program that runs off its end, or meets
//   M2/M30, rewinds to line 0; a bad line stops the run at that line.
class MachineModel final
{
public:
    // How long a loaded file reports IsLoading before its lines are available.
    static constexpr qint64 LoadingMs = 300;

    // `controllerFolder` holds GCode/ and Macros/<profile>/ (both created when missing and the
    // folder is not empty).
    MachineModel(const IClock& clock, const QString& controllerFolder, const QString& profile);
    ~MachineModel();
    MachineModel(const MachineModel&) = delete;
    MachineModel& operator=(const MachineModel&) = delete;

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

    // ---- Simulation ----
    // Brings motion, dwell, program runs and loading up to the clock's present. The const
    // accessors below show the state as of the last Advance (every operation above advances).
    void Advance();

    // ---- For the simulator's window and for tests ----
    QString ControllerFolder() const;
    QString Profile() const;
    QString MacroFolder() const;        // <controller folder>/Macros/<profile>/
    ProbeTarget GetProbeTarget() const;
    void SetProbeTarget(const ProbeTarget& target);
    AxisState Axis(int axis) const;     // 0..5 = X, Y, Z, A, B, C
    bool InReset() const;
    QString StatusLine() const;         // the last Message
    QStringList MessageHistory() const; // every Message, oldest first (the newest 1000)
    qint64 MessageCount() const;        // how many Messages there have been
    QStringList MessagesSince(qint64 count) const;  // those after the first `count`, if kept
    int CurrentLine() const;            // line of the loaded file being run (DRO 816)
    QStringList LoadedLines() const;
    bool ProgramRunning() const;
    QString ButtonText() const;         // the last SetButtonText

private:
    std::unique_ptr<MachineState> m_state;
};

}  // namespace hostsim
