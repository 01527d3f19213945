// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/GeneratorSettings.h"

#include <algorithm>
#include <type_traits>

namespace tavero {

namespace {

template <auto Member>
constexpr SettingsField field(std::string_view key, std::size_t wireWidth) {
    using Held = std::remove_reference_t<decltype(std::declval<GeneratorSettings&>().*Member)>;
    return SettingsField{
        key, wireWidth, std::is_signed_v<Held>,
        [](const GeneratorSettings& s) { return static_cast<std::int64_t>(s.*Member); },
        [](GeneratorSettings& s, std::int64_t value) { s.*Member = static_cast<Held>(value); }};
}

using S = GeneratorSettings;

constexpr std::array<SettingsField, kSettingsFieldCount> kFields = {
    field<&S::frequenz>("Frequenz", 4),
    field<&S::minimalfrequenz>("Minimalfrequenz", 4),
    field<&S::maximalfrequenz>("Maximalfrequenz", 4),
    field<&S::schrittweite>("Schrittweite", 4),
    field<&S::amplitude>("Amplitude", 2),
    field<&S::wobbelStartfrequenz>("Wobbel-Startfrequenz", 4),
    field<&S::wobbelStoppfrequenz>("Wobbel-Stoppfrequenz", 4),
    field<&S::wobbelFrequenz>("Wobbel-Frequenz", 2),
    field<&S::signalform>("Signalform", 1),
    field<&S::modulationseinstellungen>("Modulationseinstellungen", 1),
    field<&S::frequenzhub>("Frequenzhub", 8),
    field<&S::phasenhub>("Phasenhub", 2),
    field<&S::amplitudenhub>("Amplitudenhub", 1),
    field<&S::modulationsfrequenz>("Modulationsfrequenz", 2),
    field<&S::konfiguration>("Konfiguration", 1),
    field<&S::pllFaktor>("PLL-Faktor", 2),
    field<&S::pllOffset>("PLL-Offset", 4),
};

static_assert([] {
    std::size_t total = 0;
    for (const auto& f : kFields) {
        total += f.wireWidth;
    }
    return total == kSettingsImageSize;
}());

}  // namespace

GeneratorSettings GeneratorSettings::emptyProfile() {
    GeneratorSettings s;
    s.frequenz = 100000;
    s.minimalfrequenz = 25;
    s.maximalfrequenz = 3000000000U;
    s.schrittweite = 0;
    s.amplitude = 500;
    s.wobbelStartfrequenz = 25;
    s.wobbelStoppfrequenz = 3000000000U;
    s.wobbelFrequenz = 100;
    s.signalform = 0;
    s.modulationseinstellungen = 0;
    s.frequenzhub = 1000000;
    s.phasenhub = 1;
    s.amplitudenhub = 100;
    s.modulationsfrequenz = 10000;
    s.konfiguration = kKonfigurationFilter;
    s.pllFaktor = 1;
    s.pllOffset = 0;
    return s;
}

const std::array<SettingsField, kSettingsFieldCount>& settingsFields() { return kFields; }

std::size_t settingsFieldIndex(std::string_view key) {
    const auto it = std::find_if(kFields.begin(), kFields.end(),
                                 [key](const SettingsField& f) { return f.key == key; });
    return static_cast<std::size_t>(it - kFields.begin());
}

SettingsImage toSettingsImage(const GeneratorSettings& settings) {
    SettingsImage image{};
    std::size_t at = 0;
    for (const SettingsField& f : kFields) {
        const auto value = static_cast<std::uint64_t>(f.get(settings));
        for (std::size_t b = 0; b < f.wireWidth; ++b) {
            image[at + b] = static_cast<std::uint8_t>(value >> (8 * (f.wireWidth - 1 - b)));
        }
        at += f.wireWidth;
    }
    return image;
}

GeneratorSettings fromSettingsImage(std::span<const std::uint8_t, kSettingsImageSize> image) {
    GeneratorSettings settings;
    std::size_t at = 0;
    for (const SettingsField& f : kFields) {
        std::uint64_t value = 0;
        for (std::size_t b = 0; b < f.wireWidth; ++b) {
            value = (value << 8) | image[at + b];
        }
        const unsigned bits = static_cast<unsigned>(8 * f.wireWidth);
        auto widened = static_cast<std::int64_t>(value);
        if (f.isSigned && bits < 64 && (value >> (bits - 1)) != 0) {
            widened -= std::int64_t{1} << bits;
        }
        f.set(settings, widened);
        at += f.wireWidth;
    }
    return settings;
}

}  // namespace tavero
