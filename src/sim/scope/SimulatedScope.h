// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <random>
#include <vector>

#include "sim/scope/Circuit.h"
#include "sim/scope/DriveHistory.h"

namespace tavero::sim {

/// How a scope's screen is laid out.
struct ScreenLayout {
    int horizontalDivisions = 12;
    int points = 1200;      ///< samples of a trace across the screen
    int lowestCode = -127;  ///< the converter's ends, in codes from the screen's middle
    int highestCode = 128;
};

/// A two-channel bench scope as a model: channel 1 sees the generator's output, channel 2 the
/// circuit's output, channels 3 and 4 nothing. Traces are 8-bit codes, 25 to a division, with
/// Gaussian noise, cut at the converter's ends; measurements are taken from those codes as a
/// scope's firmware takes them. Times count from the model's creation.
class SimulatedScope {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kChannels = 4;
    static constexpr double kCodesPerDivision = 25;

    struct Channel {
        bool on = true;
        double voltsPerDivision = 1;
        double offsetVolts = 0;
    };

    /// @param noiseDivisions the noise's standard deviation, in divisions
    SimulatedScope(const DriveHistory& drive, const Circuit& circuit, double noiseDivisions,
                   const ScreenLayout& layout);

    /// Channels count from 1; nothing for one the scope does not have.
    Channel* channel(int number);
    double secondsPerDivision() const { return secondsPerDivision_; }
    void setSecondsPerDivision(double seconds) { secondsPerDivision_ = seconds; }
    const ScreenLayout& layout() const { return layout_; }

    /// A single acquisition: once half a screen is in its memory, it triggers on the next
    /// rising edge of channel 1 and ends half a screen later.
    void arm(Clock::time_point now);
    /// Acquires again and again, each measurement from a trace just taken.
    void run() { running_ = true; }
    /// Keeps the last trace.
    void stop(Clock::time_point now);
    bool running() const { return running_; }
    /// Whether the single acquisition has ended.
    bool stopped(Clock::time_point now) const;

    /// The channel's trace of the current acquisition, in codes from the screen's middle.
    const std::vector<int>& trace(int channel, Clock::time_point now);
    double sampleIntervalSeconds() const;
    /// Of the first sample, from the trigger.
    double startSeconds() const;
    /// In volts; nothing for a channel off, or a trace flat or off the screen.
    std::optional<double> peakToPeak(int channel, Clock::time_point now);
    /// How far `to` lags `from` between rising edges through the traces' middles, in degrees
    /// in [0, 360); nothing without two edges of `from` and one of `to` after it.
    std::optional<double> phaseLag(int from, int to, Clock::time_point now);

private:
    struct Acquisition {
        Clock::time_point trigger;
        double secondsPerDivision = 1e-3;
        std::array<Channel, kChannels> channels;
        std::array<std::vector<int>, kChannels> traces;
        bool taken = false;
    };

    double seconds(Clock::time_point time) const;
    /// The volts at channel `number` at `t` seconds.
    double volts(int number, double t, const DriveHistory::Snapshot& drive) const;
    void take(Acquisition& acquisition);
    Acquisition& current(Clock::time_point now);

    const DriveHistory& drive_;
    Circuit circuit_;
    double noiseCodes_;
    ScreenLayout layout_;
    Clock::time_point origin_ = Clock::now();
    std::array<Channel, kChannels> channels_;
    double secondsPerDivision_ = 1e-3;
    bool running_ = true;
    Acquisition acquisition_;
    std::mt19937 random_{20240531};
};

}  // namespace tavero::sim
