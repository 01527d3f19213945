// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the window program: from the start of the process until its main window is
// shown and connected to the built-in simulated generator, and the memory it holds then.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "ChildProcess.h"

namespace {

void StartUntilConnected(benchmark::State& state) {
    long peakKiB = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        tavero::testing::ChildProcess window(
            {"/usr/bin/env", "QT_QPA_PLATFORM=offscreen", TAVERO_PATH, "--simulator", "--connect"});
        // The last line the link prints for the parameter read ends the connect.
        for (std::string line; line.rfind("Empfangen 53", 0) != 0;) {
            line = window.readLine().value_or("Empfangen 53");
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        window.stop(SIGTERM);
        peakKiB = std::max(peakKiB, window.peakResidentKiB());
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(peakKiB) / 1024.0;
}

BENCHMARK(StartUntilConnected)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
