// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/SteadySweepClock.h"

namespace tavero::measure {

std::chrono::microseconds SteadySweepClock::now() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 origin_);
}

bool SteadySweepClock::waitUntil(std::chrono::microseconds deadline) {
    std::unique_lock lock(mutex_);
    woken_.wait_until(lock, origin_ + deadline, [this] { return stopped_; });
    return !stopped_;
}

void SteadySweepClock::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    woken_.notify_all();
}

bool SteadySweepClock::stopped() const {
    const std::lock_guard lock(mutex_);
    return stopped_;
}

}  // namespace tavero::measure
