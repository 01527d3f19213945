// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/MessageSink.h"

namespace tavero::link::testing {

/// Keeps every reported error for the test to read.
class RecordingMessageSink : public MessageSink {
public:
    struct Message {
        std::string text;
        std::string caption;
        bool operator==(const Message&) const = default;
    };

    void showError(std::string_view text, std::string_view caption) override {
        messages.push_back({std::string(text), std::string(caption)});
    }

    std::vector<Message> messages;
};

}  // namespace tavero::link::testing
