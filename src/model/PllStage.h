// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "core/GeneratorSettings.h"

namespace tavero::model {

/// The caption of the PLL settings' refusal of a stage the limits cannot hold.
inline constexpr std::string_view kPllRefusalCaption = "Eingabefehler";

/// The settings with the PLL stage's `factor` and `offset` (0.01 kHz) as the PLL settings take
/// them: a negative offset raises `minimalfrequenz` to the least frequency the stage needs, and
/// `frequenz` along with it. The PLL settings' message when that least frequency lies above
/// 30 MHz or above `maximalfrequenz`.
std::variant<GeneratorSettings, std::string> withPllStage(const GeneratorSettings& settings,
                                                          std::uint32_t factor,
                                                          std::int32_t offset);

}  // namespace tavero::model
