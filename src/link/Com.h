// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace tavero::link {

/// An abstract byte-stream port. Every operation reports success as true.
class Com {
public:
    virtual ~Com() = default;

    /// Does nothing on every port of this program.
    virtual bool Setup(std::int32_t value) = 0;
    /// Reads up to `count` bytes; true also when the time-out expired with fewer (even 0) bytes,
    /// whose number goes to `countRead` when given.
    virtual bool Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* countRead) = 0;
    /// True only if every byte was accepted.
    virtual bool Write(const std::uint8_t* buffer, std::uint32_t count) = 0;
    /// True if a device was open and is now closed.
    virtual bool Close() = 0;
    /// Discards whatever waits to be sent or read.
    virtual bool Flush() = 0;
    /// Sets the read and the write time-out, in ms.
    virtual bool SetTimeout(std::uint32_t timeoutMs) = 0;
    /// Delivers the read time-out, in ms.
    virtual bool GetTimeout(std::uint32_t* timeoutMs) = 0;
    /// Opens the device whose description equals `name`.
    virtual bool Open(std::string_view name, std::uint32_t baudRate, std::uint32_t timeoutMs) = 0;
    virtual bool IsOpen() const = 0;
};

}  // namespace tavero::link
