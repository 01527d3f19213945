// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "res/ControlKind.h"
#include "res/Picture.h"
#include "res/StandardIds.h"

namespace tavero::res {

/// Style flags of a control; combine them with |.
namespace style {
using Flags = std::uint32_t;
inline constexpr Flags kNone = 0;
/// Radio button: starts a new radio group. Consecutive radio buttons in template order form one
/// group anyway; any other control ends it, so the flag only splits adjacent groups.
inline constexpr Flags kGroupStart = 1U << 0;
/// Button: the default button, pressed by Enter when the dialog does not take the key itself.
inline constexpr Flags kDefault = 1U << 1;
/// Not shown. A hidden default button makes Enter do nothing.
inline constexpr Flags kHidden = 1U << 2;
/// Disabled until the logic enables it.
inline constexpr Flags kDisabled = 1U << 3;
/// Edit: typed characters other than 0-9 are refused (text set by the logic is not checked).
inline constexpr Flags kDigitsOnly = 1U << 4;
/// Edit: the user cannot change the text.
inline constexpr Flags kReadOnly = 1U << 5;
/// Button: the caption wraps onto two lines.
inline constexpr Flags kMultiLine = 1U << 6;
/// Edit or label: text aligned to the right.
inline constexpr Flags kAlignRight = 1U << 7;
/// Label: text centred.
inline constexpr Flags kAlignCenter = 1U << 8;
/// Trackbar or scroll bar: vertical, with its minimum at the top. Horizontal without it, with
/// its minimum at the left.
inline constexpr Flags kVertical = 1U << 9;
/// Label: names a tick of the nearest trackbar before it in the template. The run of such
/// labels spans the trackbar's range evenly from its minimum; each is centred on its tick
/// wherever the style draws it.
inline constexpr Flags kTickLabel = 1U << 10;
}  // namespace style

/// A position and size in dialog units: a horizontal unit is a quarter of the dialog font's
/// average character width, a vertical unit an eighth of its height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend constexpr bool operator==(const DialogRect&, const DialogRect&) = default;
};

/// A font of a control's own; an empty family keeps the dialog's font.
struct Font {
    std::string_view family = {};
    int pixelHeight = 0;  ///< height of the character cell, in pixels
    bool bold = false;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

/// A picture a push button shows instead of its text.
enum class ButtonIcon : std::uint8_t { None, ArrowUp, ArrowDown };

/// One control of a dialog template. Every member has a default, so templates name only what
/// they set: `{.kind = ControlKind::Edit, .id = 1009, .rect = {10, 20, 40, 12}}`.
struct ControlTemplate {
    ControlKind kind = ControlKind::Label;
    int id = kNoId;
    std::string_view text = {};  ///< UTF-8; the caption of buttons, boxes and labels
    DialogRect rect = {};
    style::Flags style = style::kNone;
    Picture picture = {};                ///< picture controls: what they show at start
    ButtonIcon icon = ButtonIcon::None;  ///< buttons
    Font font = {};
    std::optional<Rgb> textColor = {};
    int buddy = kNoId;  ///< spin controls: the edit in which the Up and Down keys step them

    constexpr bool has(style::Flags flags) const { return (style & flags) == flags; }
};

/// The default button of dialogs that Enter must not close: it is never shown, so Enter does
/// nothing unless the dialog's logic takes the key itself.
inline constexpr ControlTemplate kHiddenDefaultButton = {.kind = ControlKind::Button,
                                                         .id = kIdOk,
                                                         .text = "OK",
                                                         .rect = {0, 0, 1, 1},
                                                         .style = style::kDefault | style::kHidden};

}  // namespace tavero::res
