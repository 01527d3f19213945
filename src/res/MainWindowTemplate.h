// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/DialogTemplate.h"

namespace tavero::res {

/// The main window, dialog 102, with menu 153.
extern const DialogTemplate kMainWindowTemplate;

}  // namespace tavero::res
