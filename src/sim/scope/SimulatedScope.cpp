// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/scope/SimulatedScope.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace tavero::sim {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
/// A trace spanning fewer codes than this is a flat line: nothing to measure.
constexpr int kLeastCodes = 5;
/// Edges are counted across a band of this share of the trace's height, so that noise at the
/// middle does not count as edges.
constexpr double kHysteresisShare = 0.1;

/// A sine of `peakToPeak` through `response` at `t`.
double sine(const Drive& drive, std::complex<double> response, double t) {
    return drive.peakToPeakVolts / 2 * std::abs(response) *
           std::cos(kTwoPi * drive.hz * t + std::arg(response));
}

/// The times of the rising edges through the middle of `codes`, in samples.
std::vector<double> risingEdges(const std::vector<int>& codes) {
    const auto [low, high] = std::minmax_element(codes.begin(), codes.end());
    const double middle = (*low + *high) / 2.0;
    const double band = kHysteresisShare * (*high - *low);
    std::vector<double> edges;
    bool armed = false;
    std::size_t lastBelow = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const double code = codes[i];
        if (code <= middle) {
            lastBelow = i;
        }
        if (code < middle - band) {
            armed = true;
        } else if (armed && code > middle + band) {
            armed = false;
            // Between the last sample at or below the middle and the next one above it.
            const double below = codes[lastBelow];
            const double above = codes[lastBelow + 1];
            edges.push_back(static_cast<double>(lastBelow) +
                            (above > below ? (middle - below) / (above - below) : 0.0));
        }
    }
    return edges;
}

}  // namespace

SimulatedScope::SimulatedScope(const DriveHistory& drive, const Circuit& circuit,
                               double noiseDivisions, const ScreenLayout& layout)
    : drive_(drive),
      circuit_(circuit),
      noiseCodes_(noiseDivisions * kCodesPerDivision),
      layout_(layout) {}

SimulatedScope::Channel* SimulatedScope::channel(int number) {
    return number >= 1 && number <= kChannels ? &channels_[static_cast<std::size_t>(number - 1)]
                                              : nullptr;
}

double SimulatedScope::seconds(Clock::time_point time) const {
    return std::chrono::duration<double>(time - origin_).count();
}

double SimulatedScope::sampleIntervalSeconds() const {
    return acquisition_.secondsPerDivision * layout_.horizontalDivisions / layout_.points;
}

double SimulatedScope::startSeconds() const {
    return -acquisition_.secondsPerDivision * layout_.horizontalDivisions / 2;
}

double SimulatedScope::volts(int number, double t, const DriveHistory::Snapshot& drive) const {
    const double changed = seconds(drive.changed);
    if (number == 1) {
        return sine(t < changed ? drive.before : drive.now, 1.0, t);
    }
    if (number != 2) {
        return 0;
    }
    // The old response dies away in the circuit's time constant while the new one grows.
    const double tau = settlingTimeConstant(circuit_);
    const double old = t < changed ? 1.0 : tau > 0 ? std::exp(-(t - changed) / tau) : 0.0;
    const double settled = sine(drive.now, circuitResponse(circuit_, drive.now.hz), t);
    return old == 0 ? settled
                    : (1 - old) * settled +
                          old * sine(drive.before, circuitResponse(circuit_, drive.before.hz), t);
}

void SimulatedScope::take(Acquisition& acquisition) {
    const DriveHistory::Snapshot drive = drive_.snapshot();
    const double interval = sampleIntervalSeconds();
    const double start = seconds(acquisition.trigger) + startSeconds();
    std::normal_distribution<double> noise(0, noiseCodes_ > 0 ? noiseCodes_ : 1e-12);
    for (int number = 1; number <= kChannels; ++number) {
        const Channel& settings = acquisition.channels[static_cast<std::size_t>(number - 1)];
        std::vector<int>& trace = acquisition.traces[static_cast<std::size_t>(number - 1)];
        trace.clear();
        const double codesPerVolt = kCodesPerDivision / settings.voltsPerDivision;
        for (int i = 0; i < layout_.points; ++i) {
            const double v = volts(number, start + i * interval, drive) + settings.offsetVolts;
            const double code = std::round(v * codesPerVolt + noise(random_));
            trace.push_back(static_cast<int>(
                std::clamp(code, double(layout_.lowestCode), double(layout_.highestCode))));
        }
    }
    acquisition.taken = true;
}

