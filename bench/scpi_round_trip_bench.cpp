// SPDX-License-Identifier: GPL-3.0-or-later
// What the network instrument adds to an exchange: `FREQ 1000;*OPC?` from a TCP client through
// tavero-ctl serve, against the same `f` exchange sent straight over the link, as tavero-ctl
// set sends it, both against tavero-sim pacing a pseudo-terminal at 76800 baud.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
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

[[noreturn]] void fail(const std::string& what) {
    std::cerr << what << '\n';
    std::abort();
}

/// A TCP client of tavero-ctl serve on loopback.
class Client {
public:
    explicit Client(int port) : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int on = 1;
        setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            fail("cannot connect to tavero-ctl serve");
        }
    }
    ~Client() { close(socket_); }

    std::string query(std::string_view line) {
        if (write(socket_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
            fail("cannot send to tavero-ctl serve");
        }
        std::string answer;
        char c = 0;
        while (read(socket_, &c, 1) == 1 && c != '\n') {
            answer += c;
        }
        return answer;
    }

private:
    int socket_;
};

class FailOnMessage final : public link::MessageSink {
public:
    void showError(std::string_view text, std::string_view) override {
        fail("exchange failed: " + std::string(text));
    }
};

/// The f exchange as tavero-ctl set sends it: the link stack on a paced simulator.
struct DirectLink {
    DirectLink()
        : simulator({TAVERO_SIM_PATH, "--pace"}),
          bridge(QString::fromStdString(simulator.readLine().value_or(""))),
          port(bridge),
          traceFile(trace),
          packetLink(traceFile, diagnostics),
          commands(port, packetLink, sink) {
        if (link::connectGenerator(port, packetLink, commands) != link::ConnectResult::kConnected) {
            fail("cannot open the simulator's terminal");
        }
    }
    ~DirectLink() {
        link::disconnectGenerator(port, commands);
        simulator.stop(SIGTERM);
        std::filesystem::remove(trace);
    }

    testing::ChildProcess simulator;
    qt::SerialPortBridge bridge;
    link::ComCP2102 port;
    std::ostringstream diagnostics;
    std::filesystem::path trace = std::filesystem::temp_directory_path() / "tavero-bench-out.txt";
    link::TraceFile traceFile;
    link::PacketLink packetLink;
    FailOnMessage sink;
    link::DeviceCommands commands;
};

/// tavero-ctl serve on its own paced simulator, and a client of it.
struct ServedLink {
    ServedLink()
        : simulator({TAVERO_SIM_PATH, "--pace"}),
          server({TAVERO_CTL_PATH, "--port", simulator.readLine().value_or(""), "serve", "--listen",
                  "127.0.0.1:0"},
                 std::filesystem::temp_directory_path()),
          client(portOf(server.readLine().value_or(""))) {}
    ~ServedLink() {
        server.stop(SIGTERM);
        simulator.stop(SIGTERM);
    }

    static int portOf(const std::string& listening) {
        return std::atoi(listening.substr(listening.rfind(':') + 1).c_str());
    }

    testing::ChildProcess simulator;
    testing::ChildProcess server;
    Client client;
};

// The two alternate within each iteration, so that a busy machine slows both alike.
void FrequencyRoundTrip(benchmark::State& state) {
    DirectLink direct;
    ServedLink served;
    const GeneratorSettings settings = GeneratorSettings::emptyProfile();
    std::chrono::duration<double> directTotal{0};
    std::chrono::duration<double> servedTotal{0};
    for (auto _ : state) {
        direct.diagnostics.str("");
        const auto start = std::chrono::steady_clock::now();
        direct.commands.SendFrequency(settings);
        const auto between = std::chrono::steady_clock::now();
        if (served.client.query("FREQ 1000;*OPC?\n") != "1") {
            fail("FREQ 1000;*OPC? was not answered with 1");
        }
        directTotal += between - start;
        servedTotal += std::chrono::steady_clock::now() - between;
    }
    const double iterations = static_cast<double>(state.iterations());
    const double directMs = directTotal.count() / iterations * 1e3;
    const double servedMs = servedTotal.count() / iterations * 1e3;
    state.counters["f_exchange_ms"] = directMs;
    state.counters["scpi_round_trip_ms"] = servedMs;
    state.counters["network_adds_ms"] = servedMs - directMs;
    state.counters["ratio"] = servedMs / directMs;
}

BENCHMARK(FrequencyRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(500);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
