// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace tavero::link {

/// The services of the USB-to-serial bridge library, one function per role, with the library's
/// result codes. Implementations: the serial port of the operating system (Qt) and the
/// simulated generator.
class UsbBridge {
public:
    using Handle = std::uintptr_t;
    static constexpr Handle kNoHandle = ~Handle{0};

    /// Result codes of every call.
    enum Result : int {
        kSuccess = 0x00,
        kInvalidHandle = 0x01,
        kReadError = 0x02,
        kRxQueueNotReady = 0x03,
        kWriteError = 0x04,
        kInvalidParameter = 0x06,
        kDeviceIoFailed = 0x08,
        kInvalidBaudRate = 0x09,
        kReadTimedOut = 0x0D,
        kWriteTimedOut = 0x0E,
        kDeviceNotFound = 0xFF,
    };

    /// Kinds of identity string.
    enum StringKind : int { kDescription = 1, kVendorId = 3, kProductId = 4 };

    using IdentityText = std::array<char, 256>;

    virtual ~UsbBridge() = default;

    virtual int GetNumDevices(std::uint32_t* count) = 0;
    /// Writes a NUL-terminated identity string of `kind` for the bridge at `index`.
    virtual int GetProductString(std::uint32_t index, IdentityText& text, int kind) = 0;
    virtual int OpenDevice(std::uint32_t index, Handle* handle) = 0;
    virtual int CloseDevice(Handle handle) = 0;
    virtual int Read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                     std::uint32_t* countRead) = 0;
    virtual int Write(Handle handle, const std::uint8_t* buffer, std::uint32_t count,
                      std::uint32_t* countWritten) = 0;
    virtual int FlushBuffers(Handle handle, bool flushTransmit, bool flushReceive) = 0;
    /// The time-outs belong to the library, not to one device.
    virtual int SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) = 0;
    virtual int GetTimeouts(std::uint32_t* readTimeoutMs, std::uint32_t* writeTimeoutMs) = 0;
    virtual int SetBaudRate(Handle handle, std::uint32_t baudRate) = 0;
    /// Bits 0-3 stop bits code, 4-7 parity code, 8-15 data bits.
    virtual int SetLineControl(Handle handle, std::uint16_t lineControl) = 0;
    virtual int SetFlowControl(Handle handle, std::uint8_t ctsCode, std::uint8_t rtsCode,
                               std::uint8_t dtrCode, std::uint8_t dsrCode, std::uint8_t dcdCode,
                               bool softwareFlow) = 0;
};

}  // namespace tavero::link
