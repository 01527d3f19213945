// SPDX-License-Identifier: GPL-3.0-or-later
// One exchange over the whole stack (command set, frame codec, port, Qt serial bridge) against
// tavero-sim pacing a pseudo-terminal at 76800 baud. The ratio compares the time per exchange
// with the time the bytes of both frames need on the wire.
#include <benchmark/benchmark.h>
#include <signal.h>

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "ChildProcess.h"
#include "core/BuildConfig.h"
#include "core/GeneratorSettings.h"
#include "link/ComCP2102.h"
#include "link/Connection.h"
#include "link/DeviceCommands.h"
#include "link/MessageSink.h"
#include "link/PacketLink.h"
#include "qt/serial/SerialPortBridge.h"

namespace {

using namespace tavero;

constexpr double kBitsPerByte = 10.0;  // start, 8 data, stop

/// Counts the bytes that cross the port in both directions.
class CountingCom final : public link::Com {
public:
    explicit CountingCom(link::Com& port) : port_(port) {}

    std::uint64_t bytes = 0;

    bool Setup(std::int32_t value) override { return port_.Setup(value); }
    bool Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* countRead) override {
        std::uint32_t got = 0;
        const bool ok = port_.Read(buffer, count, &got);
        bytes += got;
        if (countRead != nullptr) {
            *countRead = got;
        }
        return ok;
    }
    bool Write(const std::uint8_t* buffer, std::uint32_t count) override {
        bytes += count;
        return port_.Write(buffer, count);
    }
    bool Close() override { return port_.Close(); }
    bool Flush() override { return port_.Flush(); }
    bool SetTimeout(std::uint32_t timeoutMs) override { return port_.SetTimeout(timeoutMs); }
    bool GetTimeout(std::uint32_t* timeoutMs) override { return port_.GetTimeout(timeoutMs); }
    bool Open(std::string_view name, std::uint32_t baud, std::uint32_t timeoutMs) override {
        return port_.Open(name, baud, timeoutMs);
    }
    bool IsOpen() const override { return port_.IsOpen(); }

private:
    link::Com& port_;
};

class FailOnMessage final : public link::MessageSink {
public:
    void showError(std::string_view text, std::string_view) override {
        std::cerr << "exchange failed: " << text << '\n';
        std::abort();
    }
};

/// The whole PC side connected to a paced simulator.
struct PacedLink {
    PacedLink()
        : simulator({TAVERO_SIM_PATH, "--pace"}),
          bridge(QString::fromStdString(simulator.readLine().value_or(""))),
          port(bridge),
          counting(port),
          link(std::filesystem::temp_directory_path() / "tavero-bench-out.txt", diagnostics),
          commands(counting, link, sink) {
        if (!port.OpenById(kGeneratorVendorId, kGeneratorProductId, link::kGeneratorBaudRate,
                           500)) {
            std::cerr << "cannot open the simulator's terminal\n";
            std::abort();
        }
        link.SetCom(&counting);
    }
    ~PacedLink() {
        port.Close();
        simulator.stop(SIGTERM);
    }

    testing::ChildProcess simulator;
    qt::SerialPortBridge bridge;
    link::ComCP2102 port;
    CountingCom counting;
    std::ostringstream diagnostics;
    link::PacketLink link;
    FailOnMessage sink;
    link::DeviceCommands commands;
};

template <typename Exchange>
void runExchange(benchmark::State& state, Exchange exchange) {
    PacedLink paced;
    const GeneratorSettings settings = GeneratorSettings::emptyProfile();
    std::chrono::duration<double> total{0};
    for (auto _ : state) {
        paced.diagnostics.str("");
        const auto start = std::chrono::steady_clock::now();
        exchange(paced.commands, settings);
        total += std::chrono::steady_clock::now() - start;
    }
    const double iterations = static_cast<double>(state.iterations());
    const double wireSeconds = static_cast<double>(paced.counting.bytes) * kBitsPerByte /
                               link::kGeneratorBaudRate / iterations;
    state.counters["wire_ms"] = wireSeconds * 1e3;
    state.counters["exchange_ms"] = total.count() / iterations * 1e3;
    state.counters["ratio"] = total.count() / iterations / wireSeconds;
    std::filesystem::remove(std::filesystem::temp_directory_path() / "tavero-bench-out.txt");
}

void FrequencyExchange(benchmark::State& state) {
    runExchange(state,
                [](link::DeviceCommands& c, const GeneratorSettings& s) { c.SendFrequency(s); });
}

void ParameterRead(benchmark::State& state) {
    runExchange(state, [](link::DeviceCommands& c, const GeneratorSettings&) {
        GeneratorSettings read;
        std::uint16_t version = 0;
        c.ReadParameters(read, version);
    });
}

BENCHMARK(FrequencyExchange)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(ParameterRead)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
