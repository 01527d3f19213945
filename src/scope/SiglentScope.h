// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

#include "scope/ScpiScope.h"

namespace tavero::scope {

/// Siglent SDS scopes. Channels, timebase, trigger and traces through the command set of the
/// SDS1000X-E generation, which the newer series keep; the measurements through it too
/// (C1:PAVA? PKPK, C1-C2:MEAD? PHA) or through the newer :MEASure set. Answers may carry junk
/// bytes before them, and phases come in [-90, 270).
class SiglentScope final : public ScpiScope {
public:
    /// Codes per division of the 8-bit traces.
    static constexpr double kCodesPerDivision = 25;
    /// Points read of a trace at most: the rest of the memory is skipped.
    static constexpr int kTracePoints = 1400;

    SiglentScope(std::unique_ptr<Transport> transport, const measure::ScopeLimits& limits,
                 bool measureSet);

    void prepare(int inputChannel, int outputChannel) override;
    void setVerticalScale(int channel, double voltsPerDivision) override;
    void setTimebase(double secondsPerDivision) override;
    bool acquire(measure::SweepClock& clock, std::chrono::microseconds screenTime) override;
    std::optional<double> peakToPeak(int channel) override;
    std::optional<double> phaseLag(int inputChannel, int outputChannel) override;
    measure::Waveform waveform(int channel) override;

private:
    std::string runCommand() const override { return "TRMD AUTO"; }
    /// The number in the answer to `query`, after its header; an answer without one throws.
    double numberOf(const std::string& query);
    /// The :MEASure:ADVanced slot of the channel's peak-to-peak: 1 the input, 2 the output.
    int slotOf(int channel) const { return channel == inputChannel_ ? 1 : 2; }

    bool measureSet_;
    int inputChannel_ = 1;
    std::map<int, double> voltsPerDivision_;
    double secondsPerDivision_ = 1e-3;
};

}  // namespace tavero::scope
