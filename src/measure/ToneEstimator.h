// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>

#include "measure/Waveform.h"

namespace tavero::measure {

/// Whether a trace holds enough of a tone to estimate it.
enum class SamplingCheck {
    kEnough,
    kTooFewSamplesPerPeriod,  ///< the samples come too slowly for the frequency
    kTooFewPeriods,           ///< the trace is too short for the window to part the tone from
                              ///< its mirror image
};

/// Samples per period a trace needs at least.
inline constexpr double kLeastSamplesPerPeriod = 5;
/// Periods a trace needs at least: the Hann window's leakage from the tone's mirror image at
/// minus the frequency is then below -50 dB.
inline constexpr double kLeastPeriods = 3;

SamplingCheck checkSampling(const Waveform& waveform, double frequencyHz);

/// The tone at `frequencyHz` in the trace as a phasor: its magnitude is the tone's amplitude
/// (peak, in volts) and its angle its phase at the trigger, for
/// x(t) = |a| cos(2 pi f t + arg a). A single bin of the Hann-windowed discrete Fourier
/// transform at exactly that frequency, which need not fall on a bin of the trace's length.
std::complex<double> estimateTone(const Waveform& waveform, double frequencyHz);

}  // namespace tavero::measure
