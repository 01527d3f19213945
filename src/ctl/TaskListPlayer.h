// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <ostream>
#include <span>

#include "core/TaskEntry.h"
#include "ctl/GeneratorSession.h"
#include "ctl/RunClock.h"

namespace tavero::ctl {

/// How a run of a task list ended.
struct PlayEnd {
    enum class Reason {
        kFinished,     ///< the last entry's hold time has run out
        kInterrupted,  ///< by `signal`, after the exchange under way
        kSendFailed,   ///< an entry could not be sent; its message has been written
        /// The output hung up, or the line of an entry sent could not be written (a pipe whose
        /// reader has gone): nobody watches the run any more.
        kOutputFailed,
    };
    Reason reason = Reason::kFinished;
    int signal = 0;        ///< the interrupt's signal number
    std::size_t step = 0;  ///< the entry that failed, counted from 0
};

/// Plays task list entries on the generator as the window's task list does: the first entry
/// at once, each further one when the hold time of the entry before has run out.
class TaskListPlayer {
public:
    /// @param out one line per entry sent
    TaskListPlayer(GeneratorSession& generator, RunClock& clock, std::ostream& out);

    /// Plays `entries` (at least one) once, or over and over with `loop` until an interrupt.
    PlayEnd play(std::span<const TaskEntry> entries, bool loop);

private:
    GeneratorSession& generator_;
    RunClock& clock_;
    std::ostream& out_;
};

}  // namespace tavero::ctl
