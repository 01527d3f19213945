// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/SocketTransport.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

#include "measure/Oscilloscope.h"

namespace tavero::scope {

namespace {

using measure::ScopeError;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kReadBytes = 65536;

std::string reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

}  // namespace

SocketTransport::SocketTransport(const std::string& host, std::uint16_t port,
                                 std::chrono::milliseconds timeout)
    : sendTimeout_(timeout) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (lookup != 0) {
        throw ScopeError(ScopeError::Kind::kLost, host + ": " + gai_strerror(lookup));
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, freeaddrinfo);
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        descriptor_ = socket(address->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (descriptor_ < 0) {
            continue;
        }
        const int yes = 1;
        setsockopt(descriptor_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        int error = 0;
        socklen_t length = sizeof error;
        if ((connect(descriptor_, address->ai_addr, address->ai_addrlen) == 0 ||
             (errno == EINPROGRESS && await(POLLOUT, timeout) &&
              getsockopt(descriptor_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0))) {
            return;
        }
        close(descriptor_);
        descriptor_ = -1;
    }
    throw ScopeError(ScopeError::Kind::kLost,
                     "cannot connect to " + host + ":" + std::to_string(port));
}

SocketTransport::~SocketTransport() {
    if (descriptor_ >= 0) {
        close(descriptor_);
    }
}

bool SocketTransport::await(short events, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        pollfd ready{descriptor_, events, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        const int count = poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (count > 0) {
            return true;
        }
        // A signal (the user's Ctrl+C) breaks the wait; the answer may still come.
        if (count == 0 || errno != EINTR) {
            return false;
        }
    }
}

void SocketTransport::send(std::string_view message) {
    while (!message.empty()) {
        const ssize_t sent = ::send(descriptor_, message.data(), message.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            message.remove_prefix(static_cast<std::size_t>(sent));
        } else if (errno == EAGAIN) {
            if (!await(POLLOUT, sendTimeout_)) {
                throw ScopeError(ScopeError::Kind::kTimeout, "the scope took no command in time");
            }
        } else if (errno != EINTR) {
            throw ScopeError(ScopeError::Kind::kLost, reason("the scope took no command"));
        }
    }
}

std::string SocketTransport::receive(std::chrono::milliseconds timeout) {
    if (!await(POLLIN, timeout)) {
        throw ScopeError(ScopeError::Kind::kTimeout, "the scope did not answer in time");
    }
    std::array<char, kReadBytes> bytes{};
    while (true) {
        const ssize_t received = recv(descriptor_, bytes.data(), bytes.size(), 0);
        if (received > 0) {
            return std::string(bytes.data(), static_cast<std::size_t>(received));
        }
        if (received == 0) {
            throw ScopeError(ScopeError::Kind::kLost, "the scope closed the connection");
        }
        if (errno != EINTR && errno != EAGAIN) {
            throw ScopeError(ScopeError::Kind::kLost, reason("the connection to the scope broke"));
        }
        if (errno == EAGAIN && !await(POLLIN, timeout)) {
            throw ScopeError(ScopeError::Kind::kTimeout, "the scope did not answer in time");
        }
    }
}

}  // namespace tavero::scope
