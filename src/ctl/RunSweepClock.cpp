// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/RunSweepClock.h"

#include <thread>

namespace tavero::ctl {

bool RunSweepClock::waitUntil(std::chrono::microseconds deadline) {
    const auto due = std::chrono::ceil<std::chrono::milliseconds>(deadline);
    if (clock_.waitUntil(due)) {
        return true;
    }
    if (clock_.interruption() == 0) {
        outputGone_ = true;
        return false;
    }
    // The clock no longer waits once interrupted: the rest of the wait goes by here.
    std::this_thread::sleep_for(due - clock_.now());
    return true;
}

}  // namespace tavero::ctl
