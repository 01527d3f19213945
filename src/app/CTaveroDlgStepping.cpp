// SPDX-License-Identifier: GPL-3.0-or-later
// The digit display of the main window and its four stepping paths: wheel, clicks on the
// digits, and the up/down buttons.
#include <algorithm>
#include <cstdint>

#include "app/CTaveroDlg.h"
#include "app/DigitDisplay.h"
#include "app/MainWindowTexts.h"
#include "core/SettingsLimits.h"
#include "model/OutputFrequency.h"
#include "model/OutputStepping.h"
#include "res/MainWindowIds.h"
#include "res/StandardIds.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace tavero::app {

namespace {

bool holds(const ui::Rect& rect, ui::Point point) {
    return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top &&
           point.y <= rect.bottom;
}

/// A wheel turned with exactly one mouse button or modifier key held does not step.
bool keysBlockStep(ui::KeyState keys) {
    return keys == ui::kKeyLeftButton || keys == ui::kKeyRightButton || keys == ui::kKeyShift ||
           keys == ui::kKeyControl || keys == ui::kKeyMiddleButton;
}

bool isDigitRadio(int id) {
    return id <= res::kRadioFrequencyLast || id >= res::kRadioAmplitudeFirst;
}

bool isFrequencyRadio(int id) {
    return id >= res::kRadioFrequencyFirst && id <= res::kRadioFrequencyLast;
}

// Radios that keep their decade when the display changes scale move three places.
constexpr int kDecadesPerScale = 3;

}  // namespace

void CTaveroDlg::renderFrequency() {
    const std::optional<FrequencyReadout> readout = frequencyReadout(outputFrequency_);
    if (!readout) {
        host().messageBox(kCannotShowFrequencyText, kCannotShowFrequencyCaption, ui::Icon::Error);
        return;
    }
    window().setText(res::kLabelFrequencyUnit, readout->unit);
    for (std::size_t position = 0; position < kFrequencyDigits; ++position) {
        window().setPicture(res::kFrequencyDigitIds[position], readout->digits[position]);
    }
}

void CTaveroDlg::renderAmplitude() {
    const auto digits = amplitudeReadout(settings().amplitude);
    for (std::size_t position = 0; position < kAmplitudeDigits; ++position) {
        window().setPicture(res::kAmplitudeDigitIds[position], digits[position]);
    }
}

bool CTaveroDlg::raiseFrequency(GeneratorSettings& draft, std::uint64_t step) {
    return moveOutputFrequency(draft,
                               model::steppedOutputFrequency(draft, outputFrequency_, step, true));
}

bool CTaveroDlg::lowerFrequency(GeneratorSettings& draft, std::uint64_t step) {
    return moveOutputFrequency(draft,
                               model::steppedOutputFrequency(draft, outputFrequency_, step, false));
}

bool CTaveroDlg::moveOutputFrequency(GeneratorSettings& draft, std::optional<std::int64_t> output) {
    if (!output) {
        return false;
    }
    outputFrequency_ = *output;
    draft.frequenz = model::frequenzForOutput(draft, outputFrequency_);
    return true;
}

void CTaveroDlg::stepAmplitude(GeneratorSettings& draft, std::uint64_t step, bool raise) {
    draft.amplitude =
        model::steppedAmplitude(draft.amplitude, step, raise).value_or(draft.amplitude);
}

int CTaveroDlg::selectedDigitRadio() const {
    for (int id = res::kRadioFrequencyFirst; id <= res::kRadioAmplitudeLast; ++id) {
        if (isDigitRadio(id) && window().isChecked(id)) {
            return id;
        }
    }
    return res::kNoId;
}

void CTaveroDlg::selectDigitRadio(int selected) {
    // The waveform and mode radios lie between the two digit rows and keep their own state.
    for (int id = res::kRadioFrequencyFirst; id <= res::kRadioAmplitudeLast; ++id) {
        if (isDigitRadio(id)) {
            window().setChecked(id, id == selected);
        }
    }
}

void CTaveroDlg::onMouseWheel(const ui::WheelEvent& event) {
    if (!connected_ || lockedOut()) {
        return;
    }
    const Scale before = scaleOf(outputFrequency_);
    const int radio = selectedDigitRadio();
    GeneratorSettings draft = settings();
    if (!keysBlockStep(event.keys) && holds(window().frameRect(), event.position) &&
        radio != res::kNoId && event.delta != 0) {
        const std::uint64_t step = wheelStep(radio, before);
        const bool raise = event.delta > 0;
        if (isFrequencyRadio(radio)) {
            raise ? raiseFrequency(draft, step) : lowerFrequency(draft, step);
        } else {
            stepAmplitude(draft, step, raise);
        }
        const Scale after = scaleOf(outputFrequency_);
        const int lastHertzDecade = res::kRadioFrequencyLast - kDecadesPerScale;
        const int firstKilohertzDecade = res::kRadioFrequencyFirst + kDecadesPerScale;
        if (before == Scale::Hertz && after == Scale::Kilohertz &&
            radio >= res::kRadioFrequencyFirst && radio <= lastHertzDecade) {
            selectDigitRadio(radio + kDecadesPerScale);
        } else if (before == Scale::Kilohertz && after == Scale::Hertz &&
                   radio >= firstKilohertzDecade && radio <= res::kRadioFrequencyLast) {
            selectDigitRadio(radio - kDecadesPerScale);
        }
    }
    draft.frequenz = model::frequenzForOutput(draft, outputFrequency_);
    send(draft, "fg");
    UpdateDisplay();
}

void CTaveroDlg::onMouseClick(const ui::MouseClick& event) {
    if (!connected_ || lockedOut()) {
        return;
    }
    clickDigit(event);
    UpdateDisplay();
    if (event.button == ui::MouseButton::Left) {
        settingsModified_ = true;
    }
}

void CTaveroDlg::clickDigit(const ui::MouseClick& event) {
    // The picture of a row under the pointer, tried from the least significant digit on.
    const auto hitIn = [this, &event](const auto& pictureIds) -> std::optional<std::size_t> {
        const ui::Rect row = window().controlRect(pictureIds[0]);
        if (event.position.y < row.top || event.position.y > row.bottom) {
            return std::nullopt;
        }
        for (std::size_t position = 0; position < pictureIds.size(); ++position) {
            const ui::Rect picture = window().controlRect(pictureIds[position]);
            if (event.position.x >= picture.left && event.position.x <= picture.right) {
                return position;
            }
        }
        return std::nullopt;
    };

    const bool raise = event.button == ui::MouseButton::Left;
    GeneratorSettings draft = settings();
    if (const auto position = hitIn(res::kFrequencyDigitIds)) {
        const std::uint64_t step = frequencyClickStep(*position, scaleOf(outputFrequency_));
        raise ? raiseFrequency(draft, step) : lowerFrequency(draft, step);
        send(draft, "f");
    } else if (const auto amplitudePosition = hitIn(res::kAmplitudeDigitIds)) {
        stepAmplitude(draft, amplitudeClickStep(*amplitudePosition), raise);
        send(draft, "g");
    }
}

void CTaveroDlg::stepFrequencyUp() {
    GeneratorSettings draft = settings();
    raiseFrequency(draft, draft.schrittweite);
    send(draft, "f");
    UpdateDisplay();
}

void CTaveroDlg::stepFrequencyDown() {
    GeneratorSettings draft = settings();
    lowerFrequency(draft, draft.schrittweite);
    send(draft, "f");
    UpdateDisplay();
}

}  // namespace tavero::app
