// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument on the in-process simulated generator, shared by the fuzz targets that carry
// out what a network client sends.
#pragma once

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string_view>
#include <system_error>

#include "ctl/RunClock.h"
#include "scpi/Instrument.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/FileWriter.h"

namespace tavero::fuzz {

class NullStream : public std::ostream {
public:
    NullStream() : std::ostream(nullptr) {}
};

class RefusingWriter final : public store::FileWriter {
public:
    store::SaveResult replaceFile(const std::filesystem::path& path, std::string_view) override {
        return {path, std::make_error_code(std::errc::permission_denied)};
    }
};

/// Time stands still, so task lists only ever send their first entry.
class StillClock final : public ctl::RunClock {
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
    sim::SimulatedGenerator generator;
    sim::SimulatedBridge bridge{generator};
    NullStream quiet;
    RefusingWriter writer;
    StillClock clock;
    link::TraceFile noTrace{{}};
    model::GeneratorModel model{bridge, noTrace, quiet, model::ConnectPolicy::kOnDemand};
    scpi::Instrument instrument{{.generator = model,
                                 .profileFile = {},
                                 .fileWriter = writer,
                                 .clock = clock,
                                 .log = quiet}};
};

}  // namespace tavero::fuzz
