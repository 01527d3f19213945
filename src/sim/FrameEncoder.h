// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tavero::sim {

/// One frame as it goes on the line: start byte, address, payload length (little-endian),
/// payload, CRC (little-endian), every byte after the start byte escaped where needed.
/// @param payload at most 65535 bytes
/// @param crcDamage bits flipped in the CRC as sent, to imitate a reply damaged on the line;
///        0 for a sound frame
std::vector<std::uint8_t> encodeFrame(std::span<const std::uint8_t> payload,
                                      std::uint16_t crcDamage = 0);

}  // namespace tavero::sim
