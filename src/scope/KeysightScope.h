// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "scope/ScpiScope.h"

namespace tavero::scope {

/// Keysight (Agilent) InfiniiVision scopes, and any other scope that takes their :CHANnel,
/// :TIMebase and :WAVeform commands. The InfiniiVision acquires with :DIGitize and measures
/// with :MEASure:VPP? and :MEASure:PHASe?; another scope only lets the trace run across the
/// screen twice, stops it and is read (capture only).
class KeysightScope final : public ScpiScope {
public:
    /// @param infiniiVision whether it is one: else the generic path
    KeysightScope(std::unique_ptr<Transport> transport, const measure::ScopeLimits& limits,
                  bool infiniiVision);

    void prepare(int inputChannel, int outputChannel) override;
    void setVerticalScale(int channel, double voltsPerDivision) override;
    void setTimebase(double secondsPerDivision) override;
    bool acquire(measure::SweepClock& clock, std::chrono::microseconds screenTime) override;
    std::optional<double> peakToPeak(int channel) override;
    std::optional<double> phaseLag(int inputChannel, int outputChannel) override;
    measure::Waveform waveform(int channel) override;

private:
    std::string runCommand() const override { return ":RUN"; }

    bool infiniiVision_;
    int inputChannel_ = 1;
    int outputChannel_ = 2;
};

}  // namespace tavero::scope
