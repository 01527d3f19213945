// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tavero::scope {

/// Bytes to and from an instrument. Failures throw measure::ScopeError: kTimeout when nothing
/// came in time, kLost when the connection is gone.
class Transport {
public:
    virtual ~Transport() = default;

    /// Sends one message whole.
    virtual void send(std::string_view message) = 0;
    /// The next bytes of the instrument's answer, at least one; over VXI-11 a whole message.
    virtual std::string receive(std::chrono::milliseconds timeout) = 0;
};

}  // namespace tavero::scope
