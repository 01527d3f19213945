// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace tavero::ctl {

/// UTF-8 text as one line that cannot drive a terminal: CR, LF and TAB become `\r`, `\n`,
/// `\t`, other C0 controls and DEL `\x1b`-style escapes, C1 controls `\u009b`-style ones.
/// Everything else, backslashes included, stays as it is.
std::string lineSafeText(std::string_view text);

}  // namespace tavero::ctl
