// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

namespace tavero::measure {

/// A scope channel's vertical scales.
struct VerticalLimits {
    double minVoltsPerDivision = 1e-3;
    double maxVoltsPerDivision = 10;
    double divisions = 8;  ///< on screen, bottom to top
};

/// What one channel showed at its scale.
struct ChannelView {
    std::optional<double> peakToPeakVolts;  ///< empty when the scope found nothing to measure
    bool clipped = false;                   ///< the trace ran past the screen's edge
};

enum class RangeVerdict {
    kFits,             ///< measure at this scale
    kRetry,            ///< look again at the new scale()
    kClipped,          ///< clipped even at the coarsest scale
    kBelowResolution,  ///< too small even at the finest scale
    kInvalid,          ///< nothing measurable at any scale tried
};

/// The 1-2-5 scale that shows `peakToPeakVolts` on about six divisions, within the limits.
double fittingScale(double peakToPeakVolts, const VerticalLimits& limits);

/// Ranges one channel for one point: starts at a scale (the last point's, or the source's
/// amplitude's), judges what the channel showed and names the scale to look at next, until the
/// trace fits or no scale is left to try.
class VerticalRanging {
public:
    /// Divisions below which a trace at the finest scale is too small to measure.
    static constexpr double kResolutionDivisions = 0.5;

    /// @param lostBefore nothing was seen of the channel at the finest scale at the point
    ///        before: a trace that small does not jump onto the screen from one point to the
    ///        next, so a coarser scale is not tried when it is lost again
    VerticalRanging(const VerticalLimits& limits, double startVoltsPerDivision,
                    bool lostBefore = false);

    /// The scale to look at, in volts per division.
    double scale() const { return scale_; }
    RangeVerdict judge(const ChannelView& view);

private:
    /// Moves to `next` unless it was tried already; whether it moved.
    bool moveTo(double next);
    RangeVerdict judgeNothingSeen();

    VerticalLimits limits_;
    double scale_;
    bool lostBefore_;
    std::vector<double> tried_;
};

}  // namespace tavero::measure
