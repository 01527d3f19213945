// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/GeneratorSettings.h"

namespace tavero::model {

/// The caption of the message that refuses a typed value.
inline constexpr std::string_view kInvalidEntryCaption = "Ungültige Eingabe";

/// The message that refuses a typed value; `limits` names them, one per line.
std::string withinLimitsText(std::string_view limits);

/// The window's message for a refused output frequency, naming the limits as the edits of the
/// least and highest frequency (Hz) hold them.
std::string frequencyRefusalText(std::string_view minimumText, std::string_view maximumText);
/// The texts of those edits as the window shows the settings' limits.
std::string limitText(std::uint32_t frequenz);
/// The window's message for a refused amplitude.
std::string amplitudeRefusalText();

/// The window's messages for a refused least frequency, highest frequency and step, naming the
/// other limit as its edit shows it.
std::string minimumRefusalText(std::string_view maximumText);
std::string maximumRefusalText(std::string_view minimumText);
std::string stepRefusalText();

/// A typed least frequency (Hz) as the window reads it, in 0.01 Hz: on the 0.25 Hz grid, from
/// 0.25 Hz up to `maximalfrequenz`, and only while the PLL stage's least frequency lies below
/// that too. A value below the PLL stage's least frequency is accepted here: the window asks.
std::optional<std::uint32_t> acceptedMinimum(std::string_view typed,
                                             const GeneratorSettings& settings);
/// A typed highest frequency (Hz) as the window reads it, in 0.01 Hz: on the grid, from
/// `minimalfrequenz` to 30 MHz.
std::optional<std::uint32_t> acceptedMaximum(std::string_view typed,
                                             const GeneratorSettings& settings);
/// A typed step (Hz) as the window reads it, in 0.01 Hz: on the grid, from 0 to 30 MHz.
std::optional<std::uint32_t> acceptedStep(std::string_view typed);

/// A typed output frequency (Hz, "," or "." as the point) as the window reads it, in 0.01 Hz;
/// nothing when the window refuses it: off the 0.25 Hz grid or outside the limits.
std::optional<std::int64_t> acceptedOutputFrequency(std::string_view typed,
                                                    const GeneratorSettings& settings);
/// A typed amplitude (mV) as the window reads it; nothing when the window refuses it.
std::optional<std::uint32_t> acceptedAmplitude(std::string_view typed);

}  // namespace tavero::model
