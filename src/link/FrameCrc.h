// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tavero::link {

/// The frame CRC in its augmented, bit-serial form.
///
/// Parameters: width 16, polynomial 0x8005, register preset 0xFFFF before the augmentation
/// (equivalent to init 0x800D in the common non-augmented form), input and output not
/// reflected, no final XOR. Check value over ASCII "123456789": 0x9ECF.
class FrameCrc {
public:
    void reset() { register_ = 0xFFFF; }

    void update(std::uint8_t byte) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = (register_ & 0x8000U) != 0;
            register_ = static_cast<std::uint16_t>((unsigned{register_} << 1) |
                                                   ((unsigned{byte} >> bit) & 1U));
            if (top) {
                register_ ^= kPolynomial;
            }
        }
    }

    /// Feeds the two augmentation bytes and returns the finished CRC.
    std::uint16_t finish() {
        update(0);
        update(0);
        return register_;
    }

private:
    static constexpr std::uint16_t kPolynomial = 0x8005;
    std::uint16_t register_ = 0xFFFF;
};

}  // namespace tavero::link
