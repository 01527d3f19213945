// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string_view>

#include "link/MessageSink.h"

namespace tavero::ctl {

/// Writes each message's text as one line; the caption adds nothing on a terminal.
class StreamMessageSink final : public link::MessageSink {
public:
    explicit StreamMessageSink(std::ostream& out) : out_(out) {}

    void showError(std::string_view text, std::string_view /*caption*/) override {
        out_ << text << '\n';
    }

private:
    std::ostream& out_;
};

}  // namespace tavero::ctl
