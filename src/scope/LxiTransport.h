// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "scope/ResourceName.h"
#include "scope/Transport.h"

namespace tavero::scope {

/// Readies liblxi once per process: its start-up clears every session it holds.
void initialiseLxi();

/// VXI-11 through liblxi (TCPIP::HOST[::DEVICE]::INSTR).
class LxiTransport final : public Transport {
public:
    /// Connects; throws measure::ScopeError (kLost) when it cannot.
    /// @param resource a kVxi11 resource
    LxiTransport(const Resource& resource, std::chrono::milliseconds timeout);
    ~LxiTransport() override;

    LxiTransport(const LxiTransport&) = delete;
    LxiTransport& operator=(const LxiTransport&) = delete;

    void send(std::string_view message) override;
    std::string receive(std::chrono::milliseconds timeout) override;

private:
    int device_;
    std::chrono::milliseconds sendTimeout_;
    /// liblxi fails a VXI-11 message longer than its buffer: room for the longest trace read.
    std::vector<char> buffer_;
};

}  // namespace tavero::scope
