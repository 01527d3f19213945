// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

inline constexpr int kAboutId = 100;
/// The firmware line, filled in when the box opens.
inline constexpr int kAboutFirmwareLabel = 1076;

/// The About box, dialog 100.
extern const DialogTemplate kAboutTemplate;

}  // namespace tavero::res
