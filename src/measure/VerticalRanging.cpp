// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/VerticalRanging.h"

#include <algorithm>
#include <cmath>

#include "measure/ScaleSequence.h"

namespace tavero::measure {

namespace {

constexpr double kTargetDivisions = 6;
/// A trace above this share of the screen is looked at again one scale coarser: its peaks
/// come close to the edge, where a scope's measurement is no longer trusted.
constexpr double kHighShare = 0.9;
/// A trace below this many divisions is looked at again at a finer scale.
constexpr double kLowDivisions = 2;
/// When nothing was seen the scale jumps by a decade: the trace was either far too small or
/// far off the screen.
constexpr double kDecade = 10;
constexpr std::size_t kMostLooks = 6;

bool same(double a, double b) {
    return std::abs(a - b) <= 1e-9 * std::max(std::abs(a), std::abs(b));
}

double clampScale(double scale, const VerticalLimits& limits) {
    return std::clamp(scale, limits.minVoltsPerDivision, limits.maxVoltsPerDivision);
}

}  // namespace

double fittingScale(double peakToPeakVolts, const VerticalLimits& limits) {
    const double wanted = std::max(peakToPeakVolts, 0.0) / kTargetDivisions;
    return clampScale(wanted > 0 ? scaleAtLeast(wanted) : limits.minVoltsPerDivision, limits);
}

VerticalRanging::VerticalRanging(const VerticalLimits& limits, double startVoltsPerDivision,
                                 bool lostBefore)
    : limits_(limits), scale_(clampScale(startVoltsPerDivision, limits)), lostBefore_(lostBefore) {}

bool VerticalRanging::moveTo(double next) {
    next = clampScale(next, limits_);
    const bool tried = std::any_of(tried_.begin(), tried_.end(),
                                   [next](double scale) { return same(scale, next); });
    if (tried || tried_.size() >= kMostLooks) {
        return false;
    }
    scale_ = next;
    return true;
}

RangeVerdict VerticalRanging::judgeNothingSeen() {
    // First finer (the usual case: a trace lost in the line's width), then coarser than any
    // scale tried.
    const double finest = *std::min_element(tried_.begin(), tried_.end());
    const double coarsest = *std::max_element(tried_.begin(), tried_.end());
    if (finest > limits_.minVoltsPerDivision && moveTo(scaleAtLeast(finest / kDecade))) {
        return RangeVerdict::kRetry;
    }
    if (!lostBefore_ && coarsest < limits_.maxVoltsPerDivision &&
        moveTo(scaleAtLeast(coarsest * kDecade))) {
        return RangeVerdict::kRetry;
    }
    return RangeVerdict::kInvalid;
}

RangeVerdict VerticalRanging::judge(const ChannelView& view) {
    tried_.push_back(scale_);
    if (!view.peakToPeakVolts) {
        return judgeNothingSeen();
    }
    const double volts = *view.peakToPeakVolts;
    const double divisions = volts / scale_;
    if (view.clipped || divisions > kHighShare * limits_.divisions) {
        // A clipped trace measures short: at least two steps up, more when it says so.
        const double next =
            view.clipped ? std::max(nextScaleUp(nextScaleUp(scale_)), fittingScale(volts, limits_))
                         : std::max(nextScaleUp(scale_), fittingScale(volts, limits_));
        if (scale_ < limits_.maxVoltsPerDivision && moveTo(next)) {
            return RangeVerdict::kRetry;
        }
        return view.clipped ? RangeVerdict::kClipped : RangeVerdict::kFits;
    }
    if (divisions < kLowDivisions) {
        const double next = fittingScale(volts, limits_);
        if (next < scale_ && !same(next, scale_) && moveTo(next)) {
            return RangeVerdict::kRetry;
        }
        return divisions >= kResolutionDivisions ? RangeVerdict::kFits
                                                 : RangeVerdict::kBelowResolution;
    }
    return RangeVerdict::kFits;
}

}  // namespace tavero::measure
