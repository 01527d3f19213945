// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the window program: from the start of the process until its main window is
// shown and connected to the built-in simulated generator, and the memory it holds then. The
// yardstick is a bare Qt Widgets window with as many stock widgets, started alternately with
// the program in the same run so that the machine's load weighs on both alike. The time ratio
// is the median of each pair's ratio, which a load that comes and goes sways least; the memory
// ratio compares the medians.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "ChildProcess.h"

namespace {

struct Start {
    double seconds = 0;
    double peakMiB = 0;
};

/// Starts the program and waits for the first line that begins with `readyLine`.
Start startUntil(const std::vector<std::string>& argv, std::string_view readyLine) {
    const auto start = std::chrono::steady_clock::now();
    tavero::testing::ChildProcess program(argv);
    for (std::string line; !line.starts_with(readyLine);) {
        line = program.readLine().value_or(std::string(readyLine));
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    program.stop(SIGTERM);
    return {elapsed.count(), static_cast<double>(program.peakResidentKiB()) / 1024.0};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void StartUntilConnected(benchmark::State& state) {
    // A data folder of its own: the first start makes the profile file, the others read it,
    // as on a user's machine, and the user's own files stay out of it.
    const std::filesystem::path dataHome =
        std::filesystem::temp_directory_path() / "tavero-startup-bench";
    std::filesystem::remove_all(dataHome);
    const std::vector<std::string> ours = {"/usr/bin/env",
                                           "QT_QPA_PLATFORM=offscreen",
                                           "XDG_DATA_HOME=" + dataHome.string(),
                                           TAVERO_PATH,
                                           "--simulator",
                                           "--connect"};
    const std::vector<std::string> bare = {"/usr/bin/env", "QT_QPA_PLATFORM=offscreen",
                                           BARE_WINDOW_PATH};
    // The last line the link prints for the parameter read ends the connect.
    constexpr std::string_view kConnected = "Empfangen 53";
    startUntil(ours, kConnected);
    startUntil(bare, "shown");

    std::vector<double> oursMs;
    std::vector<double> bareMs;
    std::vector<double> timeRatios;
    std::vector<double> oursMiB;
    std::vector<double> bareMiB;
    for (auto _ : state) {
        const Start reference = startUntil(bare, "shown");
        const Start program = startUntil(ours, kConnected);
        state.SetIterationTime(program.seconds);
        oursMs.push_back(program.seconds * 1e3);
        bareMs.push_back(reference.seconds * 1e3);
        timeRatios.push_back(program.seconds / reference.seconds);
        oursMiB.push_back(program.peakMiB);
        bareMiB.push_back(reference.peakMiB);
    }
    std::filesystem::remove_all(dataHome);
    state.counters["ours_ms"] = median(oursMs);
    state.counters["bare_ms"] = median(bareMs);
    state.counters["time_ratio"] = median(timeRatios);
    state.counters["ours_rss_MiB"] = median(oursMiB);
    state.counters["bare_rss_MiB"] = median(bareMiB);
    state.counters["rss_ratio"] = median(oursMiB) / median(bareMiB);
}

BENCHMARK(StartUntilConnected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(61);

}  // namespace

BENCHMARK_MAIN();
