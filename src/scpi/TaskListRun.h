// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

#include "core/TaskEntry.h"

namespace tavero::scpi {

/// A task list played in the background: the first entry at the start, each further one when
/// the hold time of the entry before has run out. Steps fall due whole seconds after the start,
/// so a late exchange never shifts the later ones.
class TaskListRun {
public:
    /// @param start the time of the first step, on the caller's clock
    TaskListRun(std::vector<TaskEntry> entries, bool loop, std::chrono::milliseconds start);

    /// The entry due at `now`, if one is, and the run moved past it.
    std::optional<TaskEntry> takeDue(std::chrono::milliseconds now);
    /// When the next step falls due, or the end of the last hold time.
    std::chrono::milliseconds nextDue() const { return due_; }
    /// The last hold time has run out and the list does not loop.
    bool finished() const { return finished_; }
    /// 1-based place of the entry last sent, 0 before the first.
    std::size_t step() const { return step_; }
    std::size_t size() const { return entries_.size(); }
    bool loops() const { return loop_; }
    /// When the hold time of this pass's last entry runs out: the end, unless the list loops.
    std::chrono::milliseconds passEnd() const;

private:
    std::vector<TaskEntry> entries_;
    bool loop_;
    std::chrono::milliseconds due_;
    std::size_t next_ = 0;
    std::size_t step_ = 0;
    bool finished_ = false;
};

}  // namespace tavero::scpi
