// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/SettingsLimits.h"
#include "res/Picture.h"

namespace tavero::app {

/// The frequency digits show Hz up to 30 MHz and kHz above, always with two decimals.
enum class Scale { Hertz, Kilohertz };

/// In 0.01 Hz: above the synthesiser's own range the display switches to kHz.
inline constexpr std::int64_t kHertzScaleLimitCentiHz = kMaximumFrequencyCentiHz;
/// In 0.01 Hz: the largest output frequency the ten digits can show on the kHz scale.
inline constexpr std::int64_t kLargestShownFrequencyCentiHz = 6344000000000;

inline constexpr std::size_t kFrequencyDigits = 10;
inline constexpr std::size_t kAmplitudeDigits = 4;

Scale scaleOf(std::int64_t outputFrequencyCentiHz);

/// What the frequency digits show, least significant first, and the unit label's text; nothing
/// when the value cannot be shown (negative or beyond the largest shown frequency).
struct FrequencyReadout {
    std::array<res::Picture, kFrequencyDigits> digits;
    const char* unit;
};
std::optional<FrequencyReadout> frequencyReadout(std::int64_t outputFrequencyCentiHz);

/// The amplitude digits, least significant first; leading zeros above the ones are blank. A
/// value beyond the four digits (only a file can hold one) leaves them all blank rather than
/// show a part of it.
std::array<res::Picture, kAmplitudeDigits> amplitudeReadout(std::uint32_t amplitudeMillivolt);

/// The step of a digit selected by its radio: in 0.01 Hz for the frequency radios 1000..1008,
/// in mV for the amplitude radios 1018..1021.
std::uint64_t wheelStep(int radioId, Scale scale);

/// The step of a click on frequency digit `position` (0 = 0.01 Hz picture), in 0.01 Hz.
std::uint64_t frequencyClickStep(std::size_t position, Scale scale);

/// The step of a click on amplitude digit `position` (0 = 1 mV picture), in mV.
std::uint64_t amplitudeClickStep(std::size_t position);

}  // namespace tavero::app
