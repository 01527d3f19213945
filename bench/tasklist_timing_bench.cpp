// SPDX-License-Identifier: GPL-3.0-or-later
// The task list's steps against their places on the grid of whole seconds counted from the
// moment the run starts: the dialog's Start click, and `tavero-ctl play` once it has connected.
// 120 one-second entries, each run idle and with two threads keeping both cores busy. The
// generator is tavero-sim's paced line served in this process, so its log and the start share
// one clock; a step's moment is when the first byte of its `p` frame reached the generator.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/BuildConfig.h"
#include "core/GeneratorSettings.h"
#include "core/StoredProfile.h"
#include "core/TaskEntry.h"
#include "ctl/CommandLine.h"
#include "ctl/ControlTool.h"
#include "ctl/SteadyRunClock.h"
#include "ctl/StreamMessageSink.h"
#include "ctl/UsageError.h"
#include "dialogs/tasklist/CAufgabenlisteDlg.h"
#include "link/Connection.h"
#include "model/GeneratorModel.h"
#include "qt/QtHost.h"
#include "qt/serial/SerialPortBridge.h"
#include "res/AufgabenlisteTemplate.h"
#include "res/StandardIds.h"
#include "sim/FrameEncoder.h"
#include "sim/TerminalServer.h"
#include "store/AtomicFileWriter.h"
#include "store/TaskListFile.h"

namespace {

using namespace tavero;
namespace ids = res::aufgabenliste;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kSteps = 120;
constexpr std::chrono::seconds kStepTime{1};
constexpr std::chrono::milliseconds kBeforeStart{200};

enum class Load { kIdle, kBusy };

/// Worst step allowed off its place, per load.
double aimMs(Load load) {
    return load == Load::kIdle ? 5.0 : 15.0;
}

/// Two threads spinning for as long as it lives, one for each of the machine's two cores.
class BusyCores {
public:
    explicit BusyCores(Load load) {
        if (load == Load::kBusy) {
            for (int i = 0; i < 2; ++i) {
                spinners_.emplace_back([this] {
                    while (!stop_.load(std::memory_order_relaxed)) {
                    }
                });
            }
        }
    }
    ~BusyCores() {
        stop_ = true;
        for (std::thread& spinner : spinners_) {
            spinner.join();
        }
    }
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> spinners_;
};

[[noreturn]] void fail(const std::string& why) {
    std::cerr << why << '\n';
    std::abort();
}

/// tavero-sim's paced terminal served by a thread of this process, logging to memory.
class PacedGenerator {
public:
    PacedGenerator() {
        master_ = sim::openRawTerminal(terminal_);
        if (master_ < 0 || pipe(stop_) != 0) {
            fail("cannot open a pseudo-terminal");
        }
        log_ = open_memstream(&logText_, &logSize_);
        origin_ = Clock::now();
        server_.emplace(master_, stop_[0], sim::TerminalServer::Options{.pace = true, .faults = {}},
                        log_);
        serving_ = std::thread([this] { server_->run(); });
    }
    ~PacedGenerator() {
        stopServing();
        std::fclose(log_);
        std::free(logText_);
        close(stop_[0]);
        close(stop_[1]);
        close(master_);
    }
    PacedGenerator(const PacedGenerator&) = delete;
    PacedGenerator& operator=(const PacedGenerator&) = delete;

    const std::string& terminal() const { return terminal_; }

    /// When the first byte of each `p` frame reached the generator.
    std::vector<Clock::time_point> settingsFrameStarts() {
        stopServing();
        std::fflush(log_);
        std::vector<Clock::time_point> starts;
        std::istringstream lines(std::string(logText_, logSize_));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            double seconds = 0;
            std::string letter;
            if (!(fields >> seconds >> letter) || letter != "p") {
                continue;
            }
            std::vector<std::uint8_t> payload{'p'};
            for (unsigned value = 0; fields >> std::hex >> value;) {
                payload.push_back(static_cast<std::uint8_t>(value));
            }
            // The log stamps the frame's last byte.
            const auto lastByte = origin_ + std::chrono::duration_cast<Clock::duration>(
                                                std::chrono::duration<double>(seconds));
            const auto frameBytes = static_cast<long>(sim::encodeFrame(payload).size());
            starts.push_back(lastByte - (frameBytes - 1) * sim::TerminalServer::kPacedByteTime);
        }
        return starts;
    }

private:
    void stopServing() {
        if (serving_.joinable()) {
            const char byte = 0;
            if (write(stop_[1], &byte, 1) != 1) {
                fail("cannot stop the simulator");
            }
            serving_.join();
        }
    }

