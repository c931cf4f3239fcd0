#include "sim/Motion.h"

#include "sim/MachineModel.h"

#include <algorithm>
#include <cmath>
#include <functional>
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

// Where a fork probe moving from `from` to `to` first meets the block (see ProbeTarget).
std::optional<double> FirstForkContact(const ProbeTarget& target, const AxisVector& from,
                                       const AxisVector& to)
{
    const double half = target.forkGap / 2.0;
    // Crotch positions in Y at which the block stands between the prongs.
    const double straddleLow = target.yMax - half;
    const double straddleHigh = target.yMin + half;
    const auto at = [&](int axis, double fraction) {
        return from[axis] + (to[axis] - from[axis]) * fraction;
    };
    std::optional<double> best;
    // The path reaches `plane` along `axis` within its length; touching at the start counts.
    const auto consider = [&](int axis, double plane, const std::function<bool(double)>& onFace) {
        const double delta = to[axis] - from[axis];
        const double fraction = (plane - from[axis]) / delta;
        if (fraction < -FaceTolerance / std::abs(delta) || fraction > 1.0)
            return;
        const double clamped = std::max(fraction, 0.0);
        if (onFace(clamped) && (!best || clamped < *best))
            best = clamped;
    };
    const auto overBlockInX = [&](double f) { return Within(at(0, f), target.xMin, target.xMax); };
    // The prongs flank the block's sides from the crotch height down by their reach.
    const auto prongsBesideBlock = [&](double f) {
        const double z = at(2, f);
        return z - target.forkReach < target.zTop + FaceTolerance && z > target.zMin;
    };

    if (to[2] < from[2]) {
        consider(2, target.zTop, [&](double f) {
            return overBlockInX(f) && Within(at(1, f), straddleLow, straddleHigh);
        });
        consider(2, target.zTop + target.forkReach, [&](double f) {
            const double y = at(1, f);
            return overBlockInX(f) && (Within(y - half, target.yMin, target.yMax)
                                       || Within(y + half, target.yMin, target.yMax));
        });
    }
    // Sideways, the leading prong meets the near side from outside; straddling, the trailing
    // prong's inner face meets the far side.
    const auto sideContact = [&](double f) { return overBlockInX(f) && prongsBesideBlock(f); };
    const bool straddles = straddleLow <= straddleHigh;
    if (to[1] > from[1]) {
        consider(1, target.yMin - half, sideContact);
        if (straddles)
            consider(1, straddleHigh, sideContact);
    } else if (to[1] < from[1]) {
        consider(1, target.yMax + half, sideContact);
        if (straddles)
            consider(1, straddleLow, sideContact);
    }
    return best;
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
    if (target.forkGap > 0.0)
        return FirstForkContact(target, from, to);
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
    for (double* fork : {&result.forkGap, &result.forkReach}) {
        if (!std::isfinite(*fork) || *fork < 0.0)
            *fork = 0.0;
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
