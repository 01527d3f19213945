// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/RigolScope.h"

#include <utility>

#include "scope/ScpiText.h"
#include "scope/WaveformPreamble.h"

namespace tavero::scope {

RigolScope::RigolScope(std::unique_ptr<Transport> transport, const measure::ScopeLimits& limits,
                       std::string risingPhaseItem)
    : ScpiScope(std::move(transport), limits), risingPhaseItem_(std::move(risingPhaseItem)) {}

void RigolScope::prepare(int inputChannel, int outputChannel) {
    for (const int channel : {inputChannel, outputChannel}) {
        for (const char* setting : {":CHANnel%d:DISPlay", ":CHANnel%d:COUPling",
                                    ":CHANnel%d:OFFSet", ":CHANnel%d:SCALe"}) {
            const std::string header = withChannel(setting, channel);
            keep(header + "?", header + " ");
        }
    }
    for (const char* setting :
         {":TIMebase:MAIN:SCALe", ":TIMebase:MAIN:OFFSet", ":TRIGger:SWEep", ":TRIGger:EDGE:SOURce",
          ":TRIGger:EDGE:LEVel", ":WAVeform:MODE", ":WAVeform:FORMat"}) {
        keep(std::string(setting) + "?", std::string(setting) + " ");
    }
    for (const int channel : {inputChannel, outputChannel}) {
        port().write(withChannel(":CHANnel%d:DISPlay ON", channel));
        port().write(withChannel(":CHANnel%d:COUPling DC", channel));
        port().write(withChannel(":CHANnel%d:OFFSet 0", channel));
    }
    // Auto sweep acquires even when the trigger level misses the trace; both channels come
    // from the same acquisition, so their phase holds whatever the trigger.
    port().write(":TIMebase:MAIN:OFFSet 0");
    port().write(":TRIGger:SWEep AUTO");
    port().write(withChannel(":TRIGger:EDGE:SOURce CHANnel%d", inputChannel));
    port().write(":TRIGger:EDGE:LEVel 0");
    port().write(":WAVeform:MODE NORMal");
    port().write(":WAVeform:FORMat BYTE");
}

void RigolScope::setVerticalScale(int channel, double voltsPerDivision) {
    port().write(withChannel(":CHANnel%d:SCALe ", channel) + scpiNumber(voltsPerDivision));
}

void RigolScope::setTimebase(double secondsPerDivision) {
    port().write(":TIMebase:MAIN:SCALe " + scpiNumber(secondsPerDivision));
}

bool RigolScope::acquire(measure::SweepClock& clock, std::chrono::microseconds screenTime) {
    port().write(":SINGle");
    return waitForAcquisition(clock, screenTime,
                              [this] { return port().query(":TRIGger:STATus?") == "STOP"; });
}

std::optional<double> RigolScope::peakToPeak(int channel) {
    return measurementValue(port().query(withChannel(":MEASure:ITEM? VPP,CHANnel%d", channel)));
}

std::optional<double> RigolScope::phaseLag(int inputChannel, int outputChannel) {
    const std::string item = ":MEASure:ITEM? " + risingPhaseItem_ +
                             withChannel(",CHANnel%d", inputChannel) +
                             withChannel(",CHANnel%d", outputChannel);
    return measurementValue(port().query(item));
}

measure::Waveform RigolScope::waveform(int channel) {
    port().write(withChannel(":WAVeform:SOURce CHANnel%d", channel));
    const std::optional<WaveformPreamble> preamble =
        parsePreamble(port().query(":WAVeform:PREamble?"));
    if (!preamble) {
        throw measure::ScopeError(measure::ScopeError::Kind::kAnswer, "an unreadable preamble");
    }
    return byteTrace(port().queryBlock(":WAVeform:DATA?"), *preamble, CodeConvention::kRigol);
}

}  // namespace tavero::scope
