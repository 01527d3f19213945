// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tavero::ctl {

/// The connection to the program that holds the generator, line by line.
class InstanceChannel {
public:
    enum class Status { kLine, kGone, kTimedOut, kTooLong };
    struct Received {
        Status status = Status::kGone;
        std::string line;  ///< without its LF
    };

    virtual ~InstanceChannel() = default;

    /// Sends one line (ending in LF); false when the holder has gone.
    virtual bool send(std::string_view line) = 0;
    /// The next line, waiting at most until `deadline` (on the steady clock).
    virtual Received receive(std::chrono::steady_clock::time_point deadline) = 0;
    /// The holder's process id as the system tells it, for messages before it names itself.
    virtual long long peerProcessId() const = 0;
};

}  // namespace tavero::ctl
