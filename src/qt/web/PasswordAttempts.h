// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QHostAddress>
#include <chrono>
#include <cstddef>

namespace tavero::qt {

/// Wrong passwords per address: after kFreeFailures in a row an address waits before its next
/// try, twice as long after each further failure up to kLongestWait, so that guessing from one
/// address takes years rather than seconds. A right password clears its address.
class PasswordAttempts {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kFreeFailures = 5;
    static constexpr std::chrono::seconds kFirstWait{1};
    static constexpr std::chrono::seconds kLongestWait{60};
    /// The most addresses remembered; the one whose wait ended first makes room for another.
    static constexpr qsizetype kMaxAddresses = 4096;

    /// How long `peer` must still wait at `now` before a password it sends is tried; zero when
    /// it may try.
    Clock::duration waitFor(const QHostAddress& peer, Clock::time_point now) const;
    void failed(const QHostAddress& peer, Clock::time_point now);
    void succeeded(const QHostAddress& peer) { addresses_.remove(peer); }

private:
    struct Failures {
        int count = 0;
        Clock::time_point nextTry;
    };
    QHash<QHostAddress, Failures> addresses_;
};

}  // namespace tavero::qt
