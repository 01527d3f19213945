// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

/// The sweep settings dialog.
namespace wobbel {
inline constexpr int kDialogId = 169;
inline constexpr int kStartfrequenzEdit = 1009;   ///< in Hz
inline constexpr int kStoppfrequenzEdit = 1010;   ///< in Hz
inline constexpr int kWobbelfrequenzEdit = 1011;  ///< sweep rate, in Hz
}  // namespace wobbel

extern const DialogTemplate kWobbelTemplate;

}  // namespace tavero::res
