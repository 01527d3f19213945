// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/GeneratorSettings.h"

namespace tavero::model {

/// The frequency at the output of the external PLL stage, in 0.01 Hz:
/// `frequenz` x `pllFaktor` + `pllOffset` x 1000. Signed, as a negative offset can put it below
/// zero. A factor of 0 counts as 1; products far beyond anything the display shows (only a file
/// or the generator can bring such factors) saturate instead of overflowing.
std::int64_t outputFrequencyOf(const GeneratorSettings& settings, std::uint32_t frequenz);
inline std::int64_t outputFrequencyOf(const GeneratorSettings& settings) {
    return outputFrequencyOf(settings, settings.frequenz);
}

/// The synthesiser frequency for an output frequency: (`output` - `pllOffset` x 1000) /
/// `pllFaktor`, truncated toward zero, of which the low 32 bits are kept. Every intermediate is
/// exact and defined, whatever the values.
std::uint32_t frequenzForOutput(const GeneratorSettings& settings, std::int64_t output);

/// The limits of the output frequency, from `minimalfrequenz` and `maximalfrequenz`.
inline std::int64_t outputMinimum(const GeneratorSettings& settings) {
    return outputFrequencyOf(settings, settings.minimalfrequenz);
}
inline std::int64_t outputMaximum(const GeneratorSettings& settings) {
    return outputFrequencyOf(settings, settings.maximalfrequenz);
}

/// Whether the PLL stage changes the frequency at all.
inline bool usesPllStage(const GeneratorSettings& settings) {
    return settings.pllFaktor != 1 || settings.pllOffset != 0;
}

}  // namespace tavero::model
