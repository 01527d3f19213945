// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace tavero::res {

/// The kinds of control a dialog template holds.
enum class ControlKind : std::uint8_t {
    Edit,         ///< single-line text field
    Button,       ///< push button
    RadioButton,  ///< ticks itself and clears the rest of its group when clicked
    CheckBox,     ///< toggles itself when clicked
    GroupBox,     ///< a titled frame around other controls
    Label,        ///< static text
    Picture,      ///< a digit, indicator or logo picture
    ListBox,      ///< rows, one selectable
    ComboBox,     ///< drop-down list: rows, one selectable, no typing
    Trackbar,     ///< slider with a thumb that moves itself
    ScrollBar,    ///< scroll bar whose thumb only the logic moves
    SpinControl,  ///< up/down arrows stepping a position
};

std::string_view kindName(ControlKind kind);

/// Whether mouse clicks on the control reach the dialog underneath, as clicks on static
/// controls do (the digit pictures of the main window rely on it).
constexpr bool passesClicksToDialog(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::GroupBox ||
           kind == ControlKind::Picture;
}

/// Whether the control can hold the keyboard focus.
constexpr bool takesFocus(ControlKind kind) {
    return !passesClicksToDialog(kind) && kind != ControlKind::SpinControl;
}

/// Whether the control has a text the logic reads and writes.
constexpr bool hasText(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::Button ||
           kind == ControlKind::RadioButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::GroupBox || kind == ControlKind::Label;
}

constexpr bool isCheckable(ControlKind kind) {
    return kind == ControlKind::RadioButton || kind == ControlKind::CheckBox;
}

constexpr bool hasRows(ControlKind kind) {
    return kind == ControlKind::ListBox || kind == ControlKind::ComboBox;
}

/// Whether the control holds a range and a position.
constexpr bool hasRange(ControlKind kind) {
    return kind == ControlKind::Trackbar || kind == ControlKind::ScrollBar ||
           kind == ControlKind::SpinControl;
}

}  // namespace tavero::res
