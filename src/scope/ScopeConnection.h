// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "measure/Oscilloscope.h"
#include "scope/ScopeModel.h"

namespace tavero::scope {

/// A scope reached and identified, with the driver its identity chose.
struct ScopeConnection {
    std::unique_ptr<measure::Oscilloscope> scope;
    std::string identity;  ///< its answer to *IDN?
    ScopeModel model;
};

/// Connects to the scope at a VISA resource name (TCPIP::HOST::INSTR,
/// TCPIP::HOST::PORT::SOCKET, /dev/usbtmcN), asks *IDN? and picks its driver. Throws
/// std::invalid_argument for a name of no known form, measure::ScopeError when the scope cannot
/// be reached or does not answer.
ScopeConnection connectScope(std::string_view resourceName);

}  // namespace tavero::scope
