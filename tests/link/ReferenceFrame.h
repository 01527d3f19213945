// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace tavero::link::testing {

/// Frames a payload independently of the code under test: the common table-free, non-reflected
/// CRC-16 (poly 0x8005, init 0x800D, no final XOR) over the stuffed bytes.
inline std::uint16_t referenceCrc(const std::vector<std::uint8_t>& bytes) {
    std::uint16_t crc = 0x800D;
    for (const std::uint8_t byte : bytes) {
        crc = static_cast<std::uint16_t>(crc ^ (byte << 8));
        for (int i = 0; i < 8; ++i) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1);
        }
    }
    return crc;
}

inline std::vector<std::uint8_t> referenceFrame(const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> line = {0x02};
    const auto stuff = [&line](std::uint8_t b) {
        if (b == 0x02 || b == 0x10) {
            line.push_back(0x10);
            b |= 0x80;
        }
        line.push_back(b);
    };
    stuff(0);
    stuff(static_cast<std::uint8_t>(payload.size() & 0xFF));
    stuff(static_cast<std::uint8_t>(payload.size() >> 8));
    for (const std::uint8_t b : payload) {
        stuff(b);
    }
    const std::uint16_t crc = referenceCrc(line);
    stuff(static_cast<std::uint8_t>(crc & 0xFF));
    stuff(static_cast<std::uint8_t>(crc >> 8));
    return line;
}

}  // namespace tavero::link::testing
