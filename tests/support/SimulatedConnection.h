// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <sstream>
#include <string>

#include "core/GeneratorSettings.h"
#include "link/MessageSink.h"
#include "link/TraceFile.h"
#include "model/GeneratorModel.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::testing {

/// A simulated generator behind a connected model, as the main window holds it after a connect;
/// the generator has received nothing yet. The trace goes to a file of its own in the temporary
/// folder; the frames received are kept in `diagnostics`.
struct SimulatedConnection {
    SimulatedConnection()
        : trace(
              std::filesystem::temp_directory_path() /
              ("tavero-trace-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".txt")),
          traceFile(trace),
          model(bridge, traceFile, diagnostics) {
        model.connect(requester());
        generator.clearReceived();
    }
    ~SimulatedConnection() { std::filesystem::remove(trace); }

    SimulatedConnection(const SimulatedConnection&) = delete;
    SimulatedConnection& operator=(const SimulatedConnection&) = delete;

    /// The model's record, made `settings` as a read from the generator would; nothing is sent.
    const GeneratorSettings& hold(const GeneratorSettings& settings) {
        model.apply({settings, model::FieldSet().set(), {}}, requester());
        return model.settings();
    }
    /// Another front end's request: a script on the SCPI socket, its failures dropped.
    model::Requester script() { return {{model::FrontEnd::kScpi, "127.0.0.1"}, dropped}; }

    struct DroppedMessages final : link::MessageSink {
        void showError(std::string_view /*text*/, std::string_view /*caption*/) override {}
    };

    sim::SimulatedGenerator generator;
    sim::SimulatedBridge bridge{generator};
    std::filesystem::path trace;
    std::ostringstream diagnostics;
    link::TraceFile traceFile;
    DroppedMessages dropped;
    model::GeneratorModel model;

private:
    model::Requester requester() { return {{model::FrontEnd::kWindow, {}}, dropped}; }
};

}  // namespace tavero::testing
