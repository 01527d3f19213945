// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/GeneratorSettings.h"

namespace tavero::model {

/// 10 to the power `exponent`; a digit's step.
std::uint64_t powerOfTen(std::size_t exponent);

/// The step of the frequency digit at `position` (0 = the 0.01 Hz digit), in 0.01 Hz: the two
/// decimals step by the 0.25 Hz grid; digits that show kHz step by 1000 times their decade, the
/// two lowest by 10 Hz.
std::uint64_t frequencyDigitStep(std::size_t position, bool kilohertzShown);

/// The output frequency `step` (0.01 Hz) above or below `output`, when it stays within the
/// settings' limits; nothing otherwise, and the frequency stays. Stepping down stops at zero.
std::optional<std::int64_t> steppedOutputFrequency(const GeneratorSettings& settings,
                                                   std::int64_t output, std::uint64_t step,
                                                   bool raise);

/// The amplitude `step` (mV) above or below `amplitude`, when it stays from 0 to 1000 mV.
std::optional<std::uint32_t> steppedAmplitude(std::uint32_t amplitude, std::uint64_t step,
                                              bool raise);

}  // namespace tavero::model
