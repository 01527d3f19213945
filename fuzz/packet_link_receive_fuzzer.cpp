// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary line bytes to the frame receiver. The receive buffer is allocated with exactly
// the size given, so AddressSanitizer catches any write past it.
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
    explicit LineCom(std::span<const std::uint8_t> line) : line_(line) {}

    bool Setup(std::int32_t) override { return true; }
    bool Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* countRead) override {
        std::uint32_t n = 0;
        while (n < count && at_ < line_.size()) {
            buffer[n++] = line_[at_++];
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

private:
    std::span<const std::uint8_t> line_;
    std::size_t at_ = 0;
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
    tavero::link::PacketLink link("/dev/null", quiet);
    link.SetCom(&com);
    const auto buffer = std::make_unique<std::uint8_t[]>(bufferSize);
    std::uint32_t count = 0;
    const bool done = link.Receive(buffer.get(), bufferSize, &count, 500);
    if (count > bufferSize || (done && count < 5)) {
        __builtin_trap();
    }
    return 0;
}
