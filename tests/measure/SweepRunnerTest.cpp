// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "measure/SweepRunner.h"

namespace tavero::measure {
namespace {

using Response = std::function<std::complex<double>(double hz)>;

class FakeSource final : public SignalSource {
public:
    FrequencyRange range() const override { return {25, 3000000000U, 25}; }
    bool start(std::uint32_t amplitudeMillivolt) override {
        amplitudeMillivolt_ = amplitudeMillivolt;
        started = true;
        return true;
    }
    bool setFrequency(std::uint32_t frequencyCentiHz) override {
        if (++sets == failAtSet) {
            return false;
        }
        frequencyCentiHz_ = frequencyCentiHz;
        return true;
    }
    bool restore() override {
        restored = true;
        return true;
    }
    double hz() const { return frequencyCentiHz_ / 100.0; }
    double peakToPeakVolts() const { return amplitudeMillivolt_ / 1000.0; }

    int sets = 0;
    int failAtSet = 0;
    bool started = false;
    bool restored = false;

private:
    std::uint32_t amplitudeMillivolt_ = 0;
    std::uint32_t frequencyCentiHz_ = 0;
};

class FakeClock final : public SweepClock {
public:
    std::chrono::microseconds now() const override { return now_; }
    bool waitUntil(std::chrono::microseconds deadline) override {
        if (++waits == stopAtWait) {
            return false;
        }
        now_ = std::max(now_, deadline);
        return true;
    }
    int waits = 0;
    int stopAtWait = 0;

private:
    std::chrono::microseconds now_{0};
};

/// An 8-bit scope of 8 divisions (+-128 codes, 25 a division) and 12 across that sees the
/// source on channel 1 and the circuit's output on channel 2; its phase readings lie in
/// [-90, 270) as some scopes give them.
class AnalyticScope final : public Oscilloscope {
public:
    AnalyticScope(FakeSource& source, Response response)
        : source_(source), response_(std::move(response)) {}

    ScopeLimits limits() const override {
        return {
            .vertical = {.minVoltsPerDivision = 1e-3, .maxVoltsPerDivision = 10, .divisions = 8},
            .minSecondsPerDivision = fastestTimebase,
            .maxSecondsPerDivision = 50,
            .horizontalDivisions = 12,
            .measures = true};
    }
    void prepare(int, int) override { prepared = true; }
    void setVerticalScale(int channel, double voltsPerDivision) override {
        scales_[channel] = voltsPerDivision;
    }
    void setTimebase(double secondsPerDivision) override { timebase_ = secondsPerDivision; }
    bool acquire(SweepClock& clock, std::chrono::microseconds screenTime) override {
        ++acquisitions;
        if (timeoutsAt.contains(acquisitions)) {
            throw ScopeError(ScopeError::Kind::kTimeout, "no answer");
        }
        if (acquisitions == lostAt) {
            throw ScopeError(ScopeError::Kind::kLost, "connection closed");
        }
        return clock.waitUntil(clock.now() + screenTime);
    }
    std::optional<double> peakToPeak(int channel) override {
        const double volts = measure::peakToPeak(waveform(channel));
        return volts < 0.2 * scales_[channel] ? std::nullopt : std::optional(volts);
    }
    std::optional<double> phaseLag(int, int) override {
        const double lag = -std::arg(response_(source_.hz())) * 180 / std::numbers::pi;
        return lag < -90 ? lag + 360 : lag;
    }
    Waveform waveform(int channel) override {
        const double scale = scales_[channel];
        Waveform trace;
        trace.sampleIntervalSeconds = timebase_ * 12 / 1200;
        trace.startSeconds = -6 * timebase_;
        trace.voltsPerCode = scale / 25;
        const std::complex<double> gain = channel == 1 ? 1.0 : response_(source_.hz());
        for (int n = 0; n < 1200; ++n) {
            const double t = trace.startSeconds + n * trace.sampleIntervalSeconds;
            const double volts = source_.peakToPeakVolts() / 2 * std::abs(gain) *
                                 std::cos(2 * std::numbers::pi * source_.hz() * t + std::arg(gain));
            const double code = std::clamp(std::round(volts / trace.voltsPerCode), -128.0, 127.0);
            trace.clipped = trace.clipped || code == -128 || code == 127;
            trace.volts.push_back(code * trace.voltsPerCode);
        }
        return trace;
    }
    void restore() override { restored = true; }

