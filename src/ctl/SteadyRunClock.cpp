// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/SteadyRunClock.h"

#include <algorithm>
#include <csignal>
#include <thread>

namespace tavero::ctl {

namespace {

volatile std::sig_atomic_t caughtSignal = 0;

extern "C" void catchSignal(int signal) {
    caughtSignal = signal;
}

/// How often a wait looks for an interrupt: a signal handler has no portable way to wake a
/// sleeping thread.
constexpr std::chrono::milliseconds kInterruptCheck{50};

/// Waits beyond this are cut to it, so that the deadline stays within the clock's range.
constexpr std::chrono::milliseconds kFarthestDeadline = std::chrono::hours(24 * 365 * 100);

}  // namespace

SteadyRunClock::SteadyRunClock() : origin_(std::chrono::steady_clock::now()) {}

SteadyRunClock::~SteadyRunClock() {
    if (catching_) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
}

std::chrono::milliseconds SteadyRunClock::now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 origin_);
}

bool SteadyRunClock::waitUntil(std::chrono::milliseconds deadline) {
    // Each slice ends on the absolute deadline at the latest, so no step adds to the next.
    const auto due = origin_ + std::min(deadline, kFarthestDeadline);
    for (;;) {
        if (interruption() != 0) {
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= due) {
            return true;
        }
        std::this_thread::sleep_until(std::min(due, now + kInterruptCheck));
    }
}

void SteadyRunClock::catchInterrupts() {
    caughtSignal = 0;
    catching_ = true;
    std::signal(SIGINT, catchSignal);
    std::signal(SIGTERM, catchSignal);
}

int SteadyRunClock::interruption() const {
    return catching_ ? caughtSignal : 0;
}

}  // namespace tavero::ctl
