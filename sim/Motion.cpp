#include "sim/Motion.h"

#include "sim/MachineModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace hostsim {

namespace {

constexpr double MsPerMinute = 60000.0;
// Tolerance for "on the face": positions come from decimal G-code words, so exact equality
// would miss contacts that are only off by rounding.
constexpr double FaceTolerance = 1e-9;

bool Within(double value, double low, double high)
{
    return value >= low - FaceTolerance && value <= high + FaceTolerance;
}

}  // namespace

double MoveDurationMs(const AxisVector& from, const AxisVector& to, double ratePerMinute)
{
    double squared = 0.0;
    for (int axis = 0; axis < AxisCount; ++axis) {
        const double delta = to[axis] - from[axis];
        squared += delta * delta;
    }
    const double length = std::sqrt(squared);
    if (!std::isfinite(length) || !(ratePerMinute > 0.0))
        return std::numeric_limits<double>::infinity();
    return length * MsPerMinute / ratePerMinute;
}

AxisVector Interpolate(const AxisVector& from, const AxisVector& to, double fraction)
{
    if (fraction <= 0.0)
        return from;
    if (fraction >= 1.0)
        return to;
    AxisVector result{};
    for (int axis = 0; axis < AxisCount; ++axis)
        result[axis] = from[axis] + (to[axis] - from[axis]) * fraction;
    return result;
}

std::optional<double> FirstProbeContact(const ProbeTarget& target, const AxisVector& from,
                                        const AxisVector& to)
{
    if (!target.enabled)
        return std::nullopt;
    const double low[3] = {target.xMin, target.yMin, target.zMin};
    const double high[3] = {target.xMax, target.yMax, target.zTop};

    // A probe resting on the top face is touching it: moving down from there is contact at
    // once, not a path into the block that would end at its far side.
    if (to[2] < from[2] && std::abs(from[2] - target.zTop) <= FaceTolerance
        && Within(from[0], target.xMin, target.xMax) && Within(from[1], target.yMin, target.yMax))
        return 0.0;

    std::optional<double> best;
    for (int axis = 0; axis < 3; ++axis) {
        const double delta = to[axis] - from[axis];
        if (delta == 0.0)
            continue;  // moving within the face's plane never crosses it
        for (const double plane : {low[axis], high[axis]}) {
            const double fraction = (plane - from[axis]) / delta;
            if (!(fraction > FaceTolerance / std::abs(delta)) || fraction > 1.0)
                continue;
            bool onFace = true;
            for (int other = 0; other < 3 && onFace; ++other) {
                if (other == axis)
                    continue;
                const double at = from[other] + (to[other] - from[other]) * fraction;
                onFace = Within(at, low[other], high[other]);
            }
            if (onFace && (!best || fraction < *best))
                best = fraction;
        }
    }
    return best;
}

ProbeTarget NormalisedProbeTarget(const ProbeTarget& target)
{
    ProbeTarget result = target;
    for (const double value : {target.xMin, target.xMax, target.yMin, target.yMax, target.zMin,
                               target.zTop}) {
        if (!std::isfinite(value))
            result.enabled = false;
    }
    if (result.xMin > result.xMax)
        std::swap(result.xMin, result.xMax);
    if (result.yMin > result.yMax)
        std::swap(result.yMin, result.yMax);
    if (result.zMin > result.zTop)
        std::swap(result.zMin, result.zTop);
    return result;
}

}  // namespace hostsim
