// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/SiglentScope.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "scope/ScpiText.h"

namespace tavero::scope {

namespace {

using measure::ScopeError;

/// The codes of the converter's ends, where a trace is clipped.
constexpr int kLowestCode = -128;
constexpr int kHighestCode = 127;

}  // namespace

SiglentScope::SiglentScope(std::unique_ptr<Transport> transport, const measure::ScopeLimits& limits,
                           bool measureSet)
    : ScpiScope(std::move(transport), limits), measureSet_(measureSet) {}

double SiglentScope::numberOf(const std::string& query) {
    const std::string answer = port().query(query);
    const std::size_t blank = answer.find(' ');
    const std::optional<double> value =
        leadingNumber(blank == std::string::npos ? answer : answer.substr(blank + 1));
    if (!value) {
        throw ScopeError(ScopeError::Kind::kAnswer, "an unreadable answer to " + query);
    }
    return *value;
}

void SiglentScope::prepare(int inputChannel, int outputChannel) {
    inputChannel_ = inputChannel;
    // The scope answers with the command's header, so the answer is the command to restore.
    for (const int channel : {inputChannel, outputChannel}) {
        for (const char* setting : {"C%d:TRA?", "C%d:CPL?", "C%d:OFST?", "C%d:VDIV?"}) {
            keep(withChannel(setting, channel), "");
        }
    }
    for (const char* setting : {"TDIV?", "TRDL?", "TRSE?", "TRMD?"}) {
        keep(setting, "");
    }
    keep(withChannel("C%d:TRLV?", inputChannel), "");
    for (const int channel : {inputChannel, outputChannel}) {
        port().write(withChannel("C%d:TRA ON", channel));
        port().write(withChannel("C%d:CPL D1M", channel));
        port().write(withChannel("C%d:OFST 0V", channel));
    }
    port().write("TRDL 0S");
    port().write(withChannel("TRSE EDGE,SR,C%d,HT,OFF", inputChannel));
    port().write(withChannel("C%d:TRLV 0V", inputChannel));
    if (!measureSet_) {
        return;
    }
    for (const char* setting : {":MEASure", ":MEASure:MODE"}) {
        keep(std::string(setting) + "?", std::string(setting) + " ");
    }
    port().write(":MEASure ON");
    port().write(":MEASure:MODE ADVanced");
    // Slot 1 the input's peak-to-peak, slot 2 the output's, slot 3 the phase between them.
    const std::array<int, 3> sources = {inputChannel, outputChannel, inputChannel};
    const std::array<const char*, 3> types = {"PKPK", "PKPK", "PHA"};
    for (std::size_t slot = 0; slot < sources.size(); ++slot) {
        const std::string prefix = withChannel(":MEASure:ADVanced:P%d", static_cast<int>(slot) + 1);
        port().write(prefix + " ON");
        port().write(prefix + ":TYPE " + types[slot]);
        port().write(prefix + withChannel(":SOURce1 C%d", sources[slot]));
    }
    port().write(withChannel(":MEASure:ADVanced:P3:SOURce2 C%d", outputChannel));
}

void SiglentScope::setVerticalScale(int channel, double voltsPerDivision) {
    port().write(withChannel("C%d:VDIV ", channel) + scpiNumber(voltsPerDivision) + "V");
    voltsPerDivision_[channel] = voltsPerDivision;
}

void SiglentScope::setTimebase(double secondsPerDivision) {
    port().write("TDIV " + scpiNumber(secondsPerDivision) + "S");
    secondsPerDivision_ = secondsPerDivision;
}

bool SiglentScope::acquire(measure::SweepClock& clock, std::chrono::microseconds screenTime) {
    port().write("TRMD SINGLE");
    port().write("ARM");
    return waitForAcquisition(clock, screenTime, [this] {
        return port().query("SAST?").find("Stop") != std::string::npos;
    });
}

std::optional<double> SiglentScope::peakToPeak(int channel) {
    if (measureSet_) {
        return measurementValue(
            port().query(withChannel(":MEASure:ADVanced:P%d:VALue?", slotOf(channel))));
    }
    return measurementValue(port().query(withChannel("C%d:PAVA? PKPK", channel)), "PKPK,");
}

std::optional<double> SiglentScope::phaseLag(int inputChannel, int outputChannel) {
    if (measureSet_) {
        return measurementValue(port().query(":MEASure:ADVanced:P3:VALue?"));
    }
    const std::string query =
        withChannel("C%d-", inputChannel) + withChannel("C%d:MEAD? PHA", outputChannel);
    return measurementValue(port().query(query), "PHA,");
}

measure::Waveform SiglentScope::waveform(int channel) {
    const double samplesPerSecond = numberOf("SARA?");
    const double screenSamples =
        samplesPerSecond * secondsPerDivision_ * limits().horizontalDivisions;
    const int skip = std::max(1, static_cast<int>(std::floor(screenSamples / kTracePoints)));
    port().write("WFSU SP," + std::to_string(skip) + ",NP," + std::to_string(kTracePoints) +
                 ",FP,0");
    const std::string codes = port().queryBlock(withChannel("C%d:WF? DAT2", channel));
    const double voltsPerCode = voltsPerDivision_[channel] / kCodesPerDivision;
    measure::Waveform trace;
    trace.sampleIntervalSeconds = skip / samplesPerSecond;
    trace.startSeconds = -secondsPerDivision_ * limits().horizontalDivisions / 2;
    trace.voltsPerCode = voltsPerCode;
    trace.volts.reserve(codes.size());
    for (const char byte : codes) {
        const int code = static_cast<signed char>(byte);
        trace.clipped = trace.clipped || code == kLowestCode || code == kHighestCode;
        trace.volts.push_back(code * voltsPerCode);
    }
    return trace;
}

}  // namespace tavero::scope
