// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/UsbtmcTransport.h"

#include <fcntl.h>
#include <linux/usb/tmc.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "measure/Oscilloscope.h"

namespace tavero::scope {

namespace {

using measure::ScopeError;

constexpr std::size_t kReadBytes = 1024 * 1024;

}  // namespace

UsbtmcTransport::UsbtmcTransport(const std::string& path)
    : descriptor_(open(path.c_str(), O_RDWR | O_CLOEXEC)) {
    if (descriptor_ < 0) {
        throw ScopeError(ScopeError::Kind::kLost, path + ": " + std::strerror(errno));
    }
}

UsbtmcTransport::~UsbtmcTransport() {
    close(descriptor_);
}

void UsbtmcTransport::send(std::string_view message) {
    ssize_t written = 0;
    do {
        written = write(descriptor_, message.data(), message.size());
    } while (written < 0 && errno == EINTR);
    if (written != static_cast<ssize_t>(message.size())) {
        throw ScopeError(ScopeError::Kind::kLost,
                         std::string("the scope took no command: ") + std::strerror(errno));
    }
}

std::string UsbtmcTransport::receive(std::chrono::milliseconds timeout) {
    auto milliseconds = static_cast<__u32>(timeout.count());
    if (ioctl(descriptor_, USBTMC_IOCTL_SET_TIMEOUT, &milliseconds) != 0) {
        throw ScopeError(ScopeError::Kind::kLost, std::string("usbtmc: ") + std::strerror(errno));
    }
    std::vector<char> bytes(kReadBytes);
    ssize_t received = 0;
    do {
        received = read(descriptor_, bytes.data(), bytes.size());
    } while (received < 0 && errno == EINTR);
    if (received > 0) {
        return std::string(bytes.data(), static_cast<std::size_t>(received));
    }
    if (received < 0 && errno == ETIMEDOUT) {
        throw ScopeError(ScopeError::Kind::kTimeout, "the scope did not answer in time");
    }
    throw ScopeError(ScopeError::Kind::kLost, std::string("the scope is gone: ") +
                                                  std::strerror(received < 0 ? errno : EIO));
}

}  // namespace tavero::scope
