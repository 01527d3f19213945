// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/PasswordAttempts.h"

#include <algorithm>

namespace tavero::qt {

PasswordAttempts::Clock::duration PasswordAttempts::waitFor(const QHostAddress& peer,
                                                            Clock::time_point now) const {
    const auto found = addresses_.constFind(peer);
    if (found == addresses_.constEnd() || found->nextTry <= now) {
        return Clock::duration::zero();
    }
    return found->nextTry - now;
}

void PasswordAttempts::failed(const QHostAddress& peer, Clock::time_point now) {
    if (!addresses_.contains(peer) && addresses_.size() >= kMaxAddresses) {
        const auto oldest = std::min_element(
            addresses_.begin(), addresses_.end(),
            [](const Failures& a, const Failures& b) { return a.nextTry < b.nextTry; });
        addresses_.erase(oldest);
    }
    Failures& failures = addresses_[peer];
    ++failures.count;
    const int beyondFree = failures.count - kFreeFailures;
    if (beyondFree <= 0) {
        failures.nextTry = now;
        return;
    }
    // Doubled per failure; the shift stops growing long before it could overflow.
    const auto wait = kFirstWait * (1LL << std::min(beyondFree - 1, 16));
    failures.nextTry = now + std::min<Clock::duration>(wait, kLongestWait);
}

}  // namespace tavero::qt
