// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/ControlTemplate.h"

namespace tavero::ui {

/// A point in a dialog's client coordinates, in pixels: the origin is the top left corner of
/// the client area (below the menu bar), y grows downwards.
struct Point {
    int x = 0;
    int y = 0;

    friend constexpr bool operator==(const Point&, const Point&) = default;
};

/// A rectangle in client coordinates, in pixels. Right and bottom lie one past the last pixel
/// (so the width is right - left).
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

/// Converts dialog units to pixels from the dialog font's metrics. The defaults are those of
/// the classic 8-point dialog font at 96 dpi, the size the dialog designs were drawn for.
struct PixelScale {
    int averageCharWidth = 6;  ///< in pixels
    int charHeight = 13;       ///< in pixels

    int xToPixels(int dialogUnits) const;
    int yToPixels(int dialogUnits) const;
    Rect toPixels(const res::DialogRect& rect) const;
};

}  // namespace tavero::ui
