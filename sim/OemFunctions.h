#pragma once

#include <QString>

namespace hostsim {

class MachineState;

// The host's OEM functions over the machine state: what a button press does, what a lamp or a
// readout shows, what writing a readout changes. None of them throws; refusals are reported on
// the status line. `macroDepth` is how deeply the request is nested in macro runs (0 for a
// peer's call).

void PressOemButton(MachineState& state, int code, int macroDepth);
bool ReadOemLed(const MachineState& state, int code);
double ReadOemDro(const MachineState& state, int code);
void WriteOemDro(MachineState& state, int code, double value);

// Queues G-code text; refused while the machine is in reset.
void RunHostCode(MachineState& state, const QString& text, int macroDepth);

// Runs the statements of macro file M<number> from the profile's macro folder.
void RunMacroFile(MachineState& state, int number, int macroDepth);

}  // namespace hostsim
