// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/ControlKind.h"

#include <array>

namespace tavero::res {

std::string_view kindName(ControlKind kind) {
    static constexpr std::array<std::string_view, 12> kNames = {
        "edit",    "button",   "radio button", "check box", "group box",  "label",
        "picture", "list box", "combo box",    "trackbar",  "scroll bar", "spin control",
    };
    return kNames.at(static_cast<std::size_t>(kind));
}

}  // namespace tavero::res
