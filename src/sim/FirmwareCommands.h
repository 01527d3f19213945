// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "sim/FirmwareState.h"

namespace tavero::sim {

/// How the firmware answers a command it accepted.
enum class ReplyKind : std::uint8_t {
    kAcknowledge,  ///< letter, 0x06
    kParameters,   ///< letter, firmware version (2 bytes), settings image (50 bytes)
    kNone,         ///< nothing at all
};

inline constexpr std::uint8_t kAcknowledge = 0x06;
inline constexpr std::uint8_t kNegativeAcknowledge = 0x15;

/// One command the firmware understands.
struct FirmwareCommand {
    char letter;
    std::size_t argumentSize;  ///< payload bytes after the letter
    ReplyKind reply;
    /// Carries the command out on arguments of `argumentSize` bytes (values big-endian);
    /// false refuses a value out of range and changes nothing.
    std::function<bool(FirmwareState&, std::span<const std::uint8_t>)> apply;
};

/// The command with this letter, or null for a letter the firmware does not know.
const FirmwareCommand* findFirmwareCommand(char letter);

}  // namespace tavero::sim
