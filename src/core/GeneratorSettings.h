// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tavero {

/// Every signal setting of the generator. Field order is the order of the settings image sent
/// with `p` and read with `P`, and of the attributes in profile and task list files.
struct GeneratorSettings {
    std::uint32_t frequenz = 0;                 ///< synthesiser frequency, in 0.01 Hz
    std::uint32_t minimalfrequenz = 0;          ///< lower limit of `frequenz`, in 0.01 Hz
    std::uint32_t maximalfrequenz = 0;          ///< upper limit of `frequenz`, in 0.01 Hz
    std::uint32_t schrittweite = 0;             ///< step of the up/down buttons, in 0.01 Hz
    std::uint32_t amplitude = 0;                ///< in mV peak-to-peak, 0..1000
    std::uint32_t wobbelStartfrequenz = 0;      ///< sweep start, in 0.01 Hz
    std::uint32_t wobbelStoppfrequenz = 0;      ///< sweep stop, in 0.01 Hz
    std::uint32_t wobbelFrequenz = 0;           ///< sweep repetition rate, in 0.1 Hz, 1..200
    std::uint8_t signalform = 0;                ///< 0 sine, 1 triangle, 2 square, 3 square f/2
    std::uint8_t modulationseinstellungen = 0;  ///< bit set, see the Modulation* constants
    std::int64_t frequenzhub = 0;               ///< frequency deviation, in 0.01 Hz
    std::uint32_t phasenhub = 0;                ///< phase deviation, in degrees, 1..359
    std::uint8_t amplitudenhub = 0;             ///< modulation depth, in percent
    std::uint32_t modulationsfrequenz = 0;      ///< in 0.1 Hz, 10..50000
    std::uint8_t konfiguration = 0;             ///< bit set, see the Konfiguration* constants
    std::uint32_t pllFaktor = 0;                ///< multiplier of the external PLL stage, 1..2048
    std::int32_t pllOffset = 0;                 ///< offset of the external PLL stage, in 0.01 kHz

    /// The values of a new, empty profile.
    static GeneratorSettings emptyProfile();

    friend bool operator==(const GeneratorSettings&, const GeneratorSettings&) = default;
};

// Bits of `konfiguration`.
inline constexpr std::uint8_t kKonfigurationFilter = 0x01;
inline constexpr std::uint8_t kKonfigurationBetriebsartMask = 0x06;
inline constexpr std::uint8_t kBetriebsartStandard = 0x00;
inline constexpr std::uint8_t kBetriebsartWobbeln = 0x02;
inline constexpr std::uint8_t kBetriebsartModulation = 0x04;

// Bits of `modulationseinstellungen`.
inline constexpr std::uint8_t kModulationAm = 0x01;
inline constexpr std::uint8_t kModulationPmQuelleExtern = 0x02;
inline constexpr std::uint8_t kModulationPmArtMask = 0x0C;
inline constexpr std::uint8_t kPmArtFsk = 0x00;
inline constexpr std::uint8_t kPmArtPsk = 0x04;
inline constexpr std::uint8_t kPmArtAsk = 0x08;

/// One field of the record as the files and the settings image see it.
struct SettingsField {
    std::string_view key;   ///< the key in profile and task list files
    std::size_t wireWidth;  ///< bytes in the settings image
    bool isSigned;          ///< signed two's complement on the wire and in files
    /// The field's value, widened without loss.
    std::int64_t (*get)(const GeneratorSettings&);
    /// Stores a value, truncated to the width the field is held in: callers range-check first.
    void (*set)(GeneratorSettings&, std::int64_t);
};

inline constexpr std::size_t kSettingsFieldCount = 17;
inline constexpr std::size_t kSettingsImageSize = 50;

/// The 17 fields in record order.
const std::array<SettingsField, kSettingsFieldCount>& settingsFields();

/// Index of the field with this key, compared exactly, or kSettingsFieldCount if none has it.
std::size_t settingsFieldIndex(std::string_view key);

using SettingsImage = std::array<std::uint8_t, kSettingsImageSize>;

/// The 50-byte settings image: each field big-endian, cut to its wire width.
SettingsImage toSettingsImage(const GeneratorSettings& settings);

/// Reads a settings image; narrower wire fields are zero-extended, `pllOffset` and
/// `frequenzhub` keep their sign.
GeneratorSettings fromSettingsImage(std::span<const std::uint8_t, kSettingsImageSize> image);

}  // namespace tavero
