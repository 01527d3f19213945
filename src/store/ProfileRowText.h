// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavero::store {

/// The row of the profile at `index` (from 0) in a profile drop-down list: its number counting
/// from 1, a colon, a blank, then the name exactly as stored ("3: Test").
std::string profileRowText(std::size_t index, std::string_view name);

}  // namespace tavero::store
