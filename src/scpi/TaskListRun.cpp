// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/TaskListRun.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace tavero::scpi {

namespace {

/// The window holds an entry of 0 s for one tick, like one of 1 s.
std::chrono::seconds holdTime(const TaskEntry& entry) {
    return std::chrono::seconds(std::max<std::uint32_t>(entry.duration, 1));
}

}  // namespace

TaskListRun::TaskListRun(std::vector<TaskEntry> entries, bool loop, std::chrono::milliseconds start)
    : entries_(std::move(entries)), loop_(loop), due_(start), finished_(entries_.empty()) {}

std::optional<TaskEntry> TaskListRun::takeDue(std::chrono::milliseconds now) {
    if (finished_ || now < due_) {
        return std::nullopt;
    }
    if (next_ == entries_.size()) {
        // The last hold time has run out and the list does not loop.
        finished_ = true;
        return std::nullopt;
    }
    const TaskEntry& entry = entries_[next_];
    due_ += holdTime(entry);
    step_ = next_ + 1;
    ++next_;
    if (next_ == entries_.size() && loop_) {
        next_ = 0;
    }
    return entry;
}

std::chrono::milliseconds TaskListRun::passEnd() const {
    std::chrono::milliseconds end = due_;
    if (finished_ || step_ == entries_.size()) {
        return end;
    }
    for (std::size_t i = next_; i < entries_.size(); ++i) {
        end += holdTime(entries_[i]);
    }
    return end;
}

}  // namespace tavero::scpi
