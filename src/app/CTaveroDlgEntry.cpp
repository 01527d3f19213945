// SPDX-License-Identifier: GPL-3.0-or-later
// Direct entry of the frequency, its limits, the step and the amplitude in the main window.
#include <optional>
#include <string>

#include "app/CTaveroDlg.h"
#include "core/NumberText.h"
#include "core/SettingsLimits.h"
#include "model/EntryRules.h"
#include "model/OutputFrequency.h"
#include "res/MainWindowIds.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace tavero::app {

namespace {

// Indexes of the edits in editTexts_.
enum EditIndex : std::size_t {
    kFrequencyText,
    kAmplitudeText,
    kMinimumText,
    kMaximumText,
    kStepText
};

constexpr std::string_view kPllQuestion =
    "Die derzeitigen PLL-Einstellungen verlangen eine höhere Minimalfrequenz.\nSoll diese "
    "verwendet werden?";
constexpr std::string_view kPllQuestionCaption = "Eingabefehler";

bool onGrid(std::int64_t value) {
    return value % kFrequencyGridCentiHz == 0;
}

}  // namespace

bool CTaveroDlg::onEnterKey() {
    if (lockedOut()) {
        return false;
    }
    for (std::size_t i = 0; i < res::kEntryEditIds.size(); ++i) {
        editTexts_[i] = window().text(res::kEntryEditIds[i]);
    }
    const std::optional<int> focus = window().focus();
    if (!focus) {
        return false;
    }
    switch (*focus) {
        case res::kEditFrequency:
            enterFrequency();
            break;
        case res::kEditMinimum:
            enterMinimum();
            break;
        case res::kEditMaximum:
            enterMaximum();
            break;
        case res::kEditAmplitude:
            enterAmplitude();
            break;
        case res::kEditStep:
            enterStep();
            break;
        default:
            break;
    }
    UpdateDisplay();
    // Passed on: the main window's default button does nothing.
    return false;
}

std::optional<std::int64_t> CTaveroDlg::readFrequencyEdit(std::size_t edit) {
    editTexts_[edit] = withDecimalPoints(editTexts_[edit]);
    return readScaledNumber(editTexts_[edit], 100.0);
}

void CTaveroDlg::refuseEntry(std::string_view limits) {
    refuseWith(model::withinLimitsText(limits));
}

void CTaveroDlg::refuseWith(const std::string& message) {
    host().messageBox(message, model::kInvalidEntryCaption, ui::Icon::Warning);
}

void CTaveroDlg::enterFrequency() {
    editTexts_[kFrequencyText] = withDecimalPoints(editTexts_[kFrequencyText]);
    const std::optional<std::int64_t> value =
        model::acceptedOutputFrequency(editTexts_[kFrequencyText], settings());
    if (!value) {
        refuseWith(model::frequencyRefusalText(editTexts_[kMinimumText], editTexts_[kMaximumText]));
        return;
    }
    outputFrequency_ = *value;
    GeneratorSettings draft = settings();
    draft.frequenz = model::frequenzForOutput(draft, outputFrequency_);
    send(draft, "f");
}

void CTaveroDlg::enterMinimum() {
    const std::optional<std::int64_t> value = readFrequencyEdit(kMinimumText);
    const std::uint64_t required = pllRequiredMinimum(settings());
    // A least frequency above the maximum (PLL values from the generator or a file) cannot be
    // a minimum: taking it would put the minimum above the maximum.
    if (!value || !onGrid(*value) || *value < kFrequencyGridCentiHz ||
        *value > settings().maximalfrequenz || required > settings().maximalfrequenz) {
        refuseEntry("Auflösung: 0.25 Hz\nMinimalfrequenz: 0,25 Hz\nMaximalfrequenz: " +
                    editTexts_[kMaximumText] + " Hz");
        return;
    }
    const auto minimum = static_cast<std::uint32_t>(*value);
    std::optional<std::uint32_t> taken;
    if (minimum >= required) {
        if (settings().frequenz < minimum) {
            moveFrequency(minimum);
        }
        taken = minimum;
    } else if (confirmWhileConnected(kPllQuestion, kPllQuestionCaption)) {
        // Sent like the other branch, so the generator's frequency follows its new minimum.
        moveFrequency(static_cast<std::uint32_t>(required));
        taken = static_cast<std::uint32_t>(required);
    } else if (!connected_) {
        return;
    }
    GeneratorSettings draft = settings();
    draft.minimalfrequenz = taken.value_or(draft.minimalfrequenz);
    send(draft, "c");
}

void CTaveroDlg::enterMaximum() {
    const std::optional<std::int64_t> value = readFrequencyEdit(kMaximumText);
    if (!value || !onGrid(*value) || *value < settings().minimalfrequenz ||
        *value > kMaximumFrequencyCentiHz) {
        refuseEntry("Auflösung: 0.25 Hz\nMinimalfrequenz: " + editTexts_[kMinimumText] +
                    " Hz\nMaximalfrequenz: 30000000.00 Hz");
        return;
    }
    const auto maximum = static_cast<std::uint32_t>(*value);
    if (settings().frequenz > maximum) {
        moveFrequency(maximum);
    }
    GeneratorSettings draft = settings();
    draft.maximalfrequenz = maximum;
    send(draft, "c");
}

void CTaveroDlg::enterAmplitude() {
    editTexts_[kAmplitudeText] = withDecimalPoints(editTexts_[kAmplitudeText]);
    const std::optional<std::uint32_t> amplitude =
        model::acceptedAmplitude(editTexts_[kAmplitudeText]);
    if (!amplitude) {
        refuseWith(model::amplitudeRefusalText());
        return;
    }
    GeneratorSettings draft = settings();
    draft.amplitude = *amplitude;
    send(draft, "g");
}

void CTaveroDlg::enterStep() {
    const std::optional<std::int64_t> value = readFrequencyEdit(kStepText);
    if (!value || !onGrid(*value) || *value < 0 || *value > kMaximumFrequencyCentiHz) {
        refuseEntry("Auflösung: 0.25: Hz\nMaximalfrequenz: 30000000.00 Hz");
        return;
    }
    GeneratorSettings draft = settings();
    draft.schrittweite = static_cast<std::uint32_t>(*value);
    send(draft, "z");
}

void CTaveroDlg::moveFrequency(std::uint32_t frequenz) {
    GeneratorSettings draft = settings();
    draft.frequenz = frequenz;
    outputFrequency_ = model::outputFrequencyOf(draft);
    send(draft, "f");
}

}  // namespace tavero::app
