// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ProfileRowText.h"

namespace tavero::store {

std::string profileRowText(std::size_t index, std::string_view name) {
    // The name is appended, never formatted: a percent sign in it is shown as it is.
    std::string row = std::to_string(index + 1);
    row += ": ";
    row += name;
    return row;
}

}  // namespace tavero::store
