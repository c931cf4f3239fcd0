#pragma once

#include <QString>

// The location under which Zentyr starts the simulated host it ships with. The controller's
// folder is the folder of its location (MachDir), and Zentyr writes generated programs and
// macros there, so the location lies inside the simulated controller's folder
// `controllerFolder`: a link named "hostsim" there leads to the hostsim beside Zentyr in
// `programFolder`. The link is made when missing and renewed when it leads elsewhere (another
// build or installation ran last); a regular program of that name is the user's and stays.
//
// When both folders are one, or the link cannot be made, the hostsim in `programFolder` is
// the location, and `problem` (if given) says what failed.
QString BundledHostLocation(const QString& programFolder, const QString& controllerFolder,
                            QString* problem = nullptr);

// A stored host location that names the hostsim beside Zentyr itself (kept by a run from
// before the controller's folder was the user's own) would make the program folder MachDir,
// where nothing may be written and where hostsim no longer looks; such a location is taken as
// `bundledLocation`. Any other location is the operator's choice and stays.
QString MigratedHostLocation(const QString& stored, const QString& programFolder,
                             const QString& bundledLocation);
