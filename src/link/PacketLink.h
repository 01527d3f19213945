// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <string_view>
#include <vector>

#include "link/FrameCrc.h"
#include "link/TraceFile.h"

namespace tavero::link {

class Com;

/// Carries one payload to the generator as one frame and reads back one reply frame.
///
/// Frame: 0x02, address, length (16 bit, low byte first), payload, CRC (low byte first); every
/// byte after the start byte is stuffed (0x02 and 0x10 go as 0x10, byte | 0x80). Every byte
/// written is first appended to the trace; received frames and CRC mismatches are printed
/// to the diagnostic stream.
class PacketLink {
public:
    /// Result codes of the last `Send` or `Receive`.
    enum Status : std::uint8_t {
        kOk = 0,
        kNoCom = 1,
        kNotConnected = 2,
        kNoData = 3,
        kLengthTooLarge = 4,
        kBufferTooSmall = 5,
        kChecksumWrong = 6,
        kTransferError = 7,
    };

    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    /// @param trace every sent byte is appended to it; must outlive the link
    /// @param diagnostics where received frames and CRC mismatches are reported
    /// @param clock bounds a receive as a whole; tests inject their own
    explicit PacketLink(TraceFile& trace, std::ostream& diagnostics = std::cout,
                        Clock clock = &std::chrono::steady_clock::now);

    /// Attaches the port; the link never opens, closes or owns it.
    void SetCom(Com* port) { port_ = port; }

    /// Writes `data` as one frame.
    /// @param length payload bytes; only the low 16 bits go into the frame
    /// @param timeoutMs port time-out for the send, in ms; 0 leaves the port's time-out alone
    bool Send(const std::uint8_t* data, std::uint32_t length, std::uint32_t timeoutMs);

    /// Reads one frame into `buffer` without start byte and escapes: address, length (2),
    /// payload, CRC (2); `*count` receives the bytes stored.
    ///
    /// A device that keeps sending can not hold it forever: it fails with `kNoData` once the
    /// longest frame `size` allows could have come in full at the generator's line rate after
    /// the time-out, and with `kTransferError` after more bytes without a start byte than that
    /// frame has.
    /// @param timeoutMs time-out of each one-byte read, in ms; 0 leaves the port's alone
    bool Receive(std::uint8_t* buffer, std::uint32_t size, std::uint32_t* count,
                 std::uint32_t timeoutMs);

    std::uint8_t status() const { return status_; }

    /// The fixed German text of a status code.
    static std::string_view statusText(std::uint8_t status);

private:
    /// Whether a port is attached and open; sets the status that says why not.
    bool portReady();
    /// Appends `byte` to the frame under way and to its CRC.
    void putByte(std::uint8_t byte);
    /// As putByte, escaped if it is a start or escape byte.
    void putStuffed(std::uint8_t byte);
    /// Shortens the port's time-out so that a read can not outlast `deadline`; false when the
    /// deadline has passed.
    bool boundNextRead(std::chrono::steady_clock::time_point deadline, std::uint32_t timeoutMs,
                       bool& shortened);

    Com* port_ = nullptr;
    FrameCrc crc_;
    std::uint8_t address_ = 0;
    std::uint8_t status_ = kOk;
    TraceFile& trace_;
    std::vector<std::uint8_t> frame_;  ///< the stuffed frame being sent, kept for its capacity
    std::ostream& diagnostics_;
    Clock clock_;
};

}  // namespace tavero::link
