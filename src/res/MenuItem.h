// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

#include "res/StandardIds.h"

namespace tavero::res {

/// One entry of a menu bar or of a popup: a command (text and id), a popup (text and items) or
/// a separator (neither text nor items). "&" marks the mnemonic letter of the text; texts
/// without one get a free letter where they are shown.
struct MenuItem {
    std::string_view text = {};
    int id = kNoId;                        ///< commands only
    std::span<const MenuItem> items = {};  ///< popups only
    /// Commands only: the key that chooses it from anywhere in the window, as "Ctrl+Q" or "F1".
    std::string_view shortcut = {};

    constexpr bool isPopup() const { return !items.empty(); }
    constexpr bool isSeparator() const { return text.empty() && items.empty(); }
    constexpr bool isCommand() const { return !text.empty() && items.empty(); }
};

}  // namespace tavero::res
