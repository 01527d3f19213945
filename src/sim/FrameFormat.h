// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavero::sim {

/// Bytes with a meaning on the line.
inline constexpr std::uint8_t kStartByte = 0x02;
inline constexpr std::uint8_t kEscapeByte = 0x10;
/// An escaped byte goes on the line OR this flag, after kEscapeByte.
inline constexpr std::uint8_t kEscapeFlag = 0x80;

/// The address every frame carries; the generator neither needs nor checks another.
inline constexpr std::uint8_t kFrameAddress = 0x00;

/// The firmware's receive buffer: a frame declaring a longer payload is dropped unanswered.
/// The longest command payload is 51 bytes.
inline constexpr std::size_t kMaxPayloadSize = 128;

/// Whether a byte after the start byte has to be escaped.
constexpr bool needsEscape(std::uint8_t value) {
    return value == kStartByte || value == kEscapeByte;
}

}  // namespace tavero::sim
