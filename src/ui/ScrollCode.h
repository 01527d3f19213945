// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavero::ui {

/// The notifications of trackbars, scroll bars and spin controls. The values are the platform's
/// scroll message codes, so logic that compares codes as numbers keeps working.
enum class ScrollCode : int {
    LineUp = 0,         ///< arrow key or arrow button towards the minimum (left or up)
    LineDown = 1,       ///< towards the maximum
    PageUp = 2,         ///< click in the channel on the minimum side of the thumb, Page Up key
    PageDown = 3,       ///< the same on the maximum side
    ThumbPosition = 4,  ///< the thumb was let go after a drag; spin controls: new position
    ThumbTrack = 5,     ///< the thumb is being dragged
    Top = 6,            ///< Home key: to the minimum
    Bottom = 7,         ///< End key: to the maximum
    EndScroll = 8,      ///< the key or mouse button that scrolled was released
};

}  // namespace tavero::ui
