// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/SteadyRunClock.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <thread>

namespace tavero::ctl {

namespace {

volatile std::sig_atomic_t caughtSignal = 0;

/// Made readable by the handler, so that a wait that began just after its last look at the
/// signal still wakes at once.
int wakePipe[2] = {-1, -1};

extern "C" void catchSignal(int signal) {
    const int saved = errno;
    caughtSignal = signal;
    const char byte = 1;
    // Nothing to do when it fails: the pipe then already holds an unread byte.
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    errno = saved;
}

constexpr std::array<int, 3> kInterrupts = {SIGINT, SIGTERM, SIGHUP};

/// Waits beyond this are cut to it, so that the deadline stays within the clock's range.
constexpr std::chrono::milliseconds kFarthestDeadline = std::chrono::hours(24 * 365 * 100);

/// How long a wait sleeps at a time when the system can not poll (out of memory).
constexpr std::chrono::milliseconds kPollFailedSlice{50};

timespec timeUntil(std::chrono::steady_clock::time_point due,
                   std::chrono::steady_clock::time_point now) {
    const auto nanoseconds =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(due - now, {})).count();
    return {static_cast<time_t>(nanoseconds / 1'000'000'000),
            static_cast<long>(nanoseconds % 1'000'000'000)};
}

}  // namespace

SteadyRunClock::SteadyRunClock(int watchedOutput)
    : origin_(std::chrono::steady_clock::now()), watchedOutput_(watchedOutput) {}

SteadyRunClock::~SteadyRunClock() {
    for (const int signal : kInterrupts) {
        if (catching_ && std::signal(signal, SIG_DFL) == SIG_IGN) {
            std::signal(signal, SIG_IGN);
        }
    }
}

std::chrono::milliseconds SteadyRunClock::now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 origin_);
}

bool SteadyRunClock::waitUntil(std::chrono::milliseconds deadline) {
    // Each wait ends on the absolute deadline at the latest, so no step adds to the next.
    return wait(origin_ + std::min(deadline, kFarthestDeadline), false);
}

bool SteadyRunClock::waitForOutput() {
    return wait(origin_ + kFarthestDeadline, true);
}

bool SteadyRunClock::wait(std::chrono::steady_clock::time_point due, bool forOutput) const {
    for (;;) {
        // Output that has room takes its line even after an interrupt: the line tells which
        // entry went out last.
        const bool interrupted = interruption() != 0;
        if (interrupted && !forOutput) {
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= due || (forOutput && watchedOutput_ < 0)) {
            return true;
        }
        // A descriptor of -1 is passed over; a pipe whose reader has gone reports POLLERR
        // whatever is asked, a terminal that hung up POLLHUP.
        std::array<pollfd, 2> fds{
            {{wakePipe[0], POLLIN, 0},
             {watchedOutput_, static_cast<short>(forOutput ? POLLOUT : 0), 0}}};
        const timespec timeout = interrupted ? timespec{} : timeUntil(due, now);
        if (::ppoll(fds.data(), fds.size(), &timeout, nullptr) < 0) {
            if (errno != EINTR) {
                std::this_thread::sleep_until(std::min(due, now + kPollFailedSlice));
            }
            continue;
        }
        if ((fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return false;
        }
        if ((fds[1].revents & POLLOUT) != 0) {
            return true;
        }
        if (interrupted) {
            return false;
        }
    }
}

void SteadyRunClock::catchInterrupts() {
    if (wakePipe[0] < 0 && ::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        wakePipe[0] = wakePipe[1] = -1;
    }
    // What an earlier run caught must not wake this one's waits.
    std::array<char, 16> drained{};
    while (wakePipe[0] >= 0 && ::read(wakePipe[0], drained.data(), drained.size()) > 0) {
    }
    caughtSignal = 0;
    catching_ = true;
    for (const int signal : kInterrupts) {
        // A signal the program was started to ignore (SIGINT of a job a script put in the
        // background) stays ignored.
        if (std::signal(signal, catchSignal) == SIG_IGN) {
            std::signal(signal, SIG_IGN);
        }
    }
}

int SteadyRunClock::interruption() const {
    return catching_ ? caughtSignal : 0;
}

}  // namespace tavero::ctl
