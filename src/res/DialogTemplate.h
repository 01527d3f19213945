// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "res/ControlTemplate.h"
#include "res/MenuItem.h"
#include "res/StandardIds.h"

namespace tavero::res {

/// The client area of a dialog, in dialog units (see DialogRect).
struct DialogSize {
    int width = 0;
    int height = 0;
};

/// A dialog as data: its controls in tab order, its menu and its frame. Each dialog of the
/// program has one, defined as constant data in a file of its own and listed in
/// ProgramTemplates.cpp.
struct DialogTemplate {
    int id = kNoId;
    std::string_view title = {};
    DialogSize size = {};
    std::span<const ControlTemplate> controls = {};
    std::span<const MenuItem> menu = {};  ///< the menu bar's popups; empty without a menu bar
    bool minimizeBox = false;
};

/// The control with this id, or nullptr. kNoId finds nothing.
const ControlTemplate* findControl(const DialogTemplate& dialog, int id);

/// The menu command with this id at any depth, or nullptr.
const MenuItem* findMenuCommand(const DialogTemplate& dialog, int id);

/// The default button, or nullptr when the dialog has none.
const ControlTemplate* findDefaultButton(const DialogTemplate& dialog);

/// The ids of the radio buttons in the group of `radioId`, in template order (see
/// style::kGroupStart). Empty when `radioId` is not a radio button.
std::vector<int> radioGroup(const DialogTemplate& dialog, int radioId);

/// The first fault that would make the template ambiguous for the logic: an id used twice, a
/// menu command id used twice, more than one default button, a style flag on a kind it does
/// not fit, a spin control whose buddy is not an edit. Nothing when the template is sound.
std::optional<std::string> templateFault(const DialogTemplate& dialog);

}  // namespace tavero::res
