// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>

namespace tavero::sim {

/// The device under test between the generator (scope channel 1) and scope channel 2.
struct Circuit {
    enum class Kind {
        kThrough,   ///< a wire
        kLowPass,   ///< series R, C to ground; output across C
        kHighPass,  ///< series C, R to ground; output across R
        kBandPass,  ///< series L and C, R to ground; output across R
    };
    Kind kind = Kind::kThrough;
    double ohms = 1e3;
    double farads = 100e-9;
    double henries = 10e-3;
    double gain = 1;  ///< of an amplifier after the circuit
};

/// Reads "through", "lowpass", "highpass" or "bandpass", each optionally followed by
/// ":r=1k,c=100n,l=10m,g=10" (values with the SI prefixes p n u m k M; g the gain of an
/// amplifier after it). Nothing when it cannot.
std::optional<Circuit> parseCircuit(std::string_view text);

/// The circuit's transfer function at `hz`, output over input, unloaded.
std::complex<double> circuitResponse(const Circuit& circuit, double hz);

/// The time constant in which the circuit's response to a change dies away, in seconds:
/// RC, or 2L/R for the band-pass; 0 for a wire.
double settlingTimeConstant(const Circuit& circuit);

/// "RC low-pass 1 kOhm, 100 nF" and the like, for the log.
std::string circuitText(const Circuit& circuit);

}  // namespace tavero::sim
