// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>

namespace tavero::res {

/// What a picture control shows. Digits are seven-segment figures drawn to fill their control;
/// the USB indicator is a lamp. The backends draw them, so every picture stays crisp at any size.
class Picture {
public:
    enum class Kind : std::uint8_t {
        None,          ///< nothing but the window background
        Digit,         ///< a seven-segment digit 0-9
        Blank,         ///< a digit place with every segment dark
        DecimalPoint,  ///< a lone decimal point
        UsbInactive,   ///< the USB indicator without a data connection
        UsbActive,     ///< the USB indicator with a data connection
        Logo,          ///< the product picture of the About box
    };

    constexpr Picture() = default;

    /// @param value the digit, 0..9
    /// @param decimalPoint whether the point after the digit is lit
    static constexpr Picture digit(int value, bool decimalPoint = false) {
        if (value < 0 || value > 9) {
            throw std::out_of_range("a digit picture shows 0..9");
        }
        return Picture(Kind::Digit, static_cast<std::uint8_t>(value), decimalPoint);
    }
    static constexpr Picture blank(bool decimalPoint = false) {
        return Picture(Kind::Blank, 0, decimalPoint);
    }
    static constexpr Picture decimalPoint() { return Picture(Kind::DecimalPoint, 0, true); }
    static constexpr Picture usbIndicator(bool active) {
        return Picture(active ? Kind::UsbActive : Kind::UsbInactive, 0, false);
    }
    static constexpr Picture logo() { return Picture(Kind::Logo, 0, false); }

    constexpr Kind kind() const { return kind_; }
    /// The digit shown; 0 for every kind but Digit.
    constexpr int digitValue() const { return digit_; }
    constexpr bool hasDecimalPoint() const { return decimalPoint_; }

    friend constexpr bool operator==(const Picture&, const Picture&) = default;

private:
    constexpr Picture(Kind kind, std::uint8_t digit, bool decimalPoint)
        : kind_(kind), digit_(digit), decimalPoint_(decimalPoint) {}

    Kind kind_ = Kind::None;
    std::uint8_t digit_ = 0;
    bool decimalPoint_ = false;
};

}  // namespace tavero::res
