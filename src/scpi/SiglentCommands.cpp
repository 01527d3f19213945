// SPDX-License-Identifier: GPL-3.0-or-later
// The AWG commands a Siglent oscilloscope sends for its Bode plot, carried out by the same rules
// as FREQ, VOLT and OUTP.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "model/OutputFrequency.h"
#include "scpi/AsciiText.h"
#include "scpi/HeaderPattern.h"
#include "scpi/InstrumentCall.h"
#include "scpi/ScpiError.h"

namespace tavero::scpi {

namespace {

/// Siglent's waveform names the generator has; RAMP is the triangle, as FUNC RAMP.
constexpr std::array<std::string_view, 3> kSiglentWaveforms = {"SINE", "SQUARE", "RAMP"};
constexpr std::array<std::uint8_t, 3> kSiglentWaveformValues = {0, 2, 1};
/// The answer for each Signalform; the square at half frequency is a square too.
constexpr std::array<std::string_view, 4> kSiglentWaveformAnswers = {"SINE", "RAMP", "SQUARE",
                                                                     "SQUARE"};

/// Enough digits for any output frequency on its 0.01 Hz steps.
constexpr int kFrequencyDigits = 12;
/// Enough digits for any amplitude in mV, or for what a client asked.
constexpr int kValueDigits = 6;

/// A number as Siglent writes it: no trailing zeros, "15000", "0.8".
std::string siglentNumber(double value) {
    return significant(value, kValueDigits);
}

std::string hertzText(long long centiHz) {
    return significant(static_cast<double>(centiHz) / 100.0, kFrequencyDigits);
}

}  // namespace

void Instrument::siglentIdentify(Call& call) {
    // The scope takes an AWG whose model starts with SDG.
    call.response = "IDN-SGLT-PRI SDG Tavero";
}

void Instrument::checkSiglentChannel(const Call& call) {
    if (call.path.front() != "C1") {
        scopeHints_.give(ScopeHint::kChannel,
                         "tavero-ctl: the scope drives the AWG's channel " + call.path.front() +
                             "; the Tavero has one output: choose channel C1 in the scope's Bode "
                             "plot settings");
        throw ScpiError(kIllegalParameterValue,
                        call.header() + ": the generator has channel C1 only");
    }
}

void Instrument::refuseScopeValue(Call& call, const ScpiError& refused, ScopeHint kind,
                                  const std::string& hint) {
    call.client.push(refused.entry());
    scopeHints_.give(kind, "tavero-ctl: " + hint);
}

void Instrument::setBasicWave(Call& call) {
    checkSiglentChannel(call);
    const std::vector<std::string>& pairs = call.unit.parameters;
    if (pairs.empty()) {
        throw ScpiError(kMissingParameter);
    }
    generator();
    // Each name and value on its own: a value refused is left out, the others still sent.
    std::vector<ctl::SettingAssignment> assignments;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        const std::string& name = pairs[i];
        if (i + 1 == pairs.size()) {
            call.client.push(ScpiError(kMissingParameter, escapedClientBytes(name)).entry());
            break;
        }
        const std::string& value = pairs[i + 1];
        try {
            if (mnemonicMatches("WVTP", name)) {
                try {
                    const std::size_t choice = readChoice(value, kSiglentWaveforms);
                    assignments.push_back(
                        {settingsFieldIndex("Signalform"), kSiglentWaveformValues[choice]});
                } catch (const ScpiError& refused) {
                    refuseScopeValue(call, refused, ScopeHint::kWaveform,
                                     "the scope asks the waveform " + escapedClientBytes(value) +
                                         "; the Tavero gives SINE, SQUARE and RAMP: set the "
                                         "scope's AWG waveform to SINE");
                }
            } else if (mnemonicMatches("FRQ", name)) {
                const Numeric number = readNumeric(value, Unit::kHertz);
                try {
                    assignments.push_back(
                        {settingsFieldIndex("Frequenz"), frequenzFor(call, number)});
                } catch (const ScpiError& refused) {
                    const auto [least, most] = outputLimits();
                    refuseScopeValue(call, refused, ScopeHint::kFrequency,
                                     "the scope asks " +
                                         significant(number.value, kFrequencyDigits) +
                                         " Hz; the Tavero gives " + hertzText(least) + " Hz to " +
                                         hertzText(most) +
                                         " Hz: set the Bode plot's start and stop frequencies "
                                         "within these");
                }
            } else if (mnemonicMatches("AMP", name)) {
                const Numeric number = readNumeric(value, Unit::kVolt);
                try {
                    assignments.push_back(
                        {settingsFieldIndex("Amplitude"), amplitudeFor(call, number)});
                } catch (const ScpiError& refused) {
                    const double highest = static_cast<double>(highestAmplitude()) / 1000.0;
                    if (!(number.value > highest)) {
                        throw;  // below zero: no setting of the scope asks that
                    }
                    const std::string most = siglentNumber(highest);
                    refuseScopeValue(call, refused, ScopeHint::kAmplitude,
                                     "the scope asks " + siglentNumber(number.value) +
                                         " Vpp; the Tavero gives at most " + most +
                                         " Vpp: set the Bode plot's amplitude to " + most +
                                         " Vpp or less");
                }
            } else if (mnemonicMatches("OFST", name)) {
                const Numeric number = readNumeric(value, Unit::kVolt);
                try {
                    checkOffset(call, number);
                } catch (const ScpiError& refused) {
                    refuseScopeValue(call, refused, ScopeHint::kOffset,
                                     "the scope asks an offset of " + siglentNumber(number.value) +
                                         " V; the Tavero's output has none: set the Bode plot's "
                                         "offset to 0 V");
                }
            } else if (mnemonicMatches("PHSE", name)) {
                const Numeric number = readNumeric(value, Unit::kDegree);
                if (number.kind == Numeric::Kind::kValue && std::fabs(number.value) >= 0.5) {
                    refuseScopeValue(call, call.outOfRange("0", "0", Unit::kDegree),
                                     ScopeHint::kPhase,
                                     "the scope asks a phase of " + siglentNumber(number.value) +
                                         " deg; the Tavero's output has no phase setting: set the "
                                         "AWG's phase to 0 in the scope's settings");
                }
            } else {
                throw ScpiError(kIllegalParameterValue,
                                call.header() + ": no parameter " + escapedClientBytes(name));
            }
        } catch (const ScpiError& malformed) {
            call.client.push(malformed.entry());
        }
    }
    if (!assignments.empty()) {
        // Each value has passed its own command's rules above.
        change(call, assignments, false);
    }
}

