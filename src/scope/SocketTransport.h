// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "scope/Transport.h"

namespace tavero::scope {

/// A raw SCPI socket (TCPIP::HOST::PORT::SOCKET). liblxi's raw sockets leave Nagle's algorithm
/// on, so a command sent right after another waits for the scope's delayed acknowledgement
/// (40 ms on Linux) — most of a point's time on a fast scope; they also report a closed
/// connection and a time-out alike. This one sends at once and tells them apart.
class SocketTransport final : public Transport {
public:
    /// Connects; throws measure::ScopeError (kLost) when it cannot.
    SocketTransport(const std::string& host, std::uint16_t port, std::chrono::milliseconds timeout);
    ~SocketTransport() override;

    SocketTransport(const SocketTransport&) = delete;
    SocketTransport& operator=(const SocketTransport&) = delete;

    void send(std::string_view message) override;
    std::string receive(std::chrono::milliseconds timeout) override;

private:
    /// Waits until the socket is ready for `events`; false when the time ran out.
    bool await(short events, std::chrono::milliseconds timeout);

    int descriptor_ = -1;
    std::chrono::milliseconds sendTimeout_;
};

}  // namespace tavero::scope
