// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/calibration/COszillatorDlg.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/NumberText.h"
#include "res/OszillatorTemplate.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::oszillator;

constexpr std::string_view kCaption = "Kalibrierfehler";

/// The oscillator frequencies the generator accepts, in 0.01 Hz (66.109 to 68.109 MHz).
constexpr std::uint64_t kOscillatorMinimumCentiHz = 6610900000;
constexpr std::uint64_t kOscillatorMaximumCentiHz = 6810900000;
/// The oscillator's nominal frequency, in 0.01 Hz (67.109 MHz).
constexpr double kOscillatorNominalCentiHz = 6710900000.0;
/// The output frequency method 2 asks for, in 0.01 Hz (25 MHz).
constexpr double kOutputNominalCentiHz = 2500000000.0;

/// The oscillator frequency (in 0.01 Hz) a measurement (in 0.01 Hz) stands for, or nothing
/// when the generator would not accept it.
using OscillatorRule = std::optional<std::uint64_t> (*)(std::int64_t measuredCentiHz);

std::optional<std::uint64_t> measuredDirectly(std::int64_t measuredCentiHz) {
    if (measuredCentiHz < 0) {
        return std::nullopt;
    }
    const auto oscillator = static_cast<std::uint64_t>(measuredCentiHz);
    if (oscillator < kOscillatorMinimumCentiHz || oscillator > kOscillatorMaximumCentiHz) {
        return std::nullopt;
    }
    return oscillator;
}

std::optional<std::uint64_t> measuredAtTheOutput(std::int64_t measuredCentiHz) {
    // Dividing first keeps the rounding of the values this calibration has always sent.
    const double oscillator =
        (static_cast<double>(measuredCentiHz) / kOutputNominalCentiHz) * kOscillatorNominalCentiHz;
    if (oscillator < static_cast<double>(kOscillatorMinimumCentiHz) ||
        oscillator > static_cast<double>(kOscillatorMaximumCentiHz)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(oscillator);
}

struct Method {
    int radio;
    int edit;
    double nominalHz;  ///< shown at the start and after a refusal
    std::string_view refusal;
    OscillatorRule oscillator;
};

constexpr std::array<Method, 2> kMethods = {{
    {ids::kMethod1, ids::kMethod1Edit, 67109000.0,
     "Bitte geben Sie einen Wert zwischen 66.109000 MHz und 68.109000 MHz ein!", measuredDirectly},
    {ids::kMethod2, ids::kMethod2Edit, 25000000.0,
     "Bitte geben Sie einen Wert zwischen 24.627473 MHz und 25.372527 MHz ein!",
     measuredAtTheOutput},
}};

std::string hzText(double hz) {
    return formatFixed(hz, 2);
}

}  // namespace

int COszillatorDlg::templateId() const {
    return ids::kDialogId;
}

void COszillatorDlg::onInit() {
    window().checkRadio(ids::kMethod1, ids::kMethod2, ids::kMethod1);
    for (const Method& method : kMethods) {
        window().setText(method.edit, hzText(method.nominalHz));
        window().setTextInEffect(method.edit, hzText(method.nominalHz));
    }
}

void COszillatorDlg::onCommand(int id) {
    if (id == ids::kSendCalibration) {
        evaluate();
    } else if (id == ids::kMethod1 || id == ids::kMethod2) {
        for (const Method& method : kMethods) {
            window().enable(method.edit, method.radio == id);
        }
    }
}

bool COszillatorDlg::onEnterKey() {
    const std::optional<int> focus = window().focus();
    if (focus == ids::kMethod1Edit || focus == ids::kMethod2Edit) {
        evaluate();
    }
    return false;
}

void COszillatorDlg::evaluate() {
    for (const Method& method : kMethods) {
        if (!window().isChecked(method.radio)) {
            continue;
        }
        // A text that reads as no finite number, or as one beyond 64 bits, is refused like any
        // other value out of range.
        const std::optional<std::int64_t> measured =
            readScaledNumber(window().text(method.edit), 100.0);
        const std::optional<std::uint64_t> oscillator =
            measured ? method.oscillator(*measured) : std::nullopt;
        if (!oscillator) {
            host().messageBox(method.refusal, kCaption, ui::Icon::Warning, ui::Buttons::Ok);
            window().setText(method.edit, hzText(method.nominalHz));
            return;
        }
        GeneratorAccess access = generator();
        access.sendOscillatorFrequency(*oscillator);
        const std::string sent = hzText(static_cast<double>(*measured) / 100.0);
        window().setText(method.edit, sent);
        window().setTextInEffect(method.edit, sent);
        return;
    }
    host().messageBox("Bitte starten Sie die Software neu!", kCaption, ui::Icon::Warning,
                      ui::Buttons::Ok);
}

}  // namespace tavero::dialogs
