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

double directMs = 0.0;
double networkMs = 0.0;

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

void ScpiFrequencyRoundTrip(benchmark::State& state) {
    testing::ChildProcess simulator({TAVERO_SIM_PATH, "--pace"});
    const std::string terminal = simulator.readLine().value_or("");
    testing::ChildProcess server(
        {TAVERO_CTL_PATH, "--port", terminal, "serve", "--listen", "127.0.0.1:0"},
        std::filesystem::temp_directory_path());
    const std::string listening = server.readLine().value_or("");
    Client client(std::atoi(listening.substr(listening.rfind(':') + 1).c_str()));
    std::chrono::duration<double> total{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (client.query("FREQ 1000;*OPC?\n") != "1") {
            fail("FREQ 1000;*OPC? was not answered with 1");
        }
        total += std::chrono::steady_clock::now() - start;
    }
    networkMs = total.count() / static_cast<double>(state.iterations()) * 1e3;
    state.counters["round_trip_ms"] = networkMs;
    server.stop(SIGTERM);
    simulator.stop(SIGTERM);
}

class FailOnMessage final : public link::MessageSink {
public:
    void showError(std::string_view text, std::string_view) override {
        fail("exchange failed: " + std::string(text));
    }
};

void DirectFrequencyExchange(benchmark::State& state) {
    testing::ChildProcess simulator({TAVERO_SIM_PATH, "--pace"});
    qt::SerialPortBridge bridge(QString::fromStdString(simulator.readLine().value_or("")));
    link::ComCP2102 port(bridge);
    std::ostringstream diagnostics;
    const auto trace = std::filesystem::temp_directory_path() / "tavero-bench-out.txt";
    link::PacketLink packetLink(trace, diagnostics);
    FailOnMessage sink;
    link::DeviceCommands commands(port, packetLink, sink);
    if (link::connectGenerator(port, packetLink, commands) != link::ConnectResult::kConnected) {
        fail("cannot open the simulator's terminal");
    }
    GeneratorSettings settings = GeneratorSettings::emptyProfile();
    std::chrono::duration<double> total{0};
    for (auto _ : state) {
        diagnostics.str("");
        const auto start = std::chrono::steady_clock::now();
        commands.SendFrequency(settings);
        total += std::chrono::steady_clock::now() - start;
    }
    directMs = total.count() / static_cast<double>(state.iterations()) * 1e3;
    state.counters["exchange_ms"] = directMs;
    link::disconnectGenerator(port, commands);
    simulator.stop(SIGTERM);
    std::filesystem::remove(trace);
}

BENCHMARK(DirectFrequencyExchange)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(ScpiFrequencyRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::cout << "network adds " << networkMs - directMs << " ms per FREQ 1000;*OPC? (ratio "
              << networkMs / directMs << " to the f exchange alone)\n";
    return 0;
}
