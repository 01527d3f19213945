// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <ostream>

#include "link/TraceFile.h"
#include "model/GeneratorModel.h"

namespace tavero::testing {

/// A generator model on `bridge` as the program sets one up for its window, tracing to
/// `tracePath` and printing what it receives to `diagnostics`.
struct ModelOnBridge {
    ModelOnBridge(link::UsbBridge& bridge, const std::filesystem::path& tracePath,
                  std::ostream& diagnostics)
        : trace(tracePath), model(bridge, trace, diagnostics) {}

    link::TraceFile trace;
    model::GeneratorModel model;
};

}  // namespace tavero::testing
