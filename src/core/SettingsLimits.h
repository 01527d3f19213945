// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/GeneratorSettings.h"

namespace tavero {

/// Every frequency typed by the user lies on this grid, in 0.01 Hz (0.25 Hz).
inline constexpr std::uint32_t kFrequencyGridCentiHz = 25;
/// The synthesiser's highest frequency, in 0.01 Hz (30 MHz).
inline constexpr std::uint32_t kMaximumFrequencyCentiHz = 3000000000U;
/// The highest amplitude, in mV peak-to-peak.
inline constexpr std::uint32_t kMaximumAmplitudeMillivolt = 1000;

/// The PLL factor the frequency rules work with. A factor of 0 can come from the generator or
/// a file; it counts as 1 so that nothing divides by zero.
inline std::uint32_t effectivePllFactor(const GeneratorSettings& settings) {
    return settings.pllFaktor == 0 ? 1 : settings.pllFaktor;
}

/// The least `frequenz` (in 0.01 Hz) for which the output after the PLL stage is not negative:
/// ceil(-pllOffset * 1000 / factor) for a negative offset, else 0. May exceed 32 bits.
inline std::uint64_t pllRequiredMinimum(const GeneratorSettings& settings) {
    if (settings.pllOffset >= 0) {
        return 0;
    }
    const std::uint64_t needed =
        static_cast<std::uint64_t>(-static_cast<std::int64_t>(settings.pllOffset)) * 1000U;
    const std::uint64_t factor = effectivePllFactor(settings);
    return (needed + factor - 1) / factor;
}

}  // namespace tavero
