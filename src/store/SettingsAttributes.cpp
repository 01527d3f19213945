// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SettingsAttributes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "store/AttributeConversions.h"

namespace tavero::store {

namespace {

enum class Conversion : std::uint8_t { Number, Integer };

/// How each field is read, in record order. The files have always read the frequency-like
/// fields as floating-point numbers and the small ones as integers; hand-edited files rely on
/// the difference ("1e3", "2.5").
constexpr std::array<Conversion, kSettingsFieldCount> kConversions = {
    Conversion::Number,   // Frequenz
    Conversion::Number,   // Minimalfrequenz
    Conversion::Number,   // Maximalfrequenz
    Conversion::Number,   // Schrittweite
    Conversion::Integer,  // Amplitude
    Conversion::Number,   // Wobbel-Startfrequenz
    Conversion::Number,   // Wobbel-Stoppfrequenz
    Conversion::Integer,  // Wobbel-Frequenz
    Conversion::Integer,  // Signalform
    Conversion::Integer,  // Modulationseinstellungen
    Conversion::Number,   // Frequenzhub
    Conversion::Integer,  // Phasenhub
    Conversion::Integer,  // Amplitudenhub
    Conversion::Integer,  // Modulationsfrequenz
    Conversion::Integer,  // Konfiguration
    Conversion::Integer,  // PLL-Faktor
    Conversion::Number,   // PLL-Offset
};

std::int64_t convert(const std::string& text, Conversion conversion) {
    return conversion == Conversion::Number ? numberFromText(text) : integerFromText(text);
}

}  // namespace

void appendSettingsAttributes(const xml::DocNode& element, const GeneratorSettings& settings) {
    for (const SettingsField& field : settingsFields()) {
        xml::AppendAttribute(element, field.key, std::to_string(field.get(settings)));
    }
}

GeneratorSettings readSettingsAttributes(const xml::DocNode& element) {
    // A field the element does not hold, as in an element cut off by the file's end, keeps the
    // empty profile's value: a 0 limit or PLL factor would be sent on as a setting.
    GeneratorSettings settings = GeneratorSettings::emptyProfile();
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        const SettingsField& field = settingsFields()[i];
        if (const std::optional<std::string> text = xml::AttributeValue(element, field.key)) {
            field.set(settings, convert(*text, kConversions[i]));
        }
    }
    return settings;
}

}  // namespace tavero::store
