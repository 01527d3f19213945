// SPDX-License-Identifier: GPL-3.0-or-later
// The task list's hold times over a long run: 120 one-second entries played by the dialog
// under Qt's event loop against tavero-sim pacing a pseudo-terminal at 76800 baud. The
// generator's own timestamps of the `p` commands show how far each step lies from its place on
// the grid of whole seconds after the first step, and how far the last one has drifted.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "core/BuildConfig.h"
#include "core/GeneratorSettings.h"
#include "core/StoredProfile.h"
#include "dialogs/tasklist/CAufgabenlisteDlg.h"
#include "link/ComCP2102.h"
#include "link/Connection.h"
#include "link/PacketLink.h"
#include "qt/QtHost.h"
#include "qt/files/QtFileWriter.h"
#include "qt/serial/SerialPortBridge.h"
#include "res/AufgabenlisteTemplate.h"
#include "res/StandardIds.h"

namespace {

using namespace tavero;
namespace ids = res::aufgabenliste;

constexpr int kSteps = 120;
constexpr double kStepSeconds = 1.0;
constexpr double kAimMs = 20.0;

/// When the generator received each `p`, in seconds since tavero-sim started.
std::vector<double> settingsCommandTimes(const std::vector<std::string>& simulatorLines) {
    std::vector<double> times;
    for (const std::string& line : simulatorLines) {
        std::istringstream fields(line);
        double seconds = 0;
        std::string letter;
        if (fields >> seconds >> letter && letter == "p") {
            times.push_back(seconds);
        }
    }
    return times;
}

template <typename Widget>
Widget* control(QWidget* dialog, int id) {
    return dialog->findChild<Widget*>(QString::number(id));
}

/// Fills the open dialog with the entries, starts the run and closes the dialog once the run
/// has ended, as a user would.
void driveDialog(qt::QtHost& host) {
    QWidget* dialog = host.frontWidget();
    auto* profile = control<QComboBox>(dialog, ids::kProfileCombo);
    control<QLineEdit>(dialog, ids::kDurationEdit)->setText(QStringLiteral("1"));
    for (int i = 0; i < kSteps; ++i) {
        profile->setCurrentIndex(i % 2);
        control<QPushButton>(dialog, ids::kAdd)->click();
    }
    auto* start = control<QPushButton>(dialog, ids::kStart);
    start->click();
    auto* watch = new QTimer(dialog);
    QObject::connect(watch, &QTimer::timeout, dialog, [dialog, start] {
        if (start->isEnabled()) {
            control<QPushButton>(dialog, res::kIdCancel)->click();
        }
    });
    watch->start(250);
}

void TaskListRun(benchmark::State& state) {
    const std::filesystem::path trace =
        std::filesystem::temp_directory_path() / "tavero-tasklist-bench-out.txt";
    for (auto _ : state) {
        testing::ChildProcess simulator({TAVERO_SIM_PATH, "--pace"});
        const std::string terminal = simulator.readLine().value_or("");
        std::vector<std::string> lines;
        std::thread reader([&simulator, &lines] {
            while (std::optional<std::string> line = simulator.readLine()) {
                lines.push_back(*line);
            }
        });

        qt::SerialPortBridge bridge(QString::fromStdString(terminal));
        link::ComCP2102 port(bridge);
        std::ostringstream diagnostics;
        link::PacketLink link(trace, diagnostics);
        if (!port.OpenById(kGeneratorVendorId, kGeneratorProductId, link::kGeneratorBaudRate,
                           500)) {
            std::cerr << "cannot open the simulator's terminal " << terminal << '\n';
            std::abort();
        }
        link.SetCom(&port);

        GeneratorSettings low = GeneratorSettings::emptyProfile();
        low.frequenz = 100000;
        GeneratorSettings high = low;
        high.frequenz = 200000;
        const std::vector<StoredProfile> profiles = {{low, "1 kHz"}, {high, "2 kHz"}};
        qt::QtFileWriter writer;
        qt::QtHost host;
        dialogs::CAufgabenlisteDlg dialog(profiles, port, link, writer);
        QTimer::singleShot(0, [&host] { driveDialog(host); });
        const auto begin = std::chrono::steady_clock::now();
        host.runModal(dialog);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());

        port.Close();
        simulator.stop(SIGTERM);
        reader.join();

        const std::vector<double> times = settingsCommandTimes(lines);
        if (times.size() != kSteps) {
            std::cerr << "the generator received " << times.size() << " p commands, not " << kSteps
                      << '\n';
            std::abort();
        }
        double largestMs = 0;
        for (std::size_t k = 0; k < times.size(); ++k) {
            const double deviationMs =
                (times[k] - times[0] - static_cast<double>(k) * kStepSeconds) * 1e3;
            largestMs = std::max(largestMs, std::abs(deviationMs));
        }
        const double driftMs = (times.back() - times.front() - (kSteps - 1) * kStepSeconds) * 1e3;
        state.counters["steps"] = static_cast<double>(times.size());
        state.counters["max_deviation_ms"] = largestMs;
        state.counters["drift_ms"] = driftMs;
        state.counters["max_deviation_vs_aim"] = largestMs / kAimMs;
        std::cout << "p commands: " << times.size()
                  << ", largest deviation from the grid: " << largestMs
                  << " ms, drift first to last: " << driftMs << " ms (aim: within " << kAimMs
                  << " ms, no drift)\n";
    }
    std::filesystem::remove(trace);
}

BENCHMARK(TaskListRun)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
