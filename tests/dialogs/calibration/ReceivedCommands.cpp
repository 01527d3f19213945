// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReceivedCommands.h"

#include <cstddef>
#include <cstdint>
#include <map>

namespace tavero::dialogs {
namespace {

/// The widths of the values each calibration command carries, in bytes.
const std::map<char, std::vector<std::size_t>> kValueWidths = {
    {'d', {2}},
    {'g', {2}},
    {'k', {8}},
    {'q', {2, 2}},
};

std::string describe(const sim::ReceivedCommand& command) {
    std::string text(1, command.letter);
    const auto widths = kValueWidths.find(command.letter);
    if (widths == kValueWidths.end()) {
        return text;
    }
    std::size_t at = 0;
    for (const std::size_t width : widths->second) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            value = value << 8 | command.arguments.at(at++);
        }
        text += " " + std::to_string(value);
    }
    return text;
}

}  // namespace

std::vector<std::string> describeReceived(const sim::SimulatedGenerator& generator) {
    std::vector<std::string> described;
    for (const sim::ReceivedCommand& command : generator.received()) {
        described.push_back(describe(command));
    }
    return described;
}

}  // namespace tavero::dialogs
