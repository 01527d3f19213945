// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tavero::dialogs {

// Raw levels of the output amplitude stage. The scale is inverted: the highest level gives the
// lowest amplitude.
inline constexpr std::uint16_t kLevelLowestAmplitude = 16383;
inline constexpr std::uint16_t kLevelHighestAmplitude = 0;

}  // namespace tavero::dialogs
