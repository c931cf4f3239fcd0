#pragma once

#include <QString>

namespace hostlink {

// File name of the simulated host's socket inside the runtime folder.
inline constexpr char LinkSocketName[] = "zentyr-hostsim.sock";

// Full path of the per-user socket on which the simulated host serves: the user's runtime
// folder ($XDG_RUNTIME_DIR, private to the user), or, when the system offers none, a folder
// that Qt creates for the user alone. Read afresh on every call, so a process that changes its
// environment (tests do) sees the change.
QString LinkSocketPath();

}  // namespace hostlink
