// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

namespace tavero::ctl {

/// The index (from 0) of the profile that a command-line number names, counting from 1.
/// UsageError for anything but a decimal number from 1 to `count`.
std::size_t profileIndex(std::string_view number, std::size_t count);

/// Refuses (UsageError) a name that the profile file would not give back as it is: characters
/// without a place in Windows-1252, malformed UTF-8, control characters.
void checkProfileName(std::string_view name);

}  // namespace tavero::ctl
