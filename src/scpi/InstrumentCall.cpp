// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/InstrumentCall.h"

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

}  // namespace tavero::scpi
