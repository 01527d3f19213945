// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "ui/Geometry.h"

namespace tavero::ui {

/// The mouse buttons and modifier keys held during a mouse event, as a set of bits. The values
/// are the platform's, so a state compares as one number ("Shift alone" is kKeyShift).
using KeyState = std::uint32_t;
inline constexpr KeyState kKeyLeftButton = 0x01;
inline constexpr KeyState kKeyRightButton = 0x02;
inline constexpr KeyState kKeyShift = 0x04;
inline constexpr KeyState kKeyControl = 0x08;
inline constexpr KeyState kKeyMiddleButton = 0x10;

/// One turn of the mouse wheel over a dialog.
struct WheelEvent {
    int delta = 0;  ///< 120 per notch; positive when turned away from the user
    KeyState keys = 0;
    Point position;  ///< the pointer, in client coordinates
};

enum class MouseButton { Left, Right };

/// A press of a mouse button on the dialog itself or on one of its pictures, labels or group
/// boxes. A double click arrives as a press followed by a double click.
struct MouseClick {
    MouseButton button = MouseButton::Left;
    bool doubleClick = false;
    Point position;  ///< the pointer, in client coordinates
};

}  // namespace tavero::ui
