// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSocketNotifier>
#include <csignal>
#include <optional>

namespace tavero::qt {

/// Turns SIGINT, SIGTERM and SIGHUP into an orderly end of every running event loop, open
/// dialogs' included, so that the generator gets its disconnect notice. A handler rather than a
/// blocked mask, as Qt's own threads would otherwise take the signal with its default action. One
/// at a time.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    /// True once a signal has ended the event loop.
    bool interrupted() const { return interrupted_; }

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
    struct sigaction previousHup_ {};
    std::optional<QSocketNotifier> notifier_;
    bool interrupted_ = false;
};

}  // namespace tavero::qt
