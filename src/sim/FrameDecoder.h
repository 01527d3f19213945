// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/FrameCrc.h"

namespace tavero::sim {

/// Finds frames in a byte stream, one line byte at a time, as the firmware does.
///
/// Unlike the PC side, every unescaped start byte begins a new frame: a correct sender never
/// puts one inside a frame, so seeing one means the previous frame was cut off.
class FrameDecoder {
public:
    enum class Event {
        kNone,      ///< the byte was taken; no frame ended with it
        kFrame,     ///< a frame with a correct CRC ended: see payload()
        kRejected,  ///< a frame ended with a wrong CRC, or declared too long a payload
    };

    Event feed(std::uint8_t lineByte);

    /// The payload of the frame just reported by kFrame, without escapes; valid until the next
    /// byte is fed.
    const std::vector<std::uint8_t>& payload() const { return payload_; }
    /// The address byte of that frame.
    std::uint8_t address() const { return address_; }

    /// Forgets a frame begun so far and waits for the next start byte.
    void reset();

private:
    Event take(std::uint8_t value);
    bool inCrcField() const { return decoded_ >= 3 && decoded_ >= 3 + declaredLength_; }

    bool started_ = false;
    bool escapePending_ = false;
    std::size_t decoded_ = 0;  ///< bytes taken since the start byte, after unescaping
    std::size_t declaredLength_ = 0;
    std::uint8_t address_ = 0;
    std::vector<std::uint8_t> payload_;
    FrameCrc crc_;
    std::uint16_t receivedCrc_ = 0;
};

}  // namespace tavero::sim
