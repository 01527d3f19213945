// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <vector>

#include "link/Com.h"

namespace tavero::link::testing {

/// An in-memory port: records what is written and serves scripted bytes to reads. Replies are
/// queued and become readable at the first read after something was written, so the flush at
/// the start of an exchange does not drop them.
class FakeCom : public Com {
public:
    using Bytes = std::vector<std::uint8_t>;

    void queueReply(Bytes reply) { replies_.push_back(std::move(reply)); }
    void serveNow(const Bytes& bytes) {
        incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
    }

    /// Makes the write of byte number `n` (0-based, counted over the whole life) fail.
    void failWriteAt(std::size_t n) { failingWrite_ = n; }
    /// Makes reads fail once `n` bytes have been delivered.
    void failReadAfter(std::size_t n) { failingReadAfter_ = n; }
    void setOpen(bool open) { open_ = open; }

    const Bytes& written() const { return written_; }
    std::uint32_t timeoutMs() const { return timeoutMs_; }
    const std::vector<std::uint32_t>& timeoutsSet() const { return timeoutsSet_; }
    int readCount() const { return reads_; }
    int flushCount() const { return flushes_; }
    std::size_t pendingBytes() const { return incoming_.size(); }

    bool Setup(std::int32_t) override { return true; }

    bool Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* countRead) override {
        ++reads_;
        if (!open_ || (failingReadAfter_ && delivered_ >= *failingReadAfter_)) {
            return false;
        }
        if (incoming_.empty() && writtenSinceRead_ && !replies_.empty()) {
            serveNow(replies_.front());
            replies_.pop_front();
        }
        writtenSinceRead_ = false;
        std::uint32_t n = 0;
        while (n < count && !incoming_.empty()) {
            buffer[n++] = incoming_.front();
            incoming_.pop_front();
            ++delivered_;
        }
        if (countRead != nullptr) {
            *countRead = n;
        }
        return true;
    }

    bool Write(const std::uint8_t* buffer, std::uint32_t count) override {
        if (!open_) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            if (failingWrite_ && *failingWrite_ == writeIndex_) {
                ++writeIndex_;
                return false;
            }
            ++writeIndex_;
            written_.push_back(buffer[i]);
        }
        writtenSinceRead_ = true;
        return true;
    }

    bool Close() override {
        const bool was = open_;
        open_ = false;
        return was;
    }

    bool Flush() override {
        ++flushes_;
        incoming_.clear();
        return open_;
    }

    bool SetTimeout(std::uint32_t timeoutMs) override {
        timeoutsSet_.push_back(timeoutMs);
        timeoutMs_ = timeoutMs;
        return true;
    }

    bool GetTimeout(std::uint32_t* timeoutMs) override {
        *timeoutMs = timeoutMs_;
        return true;
    }

    bool Open(std::string_view, std::uint32_t, std::uint32_t) override { return false; }
    bool IsOpen() const override { return open_; }

private:
    Bytes written_;
    std::deque<std::uint8_t> incoming_;
    std::deque<Bytes> replies_;
    std::optional<std::size_t> failingWrite_;
    std::optional<std::size_t> failingReadAfter_;
    std::size_t writeIndex_ = 0;
    std::size_t delivered_ = 0;
    std::vector<std::uint32_t> timeoutsSet_;
    std::uint32_t timeoutMs_ = 500;
    int reads_ = 0;
    int flushes_ = 0;
    bool open_ = true;
    bool writtenSinceRead_ = false;
};

}  // namespace tavero::link::testing
