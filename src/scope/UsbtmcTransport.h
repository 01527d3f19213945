// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

#include "scope/Transport.h"

namespace tavero::scope {

/// A USB scope through Linux's usbtmc driver: each write is a message, each read returns the
/// instrument's answer.
class UsbtmcTransport final : public Transport {
public:
    /// Opens the device; throws measure::ScopeError (kLost) when it cannot.
    explicit UsbtmcTransport(const std::string& path);
    ~UsbtmcTransport() override;

    UsbtmcTransport(const UsbtmcTransport&) = delete;
    UsbtmcTransport& operator=(const UsbtmcTransport&) = delete;

    void send(std::string_view message) override;
    std::string receive(std::chrono::milliseconds timeout) override;

private:
    int descriptor_;
};

}  // namespace tavero::scope
