// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>

#include "measure/SweepClock.h"
#include "measure/VerticalRanging.h"
#include "measure/Waveform.h"

namespace tavero::measure {

/// A scope that failed an exchange.
class ScopeError : public std::runtime_error {
public:
    enum class Kind {
        kTimeout,  ///< no answer in time; the scope may still be there
        kLost,     ///< the connection is gone
        kAnswer,   ///< an answer that cannot be read
    };

    ScopeError(Kind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

/// What a sweep needs to know of a scope to set it up.
struct ScopeLimits {
    VerticalLimits vertical;
    double minSecondsPerDivision = 5e-9;
    double maxSecondsPerDivision = 50;
    double horizontalDivisions = 10;
    /// It has amplitude and phase measurements of its own that a sweep can use.
    bool measures = false;
};

/// A scope as a sweep uses it. Channels count from 1. Exchanges that fail throw ScopeError.
class Oscilloscope {
public:
    virtual ~Oscilloscope() = default;

    virtual ScopeLimits limits() const = 0;
    /// Shows both channels DC-coupled without offset, triggers on the input; remembers every
    /// setting it changes.
    virtual void prepare(int inputChannel, int outputChannel) = 0;
    /// Sets a channel's scale, in volts per division.
    virtual void setVerticalScale(int channel, double voltsPerDivision) = 0;
    /// Sets the timebase, in seconds per division.
    virtual void setTimebase(double secondsPerDivision) = 0;
    /// Takes an acquisition of both channels that begins after this call and waits until it
    /// is done (about `screenTime` after its trigger). False when the clock says to stop.
    virtual bool acquire(SweepClock& clock, std::chrono::microseconds screenTime) = 0;
    /// The scope's own peak-to-peak measurement of the last acquisition, in volts; empty when
    /// it has none (9.9E37 and the like).
    virtual std::optional<double> peakToPeak(int channel) = 0;
    /// The scope's own measurement of how far `output` lags `input`, in degrees, in whatever
    /// range the scope gives it; empty when it has none.
    virtual std::optional<double> phaseLag(int inputChannel, int outputChannel) = 0;
    /// The channel's trace of the last acquisition.
    virtual Waveform waveform(int channel) = 0;
    /// Puts back every setting prepare and the sweep changed and lets the scope run.
    virtual void restore() = 0;
};

}  // namespace tavero::measure
