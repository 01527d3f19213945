// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrequencyResponseForm.h"

#include <array>
#include <cmath>

#include "core/SettingsLimits.h"
#include "scope/ResourceName.h"

namespace tavero::app {

namespace {

std::uint32_t centiHz(double hz) {
    return static_cast<std::uint32_t>(std::lround(hz * 100));
}

}  // namespace

std::optional<std::string_view> formProblem(const FrequencyResponseForm& form) {
    if (form.scope.empty()) {
        return "Bitte geben Sie die Adresse des Oszilloskops ein, z. B. "
               "TCPIP::192.168.1.30::INSTR.";
    }
    if (!scope::parseResource(form.scope)) {
        return "Die Adresse hat keine der Formen TCPIP::HOST::INSTR, "
               "TCPIP::HOST::PORT::SOCKET und /dev/usbtmcN.";
    }
    if (centiHz(form.fromHz) < kFrequencyGridCentiHz ||
        centiHz(form.toHz) > kMaximumFrequencyCentiHz || !(form.fromHz < form.toHz)) {
        return "Die Startfrequenz muss unter der Stoppfrequenz liegen, beide zwischen 0,25 Hz "
               "und 30 MHz.";
    }
    if (form.inputChannel == form.outputChannel) {
        return "Eingang und Ausgang der Schaltung müssen an verschiedenen Kanälen liegen.";
    }
    return std::nullopt;
}

measure::SweepRequest sweepRequest(const FrequencyResponseForm& form) {
    measure::SweepRequest request;
    request.plan = {
        .fromCentiHz = centiHz(form.fromHz),
        .toCentiHz = centiHz(form.toHz),
        .spacing = form.linear ? measure::PlanSpacing::kLinear : measure::PlanSpacing::kLogarithmic,
        .points = form.points};
    request.amplitudeMillivolt = form.amplitudeMillivolt;
    request.inputChannel = form.inputChannel;
    request.outputChannel = form.outputChannel;
    request.method = form.method;
    request.settle.time = std::chrono::milliseconds(form.settleMs);
    return request;
}

std::string_view exclusionText(measure::Exclusion exclusion) {
    static constexpr std::array<std::string_view, 6> kTexts = {
        "",
        "übersteuert",
        "unter der Auflösung",
        "keine gültige Messung",
        "zu wenige Abtastwerte je Periode",
        "keine Antwort des Oszilloskops",
    };
    return kTexts[static_cast<std::size_t>(exclusion)];
}

}  // namespace tavero::app
