// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

#include "measure/FrequencyPlan.h"
#include "measure/ResponsePoint.h"
#include "measure/ResponseSummary.h"
#include "measure/ScaleSequence.h"
#include "measure/SettleRule.h"
#include "measure/VerticalRanging.h"

namespace tavero::measure {
namespace {

TEST(FrequencyPlan, VisitsBothEndsOnTheGridAscendingWithoutRepeats) {
    struct Case {
        FrequencyPlan plan;
        std::size_t count;
        std::vector<std::uint32_t> first;  ///< the plan's first frequencies
    };
    const std::vector<Case> cases = {
        // 10 Hz to 1 MHz at 20 per decade: 5 decades, 100 steps.
        {{1000, 100000000, PlanSpacing::kLogarithmic, 20}, 101, {1000, 1125, 1250, 1425}},
        {{100000, 200000, PlanSpacing::kLinear, 11}, 11, {100000, 110000, 120000}},
        // 2.5 decades at 2 per decade take 5 steps.
        {{100, 31600, PlanSpacing::kLogarithmic, 2}, 6, {100, 325, 1000}},
        // Steps finer than the 0.25 Hz grid merge.
        {{100, 200, PlanSpacing::kLinear, 50}, 5, {100, 125, 150, 175, 200}},
        {{5000, 5000, PlanSpacing::kLogarithmic, 10}, 1, {5000}},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint32_t> plan = planFrequencies(c.plan, 25);
        ASSERT_EQ(plan.size(), c.count) << c.plan.fromCentiHz << " " << c.plan.toCentiHz;
        EXPECT_EQ(std::vector(plan.begin(), plan.begin() + c.first.size()), c.first);
        EXPECT_EQ(plan.front(), c.plan.fromCentiHz);
        EXPECT_EQ(plan.back(), c.plan.toCentiHz);
        for (std::size_t i = 0; i < plan.size(); ++i) {
            EXPECT_EQ(plan[i] % 25, 0U) << plan[i];
            EXPECT_TRUE(i == 0 || plan[i] > plan[i - 1]) << plan[i];
        }
    }
}

TEST(SettleRule, WaitsTheLongerOfTimeAndPeriods) {
    struct Case {
        SettleRule rule;
        std::uint32_t centiHz;
        std::chrono::microseconds wait;
    };
    using std::chrono::milliseconds;
    for (const Case& c : std::vector<Case>{
             {{milliseconds(5), 10}, 100000, milliseconds(10)},   // 10 periods of 1 kHz
             {{milliseconds(5), 10}, 10000000, milliseconds(5)},  // 100 kHz: the time
             {{milliseconds(0), 2.5}, 1000, milliseconds(250)},   // 2.5 periods of 10 Hz
             {{milliseconds(20), 0}, 1000, milliseconds(20)},
         }) {
        EXPECT_EQ(settleTime(c.rule, c.centiHz), c.wait) << c.centiHz;
    }
}

TEST(ScaleSequence, StepsThroughOneTwoFive) {
    struct Case {
        double value, atLeast, up, down;
    };
    for (const Case& c : std::vector<Case>{{0.15, 0.2, 0.5, 0.1},
                                           {0.2, 0.2, 0.5, 0.1},
                                           {0.19999999, 0.2, 0.5, 0.1},
                                           {3, 5, 10, 2},
                                           {1e-3, 1e-3, 2e-3, 5e-4},
                                           {7e-9, 1e-8, 2e-8, 5e-9}}) {
        const double scale = scaleAtLeast(c.value);
        EXPECT_NEAR(scale, c.atLeast, c.atLeast * 1e-9) << c.value;
        EXPECT_NEAR(nextScaleUp(scale), c.up, c.up * 1e-9) << c.value;
        EXPECT_NEAR(nextScaleDown(scale), c.down, c.down * 1e-9) << c.value;
    }
}

/// What a channel of an 8-division screen shows of a trace of `volts` peak-to-peak at a scale:
/// cut at +-5 divisions, nothing below a fifth of a division.
ChannelView screenView(double volts, double scale) {
    if (volts / scale < 0.2) {
        return {};
    }
    return {.peakToPeakVolts = std::min(volts, 10 * scale), .clipped = volts > 10 * scale};
}

TEST(VerticalRanging, FindsTheScaleForAboutSixDivisionsOrSaysWhyNot) {
    const VerticalLimits limits{
        .minVoltsPerDivision = 1e-3, .maxVoltsPerDivision = 10, .divisions = 8};
    struct Case {
        double volts, start;
        RangeVerdict verdict;
        double scale;
        int looks;
    };
    for (const Case& c : std::vector<Case>{
             {1.0, 0.2, RangeVerdict::kFits, 0.2, 1},     // 5 divisions at once
             {1.0, 0.05, RangeVerdict::kFits, 0.2, 2},    // clipped, then two steps up
             {1.0, 0.01, RangeVerdict::kFits, 0.2, 3},    // clipped twice, two steps up each
             {0.006, 0.2, RangeVerdict::kFits, 1e-3, 3},  // lost, a decade down, then fitted
             {0.3, 0.2, RangeVerdict::kFits, 0.05, 2},    // 1.5 divisions: finer
             {300, 1, RangeVerdict::kClipped, 10, 3},     // too big for the coarsest
             {0.0003, 1e-3, RangeVerdict::kBelowResolution, 1e-3, 1},
             {0.0, 0.2, RangeVerdict::kInvalid, 10, 6},  // nothing at any scale tried
         }) {
        VerticalRanging ranging(limits, c.start);
        RangeVerdict verdict = RangeVerdict::kRetry;
        int looks = 0;
        while (verdict == RangeVerdict::kRetry && looks < 20) {
            verdict = ranging.judge(screenView(c.volts, ranging.scale()));
            ++looks;
        }
        EXPECT_EQ(verdict, c.verdict) << c.volts << " V from " << c.start;
        EXPECT_NEAR(ranging.scale(), c.scale, c.scale * 1e-9) << c.volts << " V";
        EXPECT_EQ(looks, c.looks) << c.volts << " V from " << c.start;
    }
}

TEST(Phase, WrapsIntoTheHalfOpenTurnAndContinuesAcrossTheSweep) {
    for (const auto& [in, out] : std::vector<std::pair<double, double>>{{180, 180},
                                                                        {-180, 180},
                                                                        {190, -170},
                                                                        {-190, 170},
                                                                        {540, 180},
                                                                        {-45, -45},
                                                                        {270, -90}}) {
        EXPECT_DOUBLE_EQ(wrapPhase(in), out) << in;
    }
    // A third-order roll-off passes -180 degrees: the continued phase goes on below it.
    std::optional<double> previous;
    std::vector<double> continued;
    for (const double wrapped : {-10.0, -95.0, -175.0, 170.0, 100.0, 95.0}) {
        previous = continuePhase(previous, wrapped);
        continued.push_back(*previous);
    }
    EXPECT_EQ(continued, (std::vector<double>{-10, -95, -175, -190, -260, -265}));
}

/// Points of an analytic response at 20 per decade, phases continued as a sweep does.
std::vector<ResponsePoint> analyticPoints(double fromHz, double toHz,
                                          std::complex<double> (*response)(double)) {
    std::vector<ResponsePoint> points;
    std::optional<double> previous;
    for (const std::uint32_t centiHz :
         planFrequencies({static_cast<std::uint32_t>(fromHz * 100),
                          static_cast<std::uint32_t>(toHz * 100), PlanSpacing::kLogarithmic, 20},
                         25)) {
        const std::complex<double> h = response(centiHz / 100.0);
        ResponsePoint point{.frequencyCentiHz = centiHz,
                            .magnitudeDb = 20 * std::log10(std::abs(h)),
                            .phaseDeg = std::arg(h) * 180 / std::numbers::pi};
        point.unwrappedPhaseDeg = *(previous = continuePhase(previous, point.phaseDeg));
        points.push_back(point);
    }
    return points;
}

TEST(ResponseSummary, FindsCornersBandCentreAndReadsBetweenPoints) {
    const auto lowPass = [](double hz) {
        return 1.0 / std::complex<double>(1, 2 * std::numbers::pi * hz * 1e3 * 100e-9);
    };
    const auto bandPass = [](double hz) {  // 100 ohm, 10 mH, 100 nF
        const double w = 2 * std::numbers::pi * hz;
        return 100.0 / std::complex<double>(100, w * 10e-3 - 1 / (w * 100e-9));
    };
    const double corner = 1 / (2 * std::numbers::pi * 1e3 * 100e-9);
    const double resonance = 1 / (2 * std::numbers::pi * std::sqrt(10e-3 * 100e-9));

    const ResponseSummary low = summarize(analyticPoints(10, 1e6, lowPass));
    ASSERT_EQ(low.corners.size(), 1U);
    EXPECT_NEAR(low.corners[0].frequencyHz, corner, corner * 0.005);
    EXPECT_NEAR(low.corners[0].phaseDeg, -45, 1);
    EXPECT_FALSE(low.centreHz);

    const ResponseSummary band = summarize(analyticPoints(100, 1e6, bandPass));
    ASSERT_EQ(band.corners.size(), 2U);
    ASSERT_TRUE(band.centreHz);
    EXPECT_NEAR(*band.centreHz, resonance, resonance * 0.005);

    const std::vector<ResponsePoint> points = analyticPoints(10, 1e6, lowPass);
    const std::optional<ResponseReading> at = responseAt(points, corner);
    ASSERT_TRUE(at);
    EXPECT_NEAR(at->magnitudeDb, -3.01, 0.05);
    EXPECT_FALSE(responseAt(points, 5));
    EXPECT_FALSE(summarize({}).peak);
}

TEST(Exclusion, NamesEveryReasonForTheOutput) {
    EXPECT_EQ(exclusionName(Exclusion::kNone), "ok");
    EXPECT_EQ(exclusionName(Exclusion::kClipped), "clipped");
    EXPECT_EQ(exclusionName(Exclusion::kBelowResolution), "below-resolution");
    EXPECT_EQ(exclusionName(Exclusion::kInvalidMeasurement), "invalid-measurement");
    EXPECT_EQ(exclusionName(Exclusion::kTooFewSamplesPerPeriod), "too-few-samples-per-period");
    EXPECT_EQ(exclusionName(Exclusion::kScopeTimeout), "scope-timeout");
}

}  // namespace
}  // namespace tavero::measure
