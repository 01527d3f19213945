// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/InstrumentCall.h"

#include "scpi/HeaderPattern.h"
#include "scpi/ScpiError.h"

namespace tavero::scpi {

std::string_view Instrument::Call::parameter() const {
    if (unit.parameters.empty()) {
        throw ScpiError(kMissingParameter);
    }
    if (unit.parameters.size() > 1) {
        throw ScpiError(kParameterNotAllowed);
    }
    return unit.parameters.front();
}

void Instrument::Call::noParameters() const {
    if (!unit.parameters.empty()) {
        throw ScpiError(kParameterNotAllowed);
    }
}

std::optional<Numeric::Kind> Instrument::Call::limit() const {
    if (unit.parameters.empty()) {
        return std::nullopt;
    }
    const Numeric named = readNumeric(parameter(), Unit::kNone);
    if (named.kind == Numeric::Kind::kValue) {
        throw ScpiError(kParameterNotAllowed, "only MIN, MAX or DEF");
    }
    return named.kind;
}

std::string Instrument::Call::header() const {
    std::string text = unit.common ? "*" : "";
    for (const std::string& node : path) {
        text += (text.empty() || text == "*" ? "" : ":") + node;
    }
    return text;
}

ScpiError Instrument::Call::outOfRange(std::string_view from, std::string_view to,
                                       Unit valueUnit) const {
    return ScpiError(kDataOutOfRange, header() + ": allowed is " + std::string(from) + " to " +
                                          std::string(to) + std::string(unitSymbol(valueUnit)));
}

}  // namespace tavero::scpi
