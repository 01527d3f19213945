// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <sstream>
#include <string>

#include "core/BuildConfig.h"
#include "link/ComCP2102.h"
#include "link/Connection.h"
#include "link/DeviceCommands.h"
#include "link/PacketLink.h"
#include "link/TraceFile.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::testing {

/// A simulated generator behind an open port and a link, as the main window holds them after a
/// connect. The trace goes to a file of its own in the temporary folder; the frames received
/// are kept in `diagnostics`.
struct SimulatedConnection {
    SimulatedConnection()
        : trace(
              std::filesystem::temp_directory_path() /
              ("tavero-trace-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".txt")),
          traceFile(trace),
          link(traceFile, diagnostics) {
        port.OpenById(kGeneratorVendorId, kGeneratorProductId, link::kGeneratorBaudRate,
                      link::DeviceCommands::kTimeoutMs);
        link.SetCom(&port);
    }
    ~SimulatedConnection() { std::filesystem::remove(trace); }

    SimulatedConnection(const SimulatedConnection&) = delete;
    SimulatedConnection& operator=(const SimulatedConnection&) = delete;

    sim::SimulatedGenerator generator;
    sim::SimulatedBridge bridge{generator};
    link::ComCP2102 port{bridge};
    std::filesystem::path trace;
    std::ostringstream diagnostics;
    link::TraceFile traceFile;
    link::PacketLink link;
};

}  // namespace tavero::testing
