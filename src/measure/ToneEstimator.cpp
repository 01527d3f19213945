// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ToneEstimator.h"

#include <cmath>
#include <numbers>

namespace tavero::measure {

SamplingCheck checkSampling(const Waveform& waveform, double frequencyHz) {
    const double samplesPerPeriod = 1.0 / (frequencyHz * waveform.sampleIntervalSeconds);
    const double periods = static_cast<double>(waveform.volts.size()) / samplesPerPeriod;
    if (!(samplesPerPeriod >= kLeastSamplesPerPeriod)) {
        return SamplingCheck::kTooFewSamplesPerPeriod;
    }
    return periods >= kLeastPeriods ? SamplingCheck::kEnough : SamplingCheck::kTooFewPeriods;
}

std::complex<double> estimateTone(const Waveform& waveform, double frequencyHz) {
    const std::size_t count = waveform.volts.size();
    if (count == 0) {
        return {};
    }
    // The mean goes first: a scope's offset would otherwise leak into the bin.
    double mean = 0;
    for (const double volts : waveform.volts) {
        mean += volts;
    }
    mean /= static_cast<double>(count);
    const double twoPi = 2 * std::numbers::pi;
    std::complex<double> sum;
    double weights = 0;
    for (std::size_t n = 0; n < count; ++n) {
        // The periodic Hann window.
        const double weight =
            0.5 - 0.5 * std::cos(twoPi * static_cast<double>(n) / static_cast<double>(count));
        const double time =
            waveform.startSeconds + static_cast<double>(n) * waveform.sampleIntervalSeconds;
        sum += weight * (waveform.volts[n] - mean) * std::polar(1.0, -twoPi * frequencyHz * time);
        weights += weight;
    }
    return 2.0 * sum / weights;
}

}  // namespace tavero::measure
