#pragma once

#include <QString>

namespace hostlink {

// The simulated controller's own folder, agreed by both ends of the link: hostsim keeps its
// GCode/ and Macros/<profile>/ folders and its profile there, and Zentyr takes it as the
// controller's folder (MachDir), where it writes generated programs and macros.
//
// HOSTSIM_HOME when set; otherwise a folder of the user's own, "zentyr/hostsim" in the user's
// data folder ($XDG_DATA_HOME, usually ~/.local/share). Not the programs' folder: where the
// programs are installed the user cannot write, and the controller's files are the user's.
// Read afresh on every call.
QString HostsimFolder();

}  // namespace hostlink
