// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/ScopeModel.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace tavero::scope {

namespace {

struct Family {
    std::string_view maker;      ///< the start of the identity's first field, upper case
    std::string_view model;      ///< the start of its second field, upper case
    std::string_view alsoHolds;  ///< a text its model must also hold, upper case; empty for any
    ScopeModel scope;
};

constexpr measure::ScopeLimits limits(double finestVolts, double coarsestVolts,
                                      double fastestSeconds, double slowestSeconds,
                                      double horizontalDivisions, bool measures) {
    return {.vertical = {.minVoltsPerDivision = finestVolts,
                         .maxVoltsPerDivision = coarsestVolts,
                         .divisions = 8},
            .minSecondsPerDivision = fastestSeconds,
            .maxSecondsPerDivision = slowestSeconds,
            .horizontalDivisions = horizontalDivisions,
            .measures = measures};
}

// The first family that matches counts: the newer Siglent series before the older.
constexpr std::array<Family, 11> kFamilies = {{
    {"RIGOL", "DS1", "", {Dialect::kRigol, limits(1e-3, 10, 5e-9, 50, 12, true), "Rigol DS1000Z"}},
    {"RIGOL",
     "MSO1",
     "",
     {Dialect::kRigol, limits(1e-3, 10, 5e-9, 50, 12, true), "Rigol MSO1000Z"}},
    {"RIGOL",
     "MSO5",
     "",
     {Dialect::kRigol, limits(5e-4, 10, 1e-9, 1000, 10, true), "Rigol MSO5000"}},
    {"RIGOL", "DHO", "", {Dialect::kRigolDho, limits(5e-4, 10, 5e-9, 1000, 10, true), "Rigol DHO"}},
    {"SIGLENT",
     "SDS",
     "PLUS",
     {Dialect::kSiglentMeasure, limits(5e-4, 10, 1e-9, 100, 10, true), "Siglent SDS X Plus"}},
    {"SIGLENT",
     "SDS",
     "HD",
     {Dialect::kSiglentMeasure, limits(5e-4, 10, 1e-9, 100, 10, true), "Siglent SDS HD"}},
    {"SIGLENT",
     "SDS",
     "",
     {Dialect::kSiglent, limits(5e-4, 10, 1e-9, 100, 14, true), "Siglent SDS"}},
    {"KEYSIGHT",
     "DSO",
     "",
     {Dialect::kKeysight, limits(1e-3, 5, 2e-9, 50, 10, true), "Keysight InfiniiVision"}},
    {"KEYSIGHT",
     "MSO",
     "",
     {Dialect::kKeysight, limits(1e-3, 5, 2e-9, 50, 10, true), "Keysight InfiniiVision"}},
    {"KEYSIGHT",
     "EDU",
     "",
     {Dialect::kKeysight, limits(1e-3, 5, 2e-9, 50, 10, true), "Keysight InfiniiVision"}},
    {"AGILENT",
     "DSO",
     "",
     {Dialect::kKeysight, limits(1e-3, 5, 2e-9, 50, 10, true), "Agilent InfiniiVision"}},
}};

constexpr ScopeModel kGeneric = {Dialect::kGeneric, limits(1e-3, 10, 1e-9, 50, 10, false),
                                 "SCPI scope"};

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

}  // namespace

ScopeModel identifyScope(std::string_view identity) {
    const std::size_t comma = identity.find(',');
    const std::string maker = upper(identity.substr(0, comma));
    const std::string rest =
        comma == std::string_view::npos ? "" : upper(identity.substr(comma + 1));
    const std::string model = rest.substr(0, rest.find(','));
    const auto family = std::find_if(kFamilies.begin(), kFamilies.end(), [&](const Family& f) {
        return maker.starts_with(f.maker) && model.starts_with(f.model) &&
               model.find(f.alsoHolds) != std::string::npos;
    });
    return family == kFamilies.end() ? kGeneric : family->scope;
}

}  // namespace tavero::scope
