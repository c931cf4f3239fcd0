#pragma once

#include "host/MachConstants.h"

// Compile-time host codes of the OEM kinds the simulated machine answers to, so that the hot
// read paths can dispatch with a plain switch. They are the vocabulary's own compile-time codes.
namespace hostsim::oem {

constexpr int DroCode(TmcOEMDROtype kind) { return OEMDROCodeOf(kind); }
constexpr int LedCode(TmcOEMLEDtype kind) { return OEMLEDCodeOf(kind); }
constexpr int ButtonCode(TmcOEMButtontype kind) { return OEMButtonCodeOf(kind); }

}  // namespace hostsim::oem
