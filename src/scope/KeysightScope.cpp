// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/KeysightScope.h"

#include <utility>

#include "scope/ScpiText.h"
#include "scope/WaveformPreamble.h"

namespace tavero::scope {

namespace {

/// Beyond the screen's time :DIGitize may take to trigger and end.
constexpr std::chrono::milliseconds kDigitizeSlack{5000};

}  // namespace

KeysightScope::KeysightScope(std::unique_ptr<Transport> transport,
                             const measure::ScopeLimits& limits, bool infiniiVision)
    : ScpiScope(std::move(transport), limits), infiniiVision_(infiniiVision) {}

void KeysightScope::prepare(int inputChannel, int outputChannel) {
    inputChannel_ = inputChannel;
    outputChannel_ = outputChannel;
    for (const int channel : {inputChannel, outputChannel}) {
        for (const char* setting : {":CHANnel%d:DISPlay", ":CHANnel%d:COUPling",
                                    ":CHANnel%d:OFFSet", ":CHANnel%d:SCALe"}) {
            const std::string header = withChannel(setting, channel);
            keep(header + "?", header + " ");
        }
    }
    for (const char* setting : {":TIMebase:SCALe", ":TIMebase:POSition", ":WAVeform:FORMat"}) {
        keep(std::string(setting) + "?", std::string(setting) + " ");
    }
    for (const int channel : {inputChannel, outputChannel}) {
        port().write(withChannel(":CHANnel%d:DISPlay 1", channel));
        port().write(withChannel(":CHANnel%d:COUPling DC", channel));
        port().write(withChannel(":CHANnel%d:OFFSet 0", channel));
    }
    port().write(":TIMebase:POSition 0");
    port().write(":WAVeform:FORMat BYTE");
    if (infiniiVision_) {
        for (const char* setting :
             {":TRIGger:SWEep", ":TRIGger:EDGE:SOURce", ":TRIGger:EDGE:LEVel"}) {
            keep(std::string(setting) + "?", std::string(setting) + " ");
        }
        port().write(":TRIGger:SWEep AUTO");
        port().write(withChannel(":TRIGger:EDGE:SOURce CHANnel%d", inputChannel));
        port().write(":TRIGger:EDGE:LEVel 0");
        port().write(":WAVeform:POINts:MODE NORMal");
    }
}

void KeysightScope::setVerticalScale(int channel, double voltsPerDivision) {
    port().write(withChannel(":CHANnel%d:SCALe ", channel) + scpiNumber(voltsPerDivision));
}

void KeysightScope::setTimebase(double secondsPerDivision) {
    port().write(":TIMebase:SCALe " + scpiNumber(secondsPerDivision));
}

bool KeysightScope::acquire(measure::SweepClock& clock, std::chrono::microseconds screenTime) {
    if (infiniiVision_) {
        // :DIGitize holds the parser until both channels are taken; *OPC? answers then.
        port().write(withChannel(":DIGitize CHANnel%d", inputChannel_) +
                     withChannel(",CHANnel%d", outputChannel_));
        port().query("*OPC?", std::chrono::duration_cast<std::chrono::milliseconds>(
                                  2 * screenTime + kDigitizeSlack));
        return true;
    }
    // Running, the screen shows the new signal in full once it has been written twice.
    port().write(":RUN");
    if (!clock.waitUntil(clock.now() + 2 * screenTime)) {
        return false;
    }
    port().write(":STOP");
    return true;
}

std::optional<double> KeysightScope::peakToPeak(int channel) {
    return measurementValue(port().query(withChannel(":MEASure:VPP? CHANnel%d", channel)));
}

std::optional<double> KeysightScope::phaseLag(int inputChannel, int outputChannel) {
    return measurementValue(port().query(withChannel(":MEASure:PHASe? CHANnel%d", inputChannel) +
                                         withChannel(",CHANnel%d", outputChannel)));
}

measure::Waveform KeysightScope::waveform(int channel) {
    port().write(withChannel(":WAVeform:SOURce CHANnel%d", channel));
    const std::optional<WaveformPreamble> preamble =
        parsePreamble(port().query(":WAVeform:PREamble?"));
    if (!preamble) {
        throw measure::ScopeError(measure::ScopeError::Kind::kAnswer, "an unreadable preamble");
    }
    return byteTrace(port().queryBlock(":WAVeform:DATA?"), *preamble, CodeConvention::kKeysight);
}

}  // namespace tavero::scope
