// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "measure/ToneEstimator.h"

namespace tavero::measure {
namespace {

struct Tone {
    double hz, amplitude, phaseDeg;
};

/// A trace of a tone plus an offset and a second tone, quantised to `voltsPerCode` with
/// Gaussian noise of `noiseVolts`, starting `startSeconds` from the trigger.
Waveform synthesise(const Tone& tone, std::size_t samples, double interval, double startSeconds,
                    double offset, double voltsPerCode, double noiseVolts, const Tone& other) {
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, noiseVolts > 0 ? noiseVolts : 1e-30);
    Waveform trace{.volts = {},
                   .sampleIntervalSeconds = interval,
                   .startSeconds = startSeconds,
                   .voltsPerCode = voltsPerCode,
                   .clipped = false};
    for (std::size_t n = 0; n < samples; ++n) {
        const double t = startSeconds + static_cast<double>(n) * interval;
        double v = offset + noise(random);
        for (const Tone& t0 : {tone, other}) {
            v += t0.amplitude *
                 std::cos(2 * std::numbers::pi * t0.hz * t + t0.phaseDeg * std::numbers::pi / 180);
        }
        trace.volts.push_back(voltsPerCode > 0 ? std::round(v / voltsPerCode) * voltsPerCode : v);
    }
    return trace;
}

TEST(ToneEstimator, FindsAmplitudeAndPhaseAtTheExactFrequency) {
    struct Case {
        const char* name;
        Tone tone;
        std::size_t samples;
        double interval, start, offset, voltsPerCode, noise;
        Tone other;
        double amplitudeShare, phaseDeg;  ///< tolerances
    };
    const std::vector<Case> cases = {
        {"4.37 periods, not on a bin",
         {1000, 1.0, 30},
         1200,
         4.37e-3 / 1200,
         -2.185e-3,
         0,
         0,
         0,
         {},
         1e-3,
         0.1},
        {"3 periods, offset", {1000, 0.5, -120}, 1200, 3e-3 / 1200, 0, 0.3, 0, 0, {}, 2e-3, 0.2},
        {"8 bits at 25 codes a division, 6 divisions",
         {1591.5, 0.3, -45},
         1200,
         5e-6,
         -3e-3,
         0,
         0.004,
         0.002,
         {},
         2e-3,
         0.2},
        {"a harmonic beside it",
         {5000, 0.2, 80},
         1200,
         2e-6,
         0,
         0,
         0,
         0,
         {15000, 0.05, 10},
         1e-3,
         0.1},
        {"tiny against noise", {100, 0.005, 0}, 1200, 4e-2 / 1200, 0, 0, 0, 0.0005, {}, 0.02, 1},
    };
    for (const Case& c : cases) {
        const Waveform trace = synthesise(c.tone, c.samples, c.interval, c.start, c.offset,
                                          c.voltsPerCode, c.noise, c.other);
        EXPECT_EQ(checkSampling(trace, c.tone.hz), SamplingCheck::kEnough) << c.name;
        const std::complex<double> tone = estimateTone(trace, c.tone.hz);
        EXPECT_NEAR(std::abs(tone), c.tone.amplitude, c.tone.amplitude * c.amplitudeShare)
            << c.name;
        EXPECT_NEAR(std::arg(tone) * 180 / std::numbers::pi, c.tone.phaseDeg, c.phaseDeg) << c.name;
    }
}

TEST(ToneEstimator, RefusesTracesThatCannotHoldTheTone) {
    struct Case {
        double hz, interval;
        std::size_t samples;
        SamplingCheck check;
    };
    for (const Case& c :
         std::vector<Case>{{1e6, 2.5e-7, 1200, SamplingCheck::kTooFewSamplesPerPeriod},
                           {1e6, 1.9e-7, 1200, SamplingCheck::kEnough},
                           {10, 1e-3, 200, SamplingCheck::kTooFewPeriods},
                           {10, 1e-3, 300, SamplingCheck::kEnough}}) {
        Waveform trace;
        trace.volts.resize(c.samples);
        trace.sampleIntervalSeconds = c.interval;
        EXPECT_EQ(checkSampling(trace, c.hz), c.check) << c.hz << " Hz " << c.interval;
    }
}

}  // namespace
}  // namespace tavero::measure
