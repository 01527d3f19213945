// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary line bytes, repeated without end, to the frame receiver: it must return having
// read at most two of the longest frames its buffer takes. The receive buffer is allocated with
// exactly the size given, so AddressSanitizer catches any write past it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <span>
#include <string_view>

#include "link/Com.h"
#include "link/PacketLink.h"

namespace {

class LineCom final : public tavero::link::Com {
public:
    static constexpr std::size_t kGiveUpAfter = 1'000'000;

    explicit LineCom(std::span<const std::uint8_t> line) : line_(line) {}

    bool Setup(std::int32_t) override { return true; }
    bool Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* countRead) override {
        std::uint32_t n = 0;
        while (n < count && !line_.empty() && delivered_ < kGiveUpAfter) {
            buffer[n++] = line_[delivered_++ % line_.size()];
        }
        if (countRead != nullptr) {
            *countRead = n;
        }
        return true;
    }
    bool Write(const std::uint8_t*, std::uint32_t) override { return true; }
    bool Close() override { return true; }
    bool Flush() override { return true; }
    bool SetTimeout(std::uint32_t) override { return true; }
    bool GetTimeout(std::uint32_t* timeoutMs) override {
        *timeoutMs = 500;
        return true;
    }
    bool Open(std::string_view, std::uint32_t, std::uint32_t) override { return true; }
    bool IsOpen() const override { return true; }

    std::size_t delivered() const { return delivered_; }

private:
    std::span<const std::uint8_t> line_;
    std::size_t delivered_ = 0;
};

class NullStream : public std::ostream {
public:
    NullStream() : std::ostream(nullptr) {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint32_t bufferSize = data[0] % 96;  // around the 80 bytes every caller passes
    LineCom com({data + 1, size - 1});
    NullStream quiet;
    tavero::link::TraceFile noTrace({});
    tavero::link::PacketLink link(noTrace, quiet);
    link.SetCom(&com);
    const auto buffer = std::make_unique<std::uint8_t[]>(bufferSize);
    std::uint32_t count = 0;
    const bool done = link.Receive(buffer.get(), bufferSize, &count, 500);
    const std::size_t longestFrame = 1 + 2 * std::size_t{bufferSize};
    if (count > bufferSize || (done && count < 5) || com.delivered() > 2 * longestFrame + 2) {
        __builtin_trap();
    }
    return 0;
}
