// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

/// The settings dialog of the external PLL stage.
namespace pll {
inline constexpr int kDialogId = 170;
inline constexpr int kTeilungsfaktorEdit = 1038;  ///< digits only
inline constexpr int kOffsetEdit = 1039;          ///< in kHz
}  // namespace pll

extern const DialogTemplate kPllTemplate;

}  // namespace tavero::res
