// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "scope/ScpiScope.h"

namespace tavero::scope {

/// Rigol DS1000Z, MSO5000 and DHO800/900. Acquires with :SINGle in auto sweep, measures with
/// :MEASure:ITEM?, reads the screen's trace with :WAVeform:DATA? in bytes.
class RigolScope final : public ScpiScope {
public:
    /// @param risingPhaseItem the phase item between rising edges: "RPHase", or "RRPHase" on
    ///        the DHO series
    RigolScope(std::unique_ptr<Transport> transport, const measure::ScopeLimits& limits,
               std::string risingPhaseItem);

    void prepare(int inputChannel, int outputChannel) override;
    void setVerticalScale(int channel, double voltsPerDivision) override;
    void setTimebase(double secondsPerDivision) override;
    bool acquire(measure::SweepClock& clock, std::chrono::microseconds screenTime) override;
    std::optional<double> peakToPeak(int channel) override;
    std::optional<double> phaseLag(int inputChannel, int outputChannel) override;
    measure::Waveform waveform(int channel) override;

private:
    std::string runCommand() const override { return ":RUN"; }

    std::string risingPhaseItem_;
};

}  // namespace tavero::scope
