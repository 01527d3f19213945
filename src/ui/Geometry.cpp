// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Geometry.h"

#include <cstdint>

namespace tavero::ui {
namespace {

// a × b ÷ c rounded half away from zero, as dialog unit conversion has always rounded.
int mulDivRounded(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

int PixelScale::xToPixels(int dialogUnits) const {
    return mulDivRounded(dialogUnits, averageCharWidth, 4);
}

int PixelScale::yToPixels(int dialogUnits) const {
    return mulDivRounded(dialogUnits, charHeight, 8);
}

Rect PixelScale::toPixels(const res::DialogRect& rect) const {
    const int left = xToPixels(rect.x);
    const int top = yToPixels(rect.y);
    return {left, top, left + xToPixels(rect.width), top + yToPixels(rect.height)};
}

}  // namespace tavero::ui
