// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace tavero::link {

/// Where the command layer reports a failed exchange: one modal error box (stop icon, OK) in
/// the window, a line on standard error in the command-line tool.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showError(std::string_view text, std::string_view caption) = 0;
};

}  // namespace tavero::link
