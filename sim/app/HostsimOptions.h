#pragma once

#include <QString>
#include <QStringList>

namespace hostsim {

// The profile the simulator uses when started without one; its file ships beside the program.
inline constexpr char DefaultProfile[] = "Mach3Mill";

struct HostsimOptions
{
    QString profile = QLatin1String(DefaultProfile);
    QString controllerFolder;  // holds GCode/ and Macros/<profile>/
    double forkGap = 0.0;      // the probe's fork gap; 0: a point probe
    QStringList warnings;      // what was wrong with the command line, for the status line
};

// Reads the controller's command line: `/p "Profile"` or `/p Profile` (also `-p`). A name still wrapped in double quotes, even split over several
// arguments by a caller that did not honour the quotes, is taken whole without them.
// `/fork <gap>` (also `-fork`) makes the probe a fork of that inner gap, for straddling a
// standard; a gap that is not a number from 0 to 100 is refused with a warning. Other
// arguments are ignored. A profile name that is empty or could leave the macro folder (a path
// separator, "." or "..") is refused with a warning and the default profile is used.
//
// The controller folder is `homeOverride` when not empty (HOSTSIM_HOME), else `defaultFolder`.
HostsimOptions ParseHostsimOptions(const QStringList& arguments, const QString& defaultFolder,
                                   const QString& homeOverride);

// Makes the controller folder hold what a controller's folder holds: GCode/, Macros/<profile>/
// and the profile file "<profile>.xml", copied from the program's folder when the controller
// folder has none (an existing one is the user's and stays). Returns what could not be done,
// one line each, for the status line.
QStringList PrepareControllerFolder(const QString& controllerFolder, const QString& profile,
                                    const QString& programFolder);

}  // namespace hostsim