    std::string terminal_;
    int master_ = -1;
    int stop_[2] = {-1, -1};
    char* logText_ = nullptr;
    std::size_t logSize_ = 0;
    std::FILE* log_ = nullptr;
    Clock::time_point origin_;
    std::optional<sim::TerminalServer> server_;
    std::thread serving_;
};

std::vector<StoredProfile> twoProfiles() {
    GeneratorSettings low = GeneratorSettings::emptyProfile();
    low.frequenz = 100000;
    GeneratorSettings high = low;
    high.frequenz = 200000;
    return {{low, "1 kHz"}, {high, "2 kHz"}};
}

template <typename Widget>
Widget* control(QWidget* dialog, int id) {
    return dialog->findChild<Widget*>(QString::number(id));
}

/// Fills the open dialog, presses Start, and closes the dialog once the run has ended, as a
/// user would.
void driveDialog(qt::QtHost& host, Clock::time_point& startPressed) {
    QWidget* dialog = host.frontWidget();
    auto* profile = control<QComboBox>(dialog, ids::kProfileCombo);
    control<QLineEdit>(dialog, ids::kDurationEdit)->setText(QStringLiteral("1"));
    for (int i = 0; i < kSteps; ++i) {
        profile->setCurrentIndex(i % 2);
        control<QPushButton>(dialog, ids::kAdd)->click();
    }
    auto* start = control<QPushButton>(dialog, ids::kStart);
    // A moment later, as a user would: tavero-sim notices a newly opened terminal only every
    // 50 ms, which a generator on USB never has to.
    QTimer::singleShot(kBeforeStart, dialog, [dialog, start, &startPressed] {
        startPressed = Clock::now();
        start->click();
        auto* watch = new QTimer(dialog);
        QObject::connect(watch, &QTimer::timeout, dialog, [dialog, start] {
            if (start->isEnabled()) {
                control<QPushButton>(dialog, res::kIdCancel)->click();
            }
        });
        watch->start(250);
    });
}

/// The moment the run started, by the task list dialog's Start click.
Clock::time_point playInDialog(const std::string& terminal, const std::filesystem::path& trace) {
    qt::SerialPortBridge bridge(QString::fromStdString(terminal));
    std::ostringstream diagnostics;
    link::TraceFile traceFile(trace);
    model::GeneratorModel generator(bridge, traceFile, diagnostics);
    std::ostringstream failures;
    ctl::StreamMessageSink failureSink(failures);
    const model::Requester window{{model::FrontEnd::kWindow, {}}, failureSink};
    if (generator.connect(window) != link::ConnectResult::kConnected) {
        fail("cannot connect to the simulator's terminal " + terminal + ": " + failures.str());
    }
    store::AtomicFileWriter writer;
    qt::QtHost host;
    const std::vector<StoredProfile> profiles = twoProfiles();
    dialogs::CAufgabenlisteDlg dialog(profiles, generator, writer);
    Clock::time_point startPressed;
    QTimer::singleShot(0, [&host, &startPressed] { driveDialog(host, startPressed); });
    host.runModal(dialog);
    generator.disconnect(window);
    return startPressed;
}

/// The tool's clock, noting when play asks it for the first time: the start of its grid.
class StartNotingClock final : public ctl::RunClock {
public:
    std::chrono::milliseconds now() const override {
        if (!started_) {
            started_ = Clock::now();
        }
        return clock_.now();
    }
    bool waitUntil(std::chrono::milliseconds deadline) override {
        return clock_.waitUntil(deadline);
    }
    bool waitForOutput() override { return clock_.waitForOutput(); }
    void catchInterrupts() override { clock_.catchInterrupts(); }
    int interruption() const override { return clock_.interruption(); }

