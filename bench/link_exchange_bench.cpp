// SPDX-License-Identifier: GPL-3.0-or-later
// One exchange over the whole stack (the generator model, command set, frame codec, port, Qt
// serial bridge) against
// tavero-sim pacing a pseudo-terminal at 76800 baud, and the same exchange by a minimal client
// (one write of the frame, poll and read of the reply) on the same terminal, the two taking
// turns. Ratios: ours to the minimal client, and the minimal client to the wire time of both
// frames.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ReferenceFrame.h"
#include "core/BuildConfig.h"
#include "link/Connection.h"
#include "link/MessageSink.h"
#include "link/TraceFile.h"
#include "model/GeneratorModel.h"
#include "qt/serial/SerialPortBridge.h"

namespace {

using namespace tavero;

constexpr double kBitsPerByte = 10.0;  // start, 8 data, stop

class FailOnMessage final : public link::MessageSink {
public:
    void showError(std::string_view text, std::string_view) override {
        std::cerr << "exchange failed: " << text << '\n';
        std::abort();
    }
};

/// The least a client can do for one exchange: its frame in one write, then poll and read
/// until the reply frame is complete.
class MinimalClient {
public:
    explicit MinimalClient(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        if (fd_ < 0) {
            std::cerr << "cannot open " << path << '\n';
            std::abort();
        }
    }
    ~MinimalClient() { ::close(fd_); }
    MinimalClient(const MinimalClient&) = delete;
    MinimalClient& operator=(const MinimalClient&) = delete;

    /// Bytes written and read, for the wire time of the frames.
    std::uint64_t bytes = 0;

    void exchange(const std::vector<std::uint8_t>& frame) {
        if (::write(fd_, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size())) {
            std::abort();
        }
        bytes += frame.size();
        // Unstuffed bytes after the start byte: address, length (2), payload, CRC (2).
        std::size_t stored = 0;
        std::size_t needed = 3;
        bool started = false;
        bool escape = false;
        while (!started || stored < needed) {
            pollfd ready{fd_, POLLIN, 0};
            std::uint8_t chunk[128];
            const ssize_t got = ::poll(&ready, 1, 500) == 1 ? ::read(fd_, chunk, sizeof chunk) : 0;
            if (got <= 0) {
                std::cerr << "minimal client: no reply\n";
                std::abort();
            }
            bytes += static_cast<std::uint64_t>(got);
            for (ssize_t i = 0; i < got; ++i) {
                const std::uint8_t b = chunk[i];
                if (!started) {
                    started = b == 0x02;
                } else if (!escape && b == 0x10) {
                    escape = true;
                } else {
                    escape = false;
                    lengthBytes_[stored < 3 ? stored : 0] = static_cast<std::uint8_t>(b & 0x7F);
                    if (++stored == 3) {
                        needed = 5 + lengthBytes_[1] + 256U * lengthBytes_[2];
                    }
                }
            }
        }
    }

private:
    int fd_;
    std::uint8_t lengthBytes_[3] = {};
};

/// The generator model connected to a paced simulator, and a minimal client on its terminal.
struct PacedLink {
    PacedLink()
        : simulator({TAVERO_SIM_PATH, "--pace"}),
          path(simulator.readLine().value_or("")),
          bridge(QString::fromStdString(path)),
          trace(std::filesystem::temp_directory_path() / "tavero-bench-out.txt"),
          generator(bridge, trace, diagnostics),
          minimal(path) {
        if (generator.connect(requester()) != link::ConnectResult::kConnected) {
            std::cerr << "cannot open the simulator's terminal\n";
            std::abort();
        }
    }
    ~PacedLink() {
        generator.disconnect(requester());
        simulator.stop(SIGTERM);
    }

    model::Requester requester() { return {{model::FrontEnd::kCommandLine, "bench"}, sink}; }

    testing::ChildProcess simulator;
    std::string path;
    qt::SerialPortBridge bridge;
    std::ostringstream diagnostics;
    link::TraceFile trace;
    FailOnMessage sink;
    model::GeneratorModel generator;
    MinimalClient minimal;
};

template <typename Exchange>
void runExchange(benchmark::State& state, Exchange exchange,
                 const std::vector<std::uint8_t>& payload) {
    PacedLink paced;
    const std::vector<std::uint8_t> frame = link::testing::referenceFrame(payload);
    // Untimed: the simulator notices a newly opened terminal only at its next check, up to
    // 50 ms later, which would weigh on the first exchange alone.
    exchange(paced);
    paced.minimal.exchange(frame);
    paced.minimal.bytes = 0;
    std::chrono::duration<double> ours{0};
    std::chrono::duration<double> minimal{0};
    for (auto _ : state) {
        paced.diagnostics.str("");
        const auto start = std::chrono::steady_clock::now();
        exchange(paced);
        const auto between = std::chrono::steady_clock::now();
        paced.minimal.exchange(frame);
        minimal += std::chrono::steady_clock::now() - between;
        ours += between - start;
    }
    const double iterations = static_cast<double>(state.iterations());
    const double wireSeconds = static_cast<double>(paced.minimal.bytes) * kBitsPerByte /
                               link::kGeneratorBaudRate / iterations;
    state.counters["wire_ms"] = wireSeconds * 1e3;
    state.counters["exchange_ms"] = ours.count() / iterations * 1e3;
    state.counters["minimal_ms"] = minimal.count() / iterations * 1e3;
    state.counters["ratio"] = ours.count() / iterations / wireSeconds;
    state.counters["to_minimal"] = ours.count() / minimal.count();
    state.counters["minimal_to_wire"] = minimal.count() / iterations / wireSeconds;
    std::filesystem::remove(std::filesystem::temp_directory_path() / "tavero-bench-out.txt");
}

void FrequencyExchange(benchmark::State& state) {
    runExchange(state,
                [](PacedLink& paced) {
                    paced.generator.apply(
                        model::Edit::field(settingsFieldIndex("Frequenz"), 100000, "f"),
                        paced.requester());
                },
                {'f', 0x00, 0x01, 0x86, 0xA0});
}

void ParameterRead(benchmark::State& state) {
    runExchange(state, [](PacedLink& paced) { paced.generator.readParameters(paced.requester()); },
                {'P'});
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
