// SPDX-License-Identifier: GPL-3.0-or-later
// Points per second of a frequency response sweep, 1 kHz to 100 kHz at 10 a decade through an
// RC low-pass, with the generator on tavero-sim's paced line and its simulated Rigol scope on a
// raw socket, each measurement or trace taking the scope 0, 20 or 50 ms as real scopes take
// them. Against the floor the sweep cannot go below: the generator's exchanges, the settling,
// the scope's acquisitions and its measurement time. What is left is the program's own share of
// a point's time. Beside it Scopy's network analyser at 8.7 points a second.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "ChildProcess.h"
#include "ctl/OwnGeneratorSession.h"
#include "link/TraceFile.h"
#include "measure/SteadySweepClock.h"
#include "measure/SweepRunner.h"
#include "model/GeneratorSignalSource.h"
#include "qt/serial/SerialPortBridge.h"
#include "scope/ScopeConnection.h"

namespace {

using namespace tavero;
using Seconds = std::chrono::duration<double>;

/// Scopy's network analyser after its speed-ups (scopy issues 194 and 571).
constexpr double kScopyPointsPerSecond = 8.7;

/// Times the generator's exchanges.
class TimedSource final : public measure::SignalSource {
public:
    explicit TimedSource(measure::SignalSource& source) : source_(source) {}
    measure::FrequencyRange range() const override { return source_.range(); }
    bool start(std::uint32_t millivolts) override { return source_.start(millivolts); }
    bool setFrequency(std::uint32_t centiHz) override {
        const auto begin = std::chrono::steady_clock::now();
        const bool ok = source_.setFrequency(centiHz);
        exchanges += std::chrono::steady_clock::now() - begin;
        return ok;
    }
    bool restore() override { return source_.restore(); }

    Seconds exchanges{0};

private:
    measure::SignalSource& source_;
};

/// Counts what takes the scope its own time: acquisitions (their screens) and measurements.
class CountingScope final : public measure::Oscilloscope {
public:
    explicit CountingScope(measure::Oscilloscope& scope) : scope_(scope) {}
    measure::ScopeLimits limits() const override { return scope_.limits(); }
    void prepare(int in, int out) override { scope_.prepare(in, out); }
    void setVerticalScale(int channel, double volts) override {
        scope_.setVerticalScale(channel, volts);
    }
    void setTimebase(double seconds) override { scope_.setTimebase(seconds); }
    bool acquire(measure::SweepClock& clock, std::chrono::microseconds screen) override {
        screens += screen;
        return scope_.acquire(clock, screen);
    }
    std::optional<double> peakToPeak(int channel) override {
        ++measurements;
        return scope_.peakToPeak(channel);
    }
    std::optional<double> phaseLag(int in, int out) override {
        ++measurements;
        return scope_.phaseLag(in, out);
    }
    measure::Waveform waveform(int channel) override {
        ++measurements;
        return scope_.waveform(channel);
    }
    void restore() override { scope_.restore(); }

    Seconds screens{0};
    int measurements = 0;

private:
    measure::Oscilloscope& scope_;
};

class Quiet final : public measure::SweepObserver {
public:
    void pointDone(const measure::ResponsePoint&, std::size_t, std::size_t) override {}
};

void BodeSweep(benchmark::State& state) {
    const auto method = state.range(0) == 0 ? measure::Method::kMeasure : measure::Method::kCapture;
    const auto measureTime = std::chrono::milliseconds(state.range(1));
    testing::ChildProcess simulator({TAVERO_SIM_PATH, "--pace", "--scope", "rigol", "--dut",
                                     "lowpass", "--scope-measure-ms",
                                     std::to_string(measureTime.count())});
    const std::string terminal = simulator.readLine().value_or("");
    const std::string resource = simulator.readLine().value_or("").substr(6);
    qt::SerialPortBridge bridge(QString::fromStdString(terminal));
    std::ostringstream errors;
    std::ostringstream diagnostics;
    link::TraceFile trace({}, [](int) {});
    bool disconnectFailed = false;
    scope::ScopeConnection scope = scope::connectScope(resource);
    CountingScope counting(*scope.scope);
    {
        ctl::OwnGeneratorSession generator(bridge, errors, diagnostics, trace, disconnectFailed);
        if (!generator.open() || !generator.readParameters()) {
            std::cerr << "no generator: " << errors.str() << '\n';
            std::abort();
        }
        model::GeneratorSignalSource source(
            [&generator](const model::Edit& edit) { return generator.apply(edit); },
            generator.settings());
        TimedSource timed(source);
        measure::SteadySweepClock clock;
        Quiet quiet;
        const measure::SweepRequest request{
            .plan = {100000, 10000000, measure::PlanSpacing::kLogarithmic, 10},
            .method = method,
            .settle = {}};
        Seconds settling{0};
        for (const std::uint32_t centiHz : measure::planFrequencies(request.plan, 25)) {
            settling += measure::settleTime(request.settle, centiHz);
        }
        std::size_t points = 0;
        Seconds total{0};
        for (auto _ : state) {
            const auto begin = std::chrono::steady_clock::now();
            const measure::SweepOutcome outcome =
                measure::SweepRunner(timed, counting, clock, quiet).run(request, [] {
                    return false;
                });
            const Seconds elapsed = std::chrono::steady_clock::now() - begin;
            state.SetIterationTime(elapsed.count());
            total += elapsed;
            points += outcome.points.size();
        }
        const double sweeps = static_cast<double>(state.iterations());
        const Seconds floor = timed.exchanges + settling * sweeps + counting.screens +
                              counting.measurements * Seconds(measureTime);
        state.counters["points_per_s"] = static_cast<double>(points) / total.count();
        state.counters["floor_points_per_s"] = static_cast<double>(points) / floor.count();
        state.counters["own_share_%"] = 100 * (total - floor) / total;
        state.counters["measurements_per_point"] =
            static_cast<double>(counting.measurements) / static_cast<double>(points);
        state.counters["scopy_points_per_s"] = kScopyPointsPerSecond;
    }
    simulator.stop(SIGTERM);
}

// Method 0 measure, 1 capture; the scope's time per measurement in ms.
BENCHMARK(BodeSweep)
    ->ArgsProduct({{0, 1}, {0, 20, 50}})
    ->ArgNames({"capture", "scope_ms"})
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
