// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace tavero::ctl {

/// Time and waiting as the tool's commands see them. Waits end early when SIGINT, SIGTERM or SIGHUP
/// arrives, or when the results' output hangs up (a pipe whose reader has gone), so the clock
/// is also where interrupts and the output are watched. Tests use one that only pretends to
/// wait.
class RunClock {
public:
    virtual ~RunClock() = default;

    /// Time since a moment of the clock's choosing.
    virtual std::chrono::milliseconds now() const = 0;
    /// Returns true once now() has reached `deadline`; false at once, or as soon as it
    /// happens, when an interrupt has been caught or the output has hung up.
    virtual bool waitUntil(std::chrono::milliseconds deadline) = 0;
    /// Returns true once the output can take a line without blocking, at once when it can,
    /// interrupt or not; false when it has hung up, or when an interrupt comes while it has no
    /// room.
    virtual bool waitForOutput() = 0;
    /// From now on SIGINT, SIGTERM and SIGHUP are caught instead of ending the program.
    virtual void catchInterrupts() = 0;
    /// The signal number of the interrupt caught, 0 while there is none.
    virtual int interruption() const = 0;
};

}  // namespace tavero::ctl
