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
    editTexts_[kMinimumText] = withDecimalPoints(editTexts_[kMinimumText]);
    const std::optional<std::uint32_t> minimum =
        model::acceptedMinimum(editTexts_[kMinimumText], settings());
    if (!minimum) {
        refuseWith(model::minimumRefusalText(editTexts_[kMaximumText]));
        return;
    }
    const std::uint64_t required = pllRequiredMinimum(settings());
    std::optional<std::uint32_t> taken;
    if (*minimum >= required) {
        if (settings().frequenz < *minimum) {
            moveFrequency(*minimum);
        }
        taken = *minimum;
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
    editTexts_[kMaximumText] = withDecimalPoints(editTexts_[kMaximumText]);
    const std::optional<std::uint32_t> maximum =
        model::acceptedMaximum(editTexts_[kMaximumText], settings());
    if (!maximum) {
        refuseWith(model::maximumRefusalText(editTexts_[kMinimumText]));
        return;
    }
    if (settings().frequenz > *maximum) {
        moveFrequency(*maximum);
    }
    GeneratorSettings draft = settings();
    draft.maximalfrequenz = *maximum;
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
    editTexts_[kStepText] = withDecimalPoints(editTexts_[kStepText]);
    const std::optional<std::uint32_t> step = model::acceptedStep(editTexts_[kStepText]);
    if (!step) {
        refuseWith(model::stepRefusalText());
        return;
    }
    GeneratorSettings draft = settings();
    draft.schrittweite = *step;
    send(draft, "z");
}

void CTaveroDlg::moveFrequency(std::uint32_t frequenz) {
    GeneratorSettings draft = settings();
    draft.frequenz = frequenz;
    outputFrequency_ = model::outputFrequencyOf(draft);
    send(draft, "f");
}

}  // namespace tavero::app
