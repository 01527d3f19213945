// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/FrameEncoder.h"

#include "sim/FrameCrc.h"
#include "sim/FrameFormat.h"

namespace tavero::sim {

namespace {

void appendEscaped(std::vector<std::uint8_t>& line, std::uint8_t value) {
    if (needsEscape(value)) {
        line.push_back(kEscapeByte);
        line.push_back(static_cast<std::uint8_t>(value | kEscapeFlag));
    } else {
        line.push_back(value);
    }
}

}  // namespace

std::vector<std::uint8_t> encodeFrame(std::span<const std::uint8_t> payload,
                                      std::uint16_t crcDamage) {
    const auto length = static_cast<std::uint16_t>(payload.size());
    std::vector<std::uint8_t> line;
    line.reserve(2 * payload.size() + 11);
    line.push_back(kStartByte);
    appendEscaped(line, kFrameAddress);
    appendEscaped(line, static_cast<std::uint8_t>(length & 0xFF));
    appendEscaped(line, static_cast<std::uint8_t>(length >> 8));
    for (const std::uint8_t b : payload) {
        appendEscaped(line, b);
    }
    const auto crc = static_cast<std::uint16_t>(FrameCrc::of(line) ^ crcDamage);
    appendEscaped(line, static_cast<std::uint8_t>(crc & 0xFF));
    appendEscaped(line, static_cast<std::uint8_t>(crc >> 8));
    return line;
}

}  // namespace tavero::sim
