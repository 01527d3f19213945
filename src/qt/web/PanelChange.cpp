// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/PanelChange.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

#include "core/SettingsLimits.h"
#include "model/ChangePlan.h"
#include "model/EntryRules.h"
#include "model/OutputFrequency.h"
#include "model/OutputStepping.h"
#include "model/PllStage.h"
#include "model/TypedFields.h"
#include "model/TypedQuantity.h"

namespace tavero::qt {

namespace {

using Result = std::variant<std::monostate, model::Edit, RefusedEntry>;

constexpr std::size_t kPageFrequencyDigits = 14;
constexpr std::size_t kAmplitudeDigits = 4;
using model::ShownUnit;

/// A control that sets one byte's bits to one of several choices.
struct Choice {
    std::string_view control;
    std::string_view value;
    std::string_view field;
    std::uint8_t mask;
    std::uint8_t bits;
};

constexpr std::array<Choice, 16> kChoices = {{
    {"waveform", "sine", "Signalform", 0xFF, 0},
    {"waveform", "triangle", "Signalform", 0xFF, 1},
    {"waveform", "square", "Signalform", 0xFF, 2},
    {"waveform", "square-half", "Signalform", 0xFF, 3},
    {"mode", "standard", "Konfiguration", kKonfigurationBetriebsartMask, kBetriebsartStandard},
    {"mode", "sweep", "Konfiguration", kKonfigurationBetriebsartMask, kBetriebsartWobbeln},
    {"mode", "modulation", "Konfiguration", kKonfigurationBetriebsartMask, kBetriebsartModulation},
    {"filter", "on", "Konfiguration", kKonfigurationFilter, kKonfigurationFilter},
    {"filter", "off", "Konfiguration", kKonfigurationFilter, 0},
    {"am", "on", "Modulationseinstellungen", kModulationAm, kModulationAm},
    {"am", "off", "Modulationseinstellungen", kModulationAm, 0},
    {"keying", "fsk", "Modulationseinstellungen", kModulationPmArtMask, kPmArtFsk},
    {"keying", "psk", "Modulationseinstellungen", kModulationPmArtMask, kPmArtPsk},
    {"keying", "ask", "Modulationseinstellungen", kModulationPmArtMask, kPmArtAsk},
    {"modulation-source", "internal", "Modulationseinstellungen", kModulationPmQuelleExtern, 0},
    {"modulation-source", "external", "Modulationseinstellungen", kModulationPmQuelleExtern,
     kModulationPmQuelleExtern},
}};

/// A field of the sweep or modulation settings, sent as its dialog sends it on Enter.
struct DialogField {
    std::string_view control;
    const model::TypedField& field;
    ShownUnit unit;
    std::string_view command;
};

const std::array<DialogField, 6> kDialogFields = {{
    {"sweep-start", model::kSweepStartField, ShownUnit::kHertz, "w"},
    {"sweep-stop", model::kSweepStopField, ShownUnit::kHertz, "w"},
    {"sweep-rate", model::kSweepRateField, ShownUnit::kHertz, "w"},
    {"modulation-rate", model::kModulationRateField, ShownUnit::kHertz, "m"},
    {"phase-deviation", model::kPhaseDeviationField, ShownUnit::kNone, "m"},
    {"frequency-deviation", model::kFrequencyDeviationField, ShownUnit::kHertz, "m"},
}};

std::size_t fieldIndex(std::string_view key) {
    return settingsFieldIndex(key);
}

/// The typed value as the field reads it, or nothing when the text is not wholly one number of
/// the field's units; a whole-number field takes no decimals.
std::optional<std::int64_t> typedValue(const model::TypedField& field, std::string_view typed,
                                       ShownUnit unit) {
    const std::optional<std::string> plain = model::plainNumberText(typed, unit);
    if (!plain ||
        (field.reading == model::Reading::kInteger && plain->find('.') != std::string::npos)) {
        return std::nullopt;
    }
    return field.accept(*plain);
}

std::optional<std::size_t> digitPosition(std::string_view text, std::size_t digits) {
    std::size_t position = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
    if (error != std::errc() || end != text.data() + text.size() || position >= digits) {
        return std::nullopt;
    }
    return position;
}

model::Edit frequencyEdit(const GeneratorSettings& settings, std::int64_t output) {
    return model::Edit::field(fieldIndex("Frequenz"), model::frequenzForOutput(settings, output),
                              "f");
}

Result typedFrequency(std::string_view typed, const GeneratorSettings& settings) {
    const std::optional<std::string> plain = model::plainNumberText(typed, ShownUnit::kHertz);
    const std::optional<std::int64_t> output =
        plain ? model::acceptedOutputFrequency(*plain, settings) : std::nullopt;
    if (!output) {
        return RefusedEntry{
            model::frequencyRefusalText(model::limitText(settings.minimalfrequenz),
                                        model::limitText(settings.maximalfrequenz))};
    }
    return frequencyEdit(settings, *output);
}

Result typedAmplitude(std::string_view typed) {
    const std::optional<std::string> plain = model::plainNumberText(typed, ShownUnit::kMillivolt);
    // The amplitude's resolution is 1 mV.
    const std::optional<std::uint32_t> amplitude = plain && plain->find('.') == std::string::npos
                                                       ? model::acceptedAmplitude(*plain)
                                                       : std::nullopt;
    if (!amplitude) {
        return RefusedEntry{model::amplitudeRefusalText()};
    }
    return model::Edit::field(fieldIndex("Amplitude"), *amplitude, "g");
}

/// The least or highest frequency, moving the frequency along into the new limits as the window
/// does, which sends it first.
Result typedLimit(std::string_view control, std::string_view typed,
                  const GeneratorSettings& settings) {
    const std::optional<std::string> plain = model::plainNumberText(typed, ShownUnit::kHertz);
    const bool minimum = control == "minimum";
    const std::optional<std::uint32_t> limit = !plain    ? std::nullopt
                                               : minimum ? model::acceptedMinimum(*plain, settings)
                                                         : model::acceptedMaximum(*plain, settings);
    if (!limit) {
        return RefusedEntry{
            minimum ? model::minimumRefusalText(model::limitText(settings.maximalfrequenz))
                    : model::maximumRefusalText(model::limitText(settings.minimalfrequenz))};
    }
    const std::uint64_t required = pllRequiredMinimum(settings);
    if (minimum && *limit < required) {
        // The window asks whether to take the PLL stage's least frequency instead; the page
        // names it as the limit.
        return RefusedEntry{
            model::frequencyRefusalText(model::limitText(static_cast<std::uint32_t>(required)),
                                        model::limitText(settings.maximalfrequenz))};
    }
    GeneratorSettings after = settings;
    (minimum ? after.minimalfrequenz : after.maximalfrequenz) = *limit;
    const bool moved = minimum ? settings.frequenz < *limit : settings.frequenz > *limit;
    if (moved) {
        after.frequenz = *limit;
    }
    return model::Edit::fromDraft(settings, after, moved ? "fc" : "c");
}

Result typedStep(std::string_view typed) {
    const std::optional<std::string> plain = model::plainNumberText(typed, ShownUnit::kHertz);
    const std::optional<std::uint32_t> step = plain ? model::acceptedStep(*plain) : std::nullopt;
    if (!step) {
        return RefusedEntry{model::stepRefusalText()};
    }
    return model::Edit::field(fieldIndex("Schrittweite"), *step, "z");
}

/// The PLL settings, taken as their dialog takes them on closing; the window then sends the
/// frequency, the step, the factor and the offset.
Result pllStage(const PanelEntry& entry, const GeneratorSettings& settings) {
    const std::optional<std::int64_t> factor =
        typedValue(model::kPllFactorField, entry.value, ShownUnit::kNone);
    if (!factor) {
        return RefusedEntry{std::string(model::kPllFactorField.refusal)};
    }
    const std::optional<std::int64_t> offset =
        typedValue(model::kPllOffsetField, entry.pllOffset, ShownUnit::kKilohertz);
    if (!offset) {
        return RefusedEntry{std::string(model::kPllOffsetField.refusal)};
    }
    const std::variant<GeneratorSettings, std::string> staged = model::withPllStage(
        settings, static_cast<std::uint32_t>(*factor), static_cast<std::int32_t>(*offset));
    if (const auto* refusal = std::get_if<std::string>(&staged)) {
        return RefusedEntry{*refusal};
    }
    return model::Edit::fromDraft(settings, std::get<GeneratorSettings>(staged), "fzto");
}

/// A digit stepped as a click on it steps it in the window, which sends the value even when
/// the step would leave the limits and the value stays.
Result digitStep(std::string_view control, std::string_view value,
                 const GeneratorSettings& settings) {
    const bool frequency = control.starts_with("frequency-");
    const bool raise = control.ends_with("-up");
    if (frequency) {
        // The page shows Hz whatever the frequency: up to 63 GHz behind a PLL stage.
        const std::optional<std::size_t> position = digitPosition(value, kPageFrequencyDigits);
        if (!position) {
            return std::monostate{};
        }
        const std::int64_t output = model::outputFrequencyOf(settings);
        const std::uint64_t step = model::frequencyDigitStep(*position, false);
        return frequencyEdit(
            settings,
            model::steppedOutputFrequency(settings, output, step, raise).value_or(output));
    }
    const std::optional<std::size_t> position = digitPosition(value, kAmplitudeDigits);
    if (!position) {
        return std::monostate{};
    }
    std::uint64_t step = 1;
    for (std::size_t decade = 0; decade < *position; ++decade) {
        step *= 10;
    }
    return model::Edit::field(
        fieldIndex("Amplitude"),
        model::steppedAmplitude(settings.amplitude, step, raise).value_or(settings.amplitude), "g");
}

}  // namespace

std::variant<std::monostate, model::Edit, RefusedEntry> panelEdit(
    const PanelEntry& entry, const GeneratorSettings& settings) {
    const std::string_view control = entry.control;
    if (control == "frequency") {
        return typedFrequency(entry.value, settings);
    }
    if (control == "amplitude") {
        return typedAmplitude(entry.value);
    }
    if (control == "minimum" || control == "maximum") {
        return typedLimit(control, entry.value, settings);
    }
    if (control == "step") {
        return typedStep(entry.value);
    }
    if (control == "pll") {
        return pllStage(entry, settings);
    }
    if (control == "frequency-up" || control == "frequency-down" || control == "amplitude-up" ||
        control == "amplitude-down") {
        return digitStep(control, entry.value, settings);
    }
    if ((control == "step-up" || control == "step-down") && entry.value.empty()) {
        const std::int64_t output = model::outputFrequencyOf(settings);
        return frequencyEdit(settings,
                             model::steppedOutputFrequency(settings, output, settings.schrittweite,
                                                           control == "step-up")
                                 .value_or(output));
    }
    for (const DialogField& dialogField : kDialogFields) {
        if (dialogField.control == control) {
            const std::optional<std::int64_t> value =
                typedValue(dialogField.field, entry.value, dialogField.unit);
            if (!value) {
                return RefusedEntry{std::string(dialogField.field.refusal)};
            }
            return model::Edit::field(fieldIndex(dialogField.field.key), *value,
                                      std::string(dialogField.command));
        }
    }
    for (const Choice& choice : kChoices) {
        if (choice.control == control && choice.value == entry.value) {
            const std::size_t field = fieldIndex(choice.field);
            const auto current = static_cast<std::uint8_t>(settingsFields()[field].get(settings));
            const auto bits = static_cast<std::uint8_t>((current & ~choice.mask) | choice.bits);
            if (choice.field == "Modulationseinstellungen") {
                // The modulation dialog sends its settings on every click.
                return model::Edit::field(field, bits, "m");
            }
            const std::array<model::FieldValue, 1> values = {{{field, bits}}};
            return model::planChange(settings, values);
        }
    }
    return std::monostate{};
}

}  // namespace tavero::qt
