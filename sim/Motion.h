#pragma once

#include <array>
#include <optional>

namespace hostsim {

struct ProbeTarget;

inline constexpr int AxisCount = 6;  // X, Y, Z, A, B, C

// A position or direction over the six axes, in machine units.
using AxisVector = std::array<double, AxisCount>;

// Milliseconds a straight move from `from` to `to` takes at `ratePerMinute` units per minute.
// The length is the straight-line distance over all six axes. A rate of zero or less, or a
// non-finite length, gives infinity: callers refuse such moves before they start.
double MoveDurationMs(const AxisVector& from, const AxisVector& to, double ratePerMinute);

// The point a fraction 0..1 of the way from `from` to `to`; the ends are returned exactly.
AxisVector Interpolate(const AxisVector& from, const AxisVector& to, double fraction);

// The first point of the straight path from `from` to `to` (X, Y, Z only) that lies on a face
// of the probe target, as a fraction of the path in [0, 1]. A path that starts on a face does
// not touch that face at its start, except a probe resting on the top face and moving down,
// which touches it at once (0); a path that starts inside the box meets the face it leaves
// through, which is how a probe straddling the block finds both of its sides. No contact, a
// disabled target or a path without length give no value.
//
// A fork probe (forkGap above 0) meets the block as ProbeTarget describes; a fork that already
// touches and keeps pushing touches at once (0).
std::optional<double> FirstProbeContact(const ProbeTarget& target, const AxisVector& from,
                                        const AxisVector& to);

// The target with each pair of limits in ascending order; non-finite limits make it disabled.
// A fork gap or reach that is negative or not finite becomes 0 (a point probe, a flat fork).
ProbeTarget NormalisedProbeTarget(const ProbeTarget& target);

}  // namespace hostsim
