// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace tavero::qt {

/// Lets one log line a minute through for each key (a client's address, a warning's text), so
/// that a flood of refused clients or repeated warnings writes few lines.
class LineLimiter {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kPeriod{60};
    /// The most keys remembered; beyond them a new key's line is held back until old ones expire.
    static constexpr std::size_t kMaxKeys = 1024;

    /// Whether a line for `key` may be written at `now`: how many were held back for it since the
    /// last one written, or nothing when this one is held back too.
    std::optional<std::size_t> admit(const std::string& key, Clock::time_point now);

private:
    struct Entry {
        Clock::time_point written;
        std::size_t heldBack = 0;
    };
    std::map<std::string, Entry> entries_;
};

}  // namespace tavero::qt
