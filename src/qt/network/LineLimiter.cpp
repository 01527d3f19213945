// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/LineLimiter.h"

#include <iterator>

namespace tavero::qt {

std::optional<std::size_t> LineLimiter::admit(const std::string& key, Clock::time_point now) {
    auto found = entries_.find(key);
    if (found != entries_.end()) {
        Entry& entry = found->second;
        if (now - entry.written < kPeriod) {
            ++entry.heldBack;
            return std::nullopt;
        }
        const std::size_t heldBack = entry.heldBack;
        entry = {now, 0};
        return heldBack;
    }
    if (entries_.size() >= kMaxKeys) {
        for (auto entry = entries_.begin(); entry != entries_.end();) {
            entry =
                now - entry->second.written >= kPeriod ? entries_.erase(entry) : std::next(entry);
        }
        if (entries_.size() >= kMaxKeys) {
            return std::nullopt;
        }
    }
    entries_.emplace(key, Entry{now, 0});
    return 0;
}

}  // namespace tavero::qt
