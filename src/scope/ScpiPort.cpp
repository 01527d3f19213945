// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/ScpiPort.h"

#include <algorithm>
#include <charconv>

#include "measure/Oscilloscope.h"

namespace tavero::scope {

namespace {

using measure::ScopeError;

/// How long a late answer is waited for after a time-out.
constexpr std::chrono::milliseconds kLateAnswerWait{200};

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

std::string trimmed(std::string_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

}  // namespace

void ScpiPort::write(std::string_view command) {
    std::string message(command);
    message += '\n';
    transport_.send(message);
}

void ScpiPort::fill(std::chrono::milliseconds timeout) {
    try {
        buffer_ += transport_.receive(timeout);
    } catch (const ScopeError& e) {
        timedOut_ = e.kind() == ScopeError::Kind::kTimeout;
        throw;
    }
}

void ScpiPort::dropLateAnswer() {
    if (!timedOut_) {
        return;
    }
    timedOut_ = false;
    buffer_.clear();
    try {
        while (true) {
            transport_.receive(kLateAnswerWait);
        }
    } catch (const ScopeError& e) {
        if (e.kind() != ScopeError::Kind::kTimeout) {
            throw;
        }
    }
}

std::string ScpiPort::query(std::string_view command, std::chrono::milliseconds timeout) {
    dropLateAnswer();
    write(command);
    while (true) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = trimmed(std::string_view(buffer_).substr(0, end));
            buffer_.erase(0, end + 1);
            if (!line.empty()) {
                return line;
            }
        } else {
            fill(timeout);
        }
    }
}

std::string ScpiPort::queryBlock(std::string_view command, std::chrono::milliseconds timeout) {
    dropLateAnswer();
    write(command);
    std::size_t hash = std::string::npos;
    while ((hash = buffer_.find('#')) == std::string::npos || buffer_.size() < hash + 2) {
        fill(timeout);
    }
    const char digitsChar = buffer_[hash + 1];
    if (digitsChar < '1' || digitsChar > '9') {
        throw ScopeError(ScopeError::Kind::kAnswer, "an indefinite or malformed block");
    }
    const std::size_t digits = static_cast<std::size_t>(digitsChar - '0');
    while (buffer_.size() < hash + 2 + digits) {
        fill(timeout);
    }
    std::size_t length = 0;
    const char* first = buffer_.data() + hash + 2;
    const auto [end, error] = std::from_chars(first, first + digits, length);
    if (error != std::errc{} || end != first + digits) {
        throw ScopeError(ScopeError::Kind::kAnswer, "a block of unreadable length");
    }
    const std::size_t start = hash + 2 + digits;
    while (buffer_.size() < start + length) {
        fill(timeout);
    }
    std::string block = buffer_.substr(start, length);
    // The line end after the block belongs to it.
    std::size_t rest = start + length;
    while (rest < buffer_.size() && blank(buffer_[rest])) {
        ++rest;
    }
    buffer_.erase(0, rest);
    return block;
}

}  // namespace tavero::scope
