// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavero::qt {

/// Brings the program's shown windows to the front, the active one last, as a second window
/// asks of the one that holds the generator. Whether there was one; the window system may still
/// only mark it as wanting attention.
bool bringWindowsToFront();

}  // namespace tavero::qt