void Instrument::basicWave(Call& call) {
    checkSiglentChannel(call);
    generator();
    call.response = call.path.front() + ":BSWV WVTP," +
                    std::string(kSiglentWaveformAnswers[settings().signalform & 3U]) + ",FRQ," +
                    hertzText(static_cast<long long>(model::outputFrequencyOf(settings()))) +
                    "HZ,AMP," + siglentNumber(static_cast<double>(settings().amplitude) / 1000.0) +
                    "V,OFST,0V,PHSE,0";
}

void Instrument::setChannelOutput(Call& call) {
    checkSiglentChannel(call);
    const std::vector<std::string>& parameters = call.unit.parameters;
    if (parameters.empty()) {
        throw ScpiError(kMissingParameter);
    }
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const std::string& parameter = parameters[i];
        try {
            if (mnemonicMatches("LOAD", parameter)) {
                if (i + 1 == parameters.size()) {
                    throw ScpiError(kMissingParameter, "LOAD");
                }
                const std::string& load = parameters[++i];
                if (mnemonicMatches("HZ", load)) {
                    siglentLoad_ = "HZ";
                } else if (load == "50") {
                    siglentLoad_ = "50";
                } else {
                    throw ScpiError(
                        kIllegalParameterValue,
                        call.header() + ": LOAD takes 50 or HZ, not " + escapedClientBytes(load));
                }
            } else {
                const bool on = readBoolean(parameter);
                try {
                    switchOutput(on);
                } catch (const ScpiError& refused) {
                    refuseScopeValue(call, refused, ScopeHint::kOutputOff,
                                     "the scope switches the AWG's output off; the Tavero's "
                                     "output has no switch and stays on: nothing to set on the "
                                     "scope");
                }
            }
        } catch (const ScpiError& malformed) {
            call.client.push(malformed.entry());
        }
    }
}

void Instrument::channelOutput(Call& call) {
    checkSiglentChannel(call);
    call.response = call.path.front() + ":OUTP ON,LOAD," + siglentLoad_;
}

}  // namespace tavero::scpi
