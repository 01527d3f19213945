// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tavero::qt {

/// Where the program's window stood when it closed, kept per screen in the user's settings
/// (QSettings "Tavero"), so that it opens there again.

/// Moves the window to where it last stood on the screen it last closed on, when that screen is
/// there and the place is still on it; otherwise leaves it to the window manager.
void restorePlacement(QWidget& window);
/// Remembers the window's place for the screen it stands on.
void savePlacement(const QWidget& window);

}  // namespace tavero::qt
