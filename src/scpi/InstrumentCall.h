// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scpi/HeaderPattern.h"
#include "scpi/Instrument.h"
#include "scpi/Parameters.h"
#include "scpi/ScpiError.h"

namespace tavero::scpi {

/// A numeric setting of the record that a command sets and queries as it is, apart from its
/// unit.
struct FieldCommand {
    std::string_view key;  ///< the field's key in settingsFields()
    Unit unit;
    double scale;  ///< the field's units per base unit: 100 for 0.01 Hz given in Hz
    int decimals;  ///< digits after the point of the query's answer
};

struct Instrument::Command {
    HeaderPattern pattern;
    bool common;
    Handler set;    ///< null for a query only
    Handler query;  ///< null for a command without query
    const FieldCommand* field = nullptr;
    /// Its query takes MIN, MAX or DEF, as a numeric setting's does.
    bool limitsQuery = false;

    bool answersLimits() const { return field != nullptr || limitsQuery; }
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
    /// The MIN, MAX or DEF a numeric setting's query asks for, or nothing for its value; throws
    /// ScpiError for any other parameter.
    std::optional<Numeric::Kind> limit() const;
    /// The header as the client wrote it, with the nodes it continues: "AM:INT:FREQ", "*SAV".
    std::string header() const;
    /// The error for a value outside `from` to `to`, given in the command's `unit`.
    ScpiError outOfRange(std::string_view from, std::string_view to, Unit unit) const;
};

}  // namespace tavero::scpi
