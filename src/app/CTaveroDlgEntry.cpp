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
        model::acceptedOutputFrequency(editTexts_[kFrequencyText], settings_);
    if (!value) {
        refuseWith(model::frequencyRefusalText(editTexts_[kMinimumText], editTexts_[kMaximumText]));
        return;
    }
    outputFrequency_ = *value;
    settings_.frequenz = model::frequenzForOutput(settings_, outputFrequency_);
    commands_.SendFrequency(settings_);
}

void CTaveroDlg::enterMinimum() {
    editTexts_[kMinimumText] = withDecimalPoints(editTexts_[kMinimumText]);
    const std::optional<std::uint32_t> minimum =
        model::acceptedMinimum(editTexts_[kMinimumText], settings_);
    if (!minimum) {
        refuseWith(model::minimumRefusalText(editTexts_[kMaximumText]));
        return;
    }
    const std::uint64_t required = pllRequiredMinimum(settings_);
    if (*minimum >= required) {
        if (settings_.frequenz < *minimum) {
            moveFrequency(*minimum);
        }
        settings_.minimalfrequenz = *minimum;
    } else if (host().messageBox(kPllQuestion, kPllQuestionCaption, ui::Icon::Warning,
                                 ui::Buttons::YesNo) == ui::Answer::Yes) {
        // Sent like the other branch, so the generator's frequency follows its new minimum.
        moveFrequency(static_cast<std::uint32_t>(required));
        settings_.minimalfrequenz = static_cast<std::uint32_t>(required);
    }
    commands_.SendLimits(settings_);
}

void CTaveroDlg::enterMaximum() {
    editTexts_[kMaximumText] = withDecimalPoints(editTexts_[kMaximumText]);
    const std::optional<std::uint32_t> maximum =
        model::acceptedMaximum(editTexts_[kMaximumText], settings_);
    if (!maximum) {
        refuseWith(model::maximumRefusalText(editTexts_[kMinimumText]));
        return;
    }
    if (settings_.frequenz > *maximum) {
        moveFrequency(*maximum);
    }
    settings_.maximalfrequenz = *maximum;
    commands_.SendLimits(settings_);
}

void CTaveroDlg::enterAmplitude() {
    editTexts_[kAmplitudeText] = withDecimalPoints(editTexts_[kAmplitudeText]);
    const std::optional<std::uint32_t> amplitude =
        model::acceptedAmplitude(editTexts_[kAmplitudeText]);
    if (!amplitude) {
        refuseWith(model::amplitudeRefusalText());
        return;
    }
    settings_.amplitude = *amplitude;
    commands_.SendAmplitude(settings_);
}

void CTaveroDlg::enterStep() {
    editTexts_[kStepText] = withDecimalPoints(editTexts_[kStepText]);
    const std::optional<std::uint32_t> step = model::acceptedStep(editTexts_[kStepText]);
    if (!step) {
        refuseWith(model::stepRefusalText());
        return;
    }
    settings_.schrittweite = *step;
    commands_.SendStep(settings_);
}

void CTaveroDlg::moveFrequency(std::uint32_t frequenz) {
    settings_.frequenz = frequenz;
    outputFrequency_ = model::outputFrequencyOf(settings_);
    commands_.SendFrequency(settings_);
}

}  // namespace tavero::app