    Clock::time_point started() const { return started_.value_or(Clock::time_point{}); }

private:
    ctl::SteadyRunClock clock_;
    mutable std::optional<Clock::time_point> started_;
};

/// The moment the run started, by `tavero-ctl play` once connected.
Clock::time_point playWithTool(const std::string& terminal, const std::filesystem::path& trace) {
    store::TaskList list;
    const std::vector<StoredProfile> profiles = twoProfiles();
    for (int i = 0; i < kSteps; ++i) {
        list.entries.push_back({profiles[static_cast<std::size_t>(i % 2)], 1, i + 1});
    }
    const std::filesystem::path file = trace.parent_path() / "tavero-tasklist-bench.tvr";
    store::AtomicFileWriter writer;
    if (!store::writeTaskListFile(writer, file, list)) {
        fail("cannot write " + file.string());
    }
    qt::SerialPortBridge bridge(QString::fromStdString(terminal));
    std::ostringstream out;
    std::ostringstream errors;
    StartNotingClock clock;
    link::TraceFile traceFile(trace);
    ctl::ControlTool tool({.bridge = bridge,
                           .out = out,
                           .errors = errors,
                           .diagnostics = errors,
                           .trace = traceFile,
                           .profileFile = {},
                           .fileWriter = writer,
                           .clock = clock,
                           .heldGenerator = {}});
    const int status =
        tool.run(ctl::parseCommandLine({"--port", terminal, "play", file.string(), "--once"}));
    std::filesystem::remove(file);
    if (status != ctl::kExitSuccess) {
        fail("tavero-ctl play ended with " + std::to_string(status) + ": " + errors.str());
    }
    return clock.started();
}

using Player = Clock::time_point (*)(const std::string& terminal,
                                     const std::filesystem::path& trace);

void TaskListRun(benchmark::State& state, Player player, Load load) {
    const std::filesystem::path trace =
        std::filesystem::temp_directory_path() / "tavero-tasklist-bench-out.txt";
    for (auto _ : state) {
        PacedGenerator generator;
        Clock::time_point started;
        {
            const BusyCores busy(load);
            started = player(generator.terminal(), trace);
        }
        const std::vector<Clock::time_point> steps = generator.settingsFrameStarts();
        if (steps.size() != kSteps) {
            fail("the generator received " + std::to_string(steps.size()) + " p commands, not " +
                 std::to_string(kSteps));
        }
        std::vector<double> offPlaceMs;
        for (std::size_t k = 0; k < steps.size(); ++k) {
            offPlaceMs.push_back(
                Milliseconds(steps[k] - (started + static_cast<long>(k) * kStepTime)).count());
        }
        std::vector<double> sizes(offPlaceMs.size());
        std::transform(offPlaceMs.begin(), offPlaceMs.end(), sizes.begin(),
                       [](double ms) { return std::abs(ms); });
        std::sort(sizes.begin(), sizes.end());
        const double worstMs = sizes.back();
        const double medianMs = sizes[sizes.size() / 2];
        const double driftMs = offPlaceMs.back() - offPlaceMs.front();
        state.counters["first_step_ms"] = offPlaceMs.front();
        state.counters["worst_ms"] = worstMs;
        state.counters["median_ms"] = medianMs;
        state.counters["drift_ms"] = driftMs;
        state.counters["worst_vs_aim"] = worstMs / aimMs(load);
        state.SetIterationTime(Milliseconds(steps.back() - started).count() / 1e3);
    }
    std::filesystem::remove(trace);
}

BENCHMARK_CAPTURE(TaskListRun, dialog_idle, playInDialog, Load::kIdle)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(TaskListRun, dialog_busy, playInDialog, Load::kBusy)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(TaskListRun, play_idle, playWithTool, Load::kIdle)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(TaskListRun, play_busy, playWithTool, Load::kBusy)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

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
