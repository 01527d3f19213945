// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

/// "Offset kompensieren": drives the output to either end of its range while the user trims
/// the offset on the board.
namespace offset {
inline constexpr int kDialogId = 171;
inline constexpr int kMinimumAmplitude = 1076;  ///< button "minimale Amplitude"
inline constexpr int kMaximumAmplitude = 1077;  ///< button "maximale Amplitude"
}  // namespace offset

extern const DialogTemplate kOffsetTemplate;

}  // namespace tavero::res
