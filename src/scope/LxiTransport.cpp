// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/LxiTransport.h"

#include <lxi.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

#include "measure/Oscilloscope.h"

namespace tavero::scope {

namespace {

using measure::ScopeError;

constexpr std::size_t kBufferBytes = 4 * 1024 * 1024;

int milliseconds(std::chrono::milliseconds duration) {
    return static_cast<int>(duration.count());
}

}  // namespace

void initialiseLxi() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { lxi_init(); });
}

LxiTransport::LxiTransport(const Resource& resource, std::chrono::milliseconds timeout)
    : sendTimeout_(timeout), buffer_(kBufferBytes) {
    initialiseLxi();
    device_ = lxi_connect(resource.host.c_str(), 0, resource.device.c_str(), milliseconds(timeout),
                          VXI11);
    if (device_ < 0) {
        throw ScopeError(ScopeError::Kind::kLost, "cannot connect to " + resource.host);
    }
}

LxiTransport::~LxiTransport() {
    lxi_disconnect(device_);
}

void LxiTransport::send(std::string_view message) {
    int sent = 0;
    do {
        errno = 0;
        sent = lxi_send(device_, message.data(), static_cast<int>(message.size()),
                        milliseconds(sendTimeout_));
        // A signal (the user's Ctrl+C) breaks liblxi's wait before anything went out.
    } while (sent < 0 && errno == EINTR);
    if (sent != static_cast<int>(message.size())) {
        throw ScopeError(ScopeError::Kind::kLost, "the scope took no command");
    }
}

std::string LxiTransport::receive(std::chrono::milliseconds timeout) {
    const auto start = std::chrono::steady_clock::now();
    const int received = lxi_receive(device_, buffer_.data(), static_cast<int>(buffer_.size()),
                                     milliseconds(timeout));
    if (received > 0) {
        return std::string(buffer_.data(), static_cast<std::size_t>(received));
    }
    // liblxi tells a time-out from a broken connection only by the time it took.
    const bool waitedItOut = std::chrono::steady_clock::now() - start >= timeout * 9 / 10;
    if (received < 0 && waitedItOut) {
        throw ScopeError(ScopeError::Kind::kTimeout, "the scope did not answer in time");
    }
    throw ScopeError(ScopeError::Kind::kLost, "the scope closed the connection");
}

}  // namespace tavero::scope