void SimulatedScope::arm(Clock::time_point now) {
    running_ = false;
    // The memory before the trigger fills first (half the screen); then the next rising zero
    // crossing of channel 1's cosine, at a phase of 3/2 pi, triggers.
    const double ready = seconds(now) + secondsPerDivision_ * layout_.horizontalDivisions / 2;
    const double hz = drive_.snapshot().now.hz;
    double delay = 0;
    if (hz > 0) {
        const double phase = std::fmod(kTwoPi * hz * ready, kTwoPi);
        delay = std::fmod(1.5 * std::numbers::pi - phase + kTwoPi, kTwoPi) / (kTwoPi * hz);
    }
    acquisition_ = {};
    acquisition_.trigger = origin_ + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(ready + delay));
    acquisition_.secondsPerDivision = secondsPerDivision_;
    acquisition_.channels = channels_;
}

void SimulatedScope::stop(Clock::time_point now) {
    if (running_) {
        current(now);
    }
    running_ = false;
}

bool SimulatedScope::stopped(Clock::time_point now) const {
    const auto half = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
        acquisition_.secondsPerDivision * layout_.horizontalDivisions / 2));
    return !running_ && now >= acquisition_.trigger + half;
}

SimulatedScope::Acquisition& SimulatedScope::current(Clock::time_point now) {
    if (running_) {
        const auto half = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(secondsPerDivision_ * layout_.horizontalDivisions / 2));
        acquisition_ = {};
        acquisition_.trigger = now - half;
        acquisition_.secondsPerDivision = secondsPerDivision_;
        acquisition_.channels = channels_;
    }
    if (!acquisition_.taken) {
        take(acquisition_);
    }
    return acquisition_;
}

const std::vector<int>& SimulatedScope::trace(int channel, Clock::time_point now) {
    return current(now).traces[static_cast<std::size_t>(channel - 1)];
}

std::optional<double> SimulatedScope::peakToPeak(int channel, Clock::time_point now) {
    const Acquisition& acquisition = current(now);
    const auto index = static_cast<std::size_t>(channel - 1);
    const std::vector<int>& codes = acquisition.traces[index];
    const auto [low, high] = std::minmax_element(codes.begin(), codes.end());
    const bool offScreen = *high == layout_.lowestCode || *low == layout_.highestCode;
    if (!acquisition.channels[index].on || *high - *low < kLeastCodes || offScreen) {
        return std::nullopt;
    }
    return (*high - *low) * acquisition.channels[index].voltsPerDivision / kCodesPerDivision;
}

std::optional<double> SimulatedScope::phaseLag(int from, int to, Clock::time_point now) {
    if (!peakToPeak(from, now) || !peakToPeak(to, now)) {
        return std::nullopt;
    }
    const std::vector<double> reference = risingEdges(trace(from, now));
    const std::vector<double> lagging = risingEdges(trace(to, now));
    if (reference.size() < 2 || lagging.empty()) {
        return std::nullopt;
    }
    const double period =
        (reference.back() - reference.front()) / static_cast<double>(reference.size() - 1);
    // The mean of the edges' lags as angles, so that lags either side of a full turn agree.
    std::complex<double> sum;
    for (const double edge : reference) {
        const auto next = std::lower_bound(lagging.begin(), lagging.end(), edge);
        if (next != lagging.end() && *next - edge < period) {
            sum += std::polar(1.0, kTwoPi * (*next - edge) / period);
        }
    }
    if (std::abs(sum) == 0) {
        return std::nullopt;
    }
    const double degrees = std::arg(sum) * 180 / std::numbers::pi;
    return degrees < 0 ? degrees + 360 : degrees;
}

}  // namespace tavero::sim
