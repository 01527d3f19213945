// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "measure/Oscilloscope.h"

namespace tavero::scope {

/// The command sets the drivers speak.
enum class Dialect {
    kRigol,           ///< DS1000Z, MSO5000: :MEASure:ITEM? VPP and RPHase
    kRigolDho,        ///< DHO800/900: the same with the phase as RRPHase
    kSiglent,         ///< SDS1000X-E and kin: C1:PAVA? PKPK, C1-C2:MEAD? PHA, C1:WF? DAT2
    kSiglentMeasure,  ///< SDS2000X Plus, the HD series: the newer :MEASure set
    kKeysight,        ///< InfiniiVision: :MEASure:VPP?, :MEASure:PHASe?, :WAVeform
    kGeneric,         ///< any other: :WAVeform capture only
};

/// What a scope's identity says about how to drive it.
struct ScopeModel {
    Dialect dialect = Dialect::kGeneric;
    measure::ScopeLimits limits;
    std::string_view family;  ///< e.g. "Rigol DS1000Z"
};

/// The model an answer to *IDN? names (maker, model, serial number, firmware).
ScopeModel identifyScope(std::string_view identity);

}  // namespace tavero::scope
