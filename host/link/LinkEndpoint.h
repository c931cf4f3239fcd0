#pragma once

#include <QString>

namespace hostlink {

// File name of the simulated host's socket inside the runtime folder.
inline constexpr char LinkSocketName[] = "zentyr-hostsim.sock";

// Full path of the per-user socket on which the simulated host serves: the user's runtime
// folder ($XDG_RUNTIME_DIR, private to the user), or, when the system offers none, a folder
// that Qt creates for the user alone. Should even that be unusable (say, another user has
// taken its name), a folder of our own in the temporary folder, private to the user; never
// the shared temporary folder itself, where anyone could put a socket of theirs in our place.
// Empty when no private folder can be had: nothing then serves or connects. Read afresh on
// every call, so a process that changes its environment (tests do) sees the change.
QString LinkSocketPath();

}  // namespace hostlink
