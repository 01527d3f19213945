// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "measure/FrequencyPlan.h"
#include "measure/Oscilloscope.h"
#include "measure/ResponsePoint.h"
#include "measure/SettleRule.h"
#include "measure/SignalSource.h"
#include "measure/SweepClock.h"

namespace tavero::measure {

/// How a point's magnitude and phase are found.
enum class Method {
    kMeasure,  ///< the scope's own peak-to-peak and phase measurements
    kCapture,  ///< both traces read and a Hann-windowed DFT bin at the drive frequency
};

struct SweepRequest {
    FrequencyPlan plan;
    std::uint32_t amplitudeMillivolt = 1000;  ///< peak-to-peak
    int inputChannel = 1;                     ///< the scope channel at the circuit's input
    int outputChannel = 2;                    ///< the scope channel at the circuit's output
    Method method = Method::kCapture;
    SettleRule settle;
};

enum class SweepEnd {
    kFinished,
    kStopped,       ///< asked to stop; the points so far are kept
    kSourceFailed,  ///< the generator failed an exchange
    kScopeLost,     ///< the scope's connection went, or it stopped answering
};

struct SweepOutcome {
    SweepEnd end = SweepEnd::kFinished;
    /// The scope's failure, for kScopeLost.
    std::string scopeFailure;
    /// The points measured, in the order of the plan.
    std::vector<ResponsePoint> points;
    /// The points the plan held.
    std::size_t plannedPoints = 0;
};

/// Told of each point as it is done.
class SweepObserver {
public:
    virtual ~SweepObserver() = default;
    /// @param index of the point in the plan, from 0
    /// @param count of points in the plan
    virtual void pointDone(const ResponsePoint& point, std::size_t index, std::size_t count) = 0;
};

/// Runs a sweep: for each frequency of the plan, sets the source, lets the circuit settle,
/// ranges both channels on the 1-2-5 sequence and measures. Whatever ends it, the source and
/// the scope get back the settings the sweep changed.
class SweepRunner {
public:
    /// Periods the timebase shows at least: the 1-2-5 steps show between 4 and 10.
    static constexpr double kPeriodsOnScreen = 4;
    /// Time-outs in a row after which the scope counts as gone.
    static constexpr int kTimeoutsToGiveUp = 2;

    SweepRunner(SignalSource& source, Oscilloscope& scope, SweepClock& clock,
                SweepObserver& observer);

    /// @param stopRequested asked before each point; true ends the sweep there
    SweepOutcome run(const SweepRequest& request, const std::function<bool()>& stopRequested);

private:
    /// The point at `frequencyCentiHz` once the source is set and the circuit settled; nothing
    /// when the clock said to stop.
    std::optional<ResponsePoint> measurePoint(const SweepRequest& request,
                                              std::uint32_t frequencyCentiHz);
    /// Acquires and ranges both channels until they fit or cannot; why the point has no value,
    /// or nothing when the clock said to stop.
    std::optional<Exclusion> rangeChannels(const SweepRequest& request, double frequencyHz);
    ChannelView look(const SweepRequest& request, int channel, double voltsPerDivision);
    void applyScale(int channel, double& current, double wanted);
    double timebaseFor(std::uint32_t frequencyCentiHz) const;
    void finish(SweepOutcome& outcome);

    SignalSource& source_;
    Oscilloscope& scope_;
    SweepClock& clock_;
    SweepObserver& observer_;
    ScopeLimits limits_;
    double inputScale_ = 0;   ///< volts per division set on the input channel
    double outputScale_ = 0;  ///< the same for the output channel
    bool inputLost_ = false;  ///< nothing was seen on the input at the finest scale last time
    bool outputLost_ = false;
    double timebase_ = 0;    ///< seconds per division set
    ChannelView inputView_;  ///< what the last look showed of the input
    ChannelView outputView_;
    Waveform inputTrace_;  ///< the traces of the last look, for capture
    Waveform outputTrace_;
};

}  // namespace tavero::measure