    int acquisitions = 0;
    std::set<int> timeoutsAt;
    int lostAt = 0;
    double fastestTimebase = 5e-9;
    bool prepared = false;
    bool restored = false;

private:
    FakeSource& source_;
    Response response_;
    std::map<int, double> scales_;
    double timebase_ = 1e-3;
};

class Collector final : public SweepObserver {
public:
    void pointDone(const ResponsePoint& point, std::size_t index, std::size_t count) override {
        EXPECT_EQ(index, indices.size());
        indices.push_back(index);
        total = count;
        phases.push_back(point.unwrappedPhaseDeg);
    }
    std::vector<std::size_t> indices;
    std::vector<double> phases;
    std::size_t total = 0;
};

std::complex<double> lowPass(double hz) {  // 1 kohm, 100 nF
    return 1.0 / std::complex<double>(1, 2 * std::numbers::pi * hz * 1e-4);
}
std::complex<double> highPass(double hz) {
    const std::complex<double> jwrc(0, 2 * std::numbers::pi * hz * 1e-4);
    return jwrc / (1.0 + jwrc);
}
std::complex<double> bandPass(double hz) {  // 100 ohm, 10 mH, 100 nF
    const double w = 2 * std::numbers::pi * hz;
    return 100.0 / std::complex<double>(100, w * 10e-3 - 1 / (w * 100e-9));
}
std::complex<double> secondOrderLowPass(double hz) {  // two stages that do not load each other
    return lowPass(hz) * lowPass(hz);
}

SweepRequest request(Method method, std::uint32_t fromCentiHz = 1000,
                     std::uint32_t toCentiHz = 100000000) {
    return {.plan = {fromCentiHz, toCentiHz, PlanSpacing::kLogarithmic, 20},
            .method = method,
            .settle = {}};
}

TEST(SweepRunner, MatchesTheAnalyticResponseWithinEachMethodsTolerance) {
    struct Case {
        const char* name;
        Response response;
        Method method;
        double dbTolerance, degreeTolerance;
    };
    const std::vector<Case> cases = {
        {"low-pass, capture", lowPass, Method::kCapture, 0.1, 1},
        {"high-pass, capture", highPass, Method::kCapture, 0.1, 1},
        {"band-pass, capture", bandPass, Method::kCapture, 0.1, 1},
        {"second order, capture", secondOrderLowPass, Method::kCapture, 0.1, 1},
        {"low-pass, measure", lowPass, Method::kMeasure, 0.5, 3},
        {"band-pass, measure", bandPass, Method::kMeasure, 0.5, 3},
        {"second order, measure", secondOrderLowPass, Method::kMeasure, 0.5, 3},
    };
    for (const Case& c : cases) {
        FakeSource source;
        AnalyticScope scope(source, c.response);
        FakeClock clock;
        Collector collector;
        const SweepOutcome outcome =
            SweepRunner(source, scope, clock, collector).run(request(c.method), [] {
                return false;
            });
        EXPECT_EQ(outcome.end, SweepEnd::kFinished) << c.name;
        ASSERT_EQ(outcome.points.size(), 101U) << c.name;
        EXPECT_EQ(collector.total, 101U) << c.name;
        EXPECT_TRUE(source.restored && scope.prepared && scope.restored) << c.name;
        // Ranging carries from point to point: a smooth curve needs few second looks.
        EXPECT_LT(scope.acquisitions, 125) << c.name;
        std::optional<double> previous;
        for (std::size_t i = 0; i < outcome.points.size(); ++i) {
            const ResponsePoint& point = outcome.points[i];
            const std::complex<double> h = c.response(point.frequencyHz());
            const double db = 20 * std::log10(std::abs(h));
            if (db < -40) {
                continue;
            }
            ASSERT_TRUE(point.ok()) << c.name << " " << point.frequencyHz();
            EXPECT_NEAR(point.magnitudeDb, db, c.dbTolerance)
                << c.name << " " << point.frequencyHz();
            const double degrees = std::arg(h) * 180 / std::numbers::pi;
            EXPECT_NEAR(wrapPhase(point.phaseDeg - degrees), 0, c.degreeTolerance)
                << c.name << " " << point.frequencyHz();
            EXPECT_GT(point.phaseDeg, -180);
            EXPECT_LE(point.phaseDeg, 180);
            // The unwrapped phase runs on without jumps of a turn.
            EXPECT_TRUE(!previous || std::abs(collector.phases[i] - *previous) < 90) << c.name;
            previous = collector.phases[i];
        }
    }
}

TEST(SweepRunner, EndsOrExcludesAsEachFailureAsksAndRestoresWhatItCan) {
    struct Case {
        const char* name;
        std::function<void(FakeSource&, AnalyticScope&, FakeClock&)> arrange;
        Response response;
        Method method;
        std::size_t stopAfterPoints;  ///< 0: never asked to stop
        SweepEnd end;
        std::vector<std::string> statuses;  ///< of the points kept
        bool scopeRestored;
    };
    const auto none = [](FakeSource&, AnalyticScope&, FakeClock&) {};
    const auto open = [](double) { return std::complex<double>(); };
    const std::string invalid = "invalid-measurement";
    const std::string fewSamples = "too-few-samples-per-period";
    const std::vector<Case> cases = {
        {"source fails",
         [](FakeSource& s, AnalyticScope&, FakeClock&) { s.failAtSet = 3; },
         lowPass,
         Method::kCapture,
         0,
         SweepEnd::kSourceFailed,
         {"ok", "ok"},
         true},
        {"one time-out",
         [](FakeSource&, AnalyticScope& s, FakeClock&) { s.timeoutsAt = {2}; },
         lowPass,
         Method::kCapture,
         0,
         SweepEnd::kFinished,
         {"ok", "scope-timeout", "ok", "ok"},
         true},
        {"time-outs in a row",
         [](FakeSource&, AnalyticScope& s, FakeClock&) {
             s.timeoutsAt = {2, 3};
         },
         lowPass,
         Method::kCapture,
         0,
         SweepEnd::kScopeLost,
         {"ok", "scope-timeout"},
         false},
        {"unplugged",
         [](FakeSource&, AnalyticScope& s, FakeClock&) { s.lostAt = 3; },
         lowPass,
         Method::kMeasure,
         0,
         SweepEnd::kScopeLost,
         {"ok", "ok"},
         false},
        {"stop asked", none, lowPass, Method::kCapture, 2, SweepEnd::kStopped, {"ok", "ok"}, true},
        // Each point waits to settle, then for its acquisition: the fifth wait is the third
        // point's settling.
        {"clock stops",
         [](FakeSource&, AnalyticScope&, FakeClock& c) { c.stopAtWait = 5; },
         lowPass,
         Method::kCapture,
         0,
         SweepEnd::kStopped,
         {"ok", "ok"},
         true},
        {"output open, capture", none, open, Method::kCapture, 0, SweepEnd::kFinished,
         std::vector<std::string>(4, "below-resolution"), true},
        {"output open, measure", none, open, Method::kMeasure, 0, SweepEnd::kFinished,
         std::vector<std::string>(4, invalid), true},
        {"gain beyond the screen", none, [](double) { return std::complex<double>(200); },
         Method::kCapture, 0, SweepEnd::kFinished, std::vector<std::string>(4, "clipped"), true},
        // A timebase of 10 ms a division at the fastest samples 10 kHz a second.
        {"slow sampling",
         [](FakeSource&, AnalyticScope& s, FakeClock&) { s.fastestTimebase = 1e-2; },
         lowPass,
         Method::kCapture,
         0,
         SweepEnd::kFinished,
         {"ok", fewSamples, fewSamples, fewSamples},
         true},
    };
    for (const Case& c : cases) {
        FakeSource source;
        AnalyticScope scope(source, c.response);
        FakeClock clock;
        c.arrange(source, scope, clock);
        Collector collector;
        // 1 kHz to 10 kHz at 3 a decade: four points.
        const SweepOutcome outcome =
            SweepRunner(source, scope, clock, collector)
                .run({.plan = {100000, 1000000, PlanSpacing::kLogarithmic, 3},
                      .method = c.method,
                      .settle = {}},
                     [&] {
                         return c.stopAfterPoints != 0 &&
                                collector.indices.size() >= c.stopAfterPoints;
                     });
        EXPECT_EQ(outcome.end, c.end) << c.name;
        EXPECT_EQ(outcome.plannedPoints, 4U) << c.name;
        std::vector<std::string> statuses;
        for (const ResponsePoint& point : outcome.points) {
            statuses.emplace_back(exclusionName(point.exclusion));
        }
        EXPECT_EQ(statuses, c.statuses) << c.name;
        EXPECT_TRUE(source.restored) << c.name;
        EXPECT_EQ(scope.restored, c.scopeRestored) << c.name;
    }
}

}  // namespace
}  // namespace tavero::measure
