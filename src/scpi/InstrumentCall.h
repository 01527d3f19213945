// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scpi/HeaderPattern.h"
#include "scpi/Instrument.h"
#include "scpi/Parameters.h"

namespace tavero::scpi {

/// A numeric setting of the record that a command sets and queries as it is, apart from its
/// unit.
struct FieldCommand {
    std::string_view key;  ///< the field's key in settingsFields()
    Unit unit;
    double scale;    ///< the field's units per base unit: 100 for 0.01 Hz given in Hz
    int decimals;    ///< digits after the point of the query's answer
    long long grid;  ///< values are rounded to multiples of it, in the field's units
};

struct Instrument::Command {
    HeaderPattern pattern;
    bool common;
    Handler set;    ///< null for a query only
    Handler query;  ///< null for a command without query
    const FieldCommand* field = nullptr;
};

/// One command or query being carried out.
struct Instrument::Call {
    const ProgramUnit& unit;
    const std::vector<std::string>& path;  ///< the header nodes, with those it continues
    ErrorQueue& client;
    const Command& command;
    std::string response;

    /// The one parameter the command takes; throws ScpiError for none or more.
    std::string_view parameter() const;
    /// Throws ScpiError when parameters were given.
    void noParameters() const;
};

}  // namespace tavero::scpi
