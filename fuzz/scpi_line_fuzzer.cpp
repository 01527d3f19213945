// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary network lines to the SCPI parser and command tree, which carry them out on the
// in-process simulated generator. Every line of the input is one line of a client.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>
#include <system_error>

#include "ctl/RunClock.h"
#include "scpi/Instrument.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/FileWriter.h"

namespace {

class NullStream : public std::ostream {
public:
    NullStream() : std::ostream(nullptr) {}
};

class RefusingWriter final : public tavero::store::FileWriter {
public:
    tavero::store::SaveResult replaceFile(const std::filesystem::path& path,
                                          std::string_view) override {
        return {path, std::make_error_code(std::errc::permission_denied)};
    }
};

/// Time stands still, so task lists only ever send their first entry.
class StillClock final : public tavero::ctl::RunClock {
public:
    std::chrono::milliseconds now() const override { return {}; }
    bool waitUntil(std::chrono::milliseconds) override { return true; }
    bool waitForOutput() override { return true; }
    void catchInterrupts() override {}
    int interruption() const override { return 0; }
};

/// One instrument for the whole run, as one server serves many lines: connecting anew for
/// every input would spend the run on the connection's exchanges.
struct Server {
    tavero::sim::SimulatedGenerator generator;
    tavero::sim::SimulatedBridge bridge{generator};
    NullStream quiet;
    RefusingWriter writer;
    StillClock clock;
    tavero::link::TraceFile noTrace{{}};
    tavero::scpi::Instrument instrument{{.bridge = bridge,
                                         .diagnostics = quiet,
                                         .trace = noTrace,
                                         .profileFile = {},
                                         .fileWriter = writer,
                                         .clock = clock}};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Never destroyed: the simulator's own tables may be gone before a static would be.
    static Server& server = *new Server;
    server.generator.clearReceived();
    tavero::scpi::ErrorQueue client;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        server.instrument.execute(client, input.substr(0, end));
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
        server.instrument.advanceTaskList();
    }
    return 0;
}
