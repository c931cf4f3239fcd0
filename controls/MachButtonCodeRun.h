#pragma once

#include <QString>
#include <QStringList>

class IMessageBoxes;
class IMyScriptObject;
class IWaiter;

// The process-wide stop request. The Stop OEM button sets it and every other OEM button clears
// it; the wait loops of code runs look at it after each pause, and a run that finds it set
// clears it and ends at once. A request made while no run waits stays pending. UI thread only.
inline bool StopRequested = false;

// The lines of a code or script text: CR LF, LF or CR ends a line. A break at the very end
// does not add an empty line, so an empty text has no line; an empty line between two others
// is kept.
QStringList MachCodeLines(const QString& code);

// True for a line the run treats as an optional stop: its upper-cased text contains "M1"
// anywhere (so also M10, M12, M100, or M1 inside a comment).
bool IsOptionalStopLine(const QString& line);

// Runs `code` on the host line by line. Each ordinary line goes to Code, then the run waits
// until motion ends, polling IsMoving between pauses of 100 ms. An optional-stop line is never
// sent: the run waits for motion to end (50 ms pauses) and asks "<line>" CR "Proceed?" with
// Yes and No; anything but Yes ends the run. Pauses process window events, so the program stays
// live and another run may start and finish inside a pause (a nested run).
//
// The run touches nothing but its arguments: the caller may be destroyed during a pause.
// `mach`, `waiter` and `boxes` must outlive the run. A host failure raises and ends the run.
void RunMachCode(IMyScriptObject& mach, const QString& code, IWaiter& waiter,
                 IMessageBoxes& boxes);

// The host's macro folder for a profile: `machDir` (which ends with its separator), then
// "Macros", the separator and `profile`, without a trailing separator.
QString MachMacroFolder(const QString& machDir, const QString& profile);

// Writes `script` as the macro file M6666.m1s in `macroFolder`, each line ended by CR LF, in the
// system's 8-bit code page (what the host's script engine reads). The file is replaced whole
// or not at all. Raises a ZentyrError naming the file when it cannot be written, and refuses
// an empty folder (the file would land in the root or the working folder, where the host
// never looks). Returns the path written.
QString WriteMachMacroFile(const QString& macroFolder, const QString& script);
