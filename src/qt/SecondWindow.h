// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "ui/Host.h"

namespace tavero::qt {

/// For a window whose connect found the generator held: when another program of the user holds
/// it on one of `devicePaths` (canonical), says which in a message box and, when that program
/// has a window and the user answers yes, has it brought to the front. Whether another program
/// holds it; the window then shows no message of its own.
bool tellWhoHoldsTheGenerator(ui::Host& host, const QStringList& devicePaths);

}  // namespace tavero::qt
