// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/scope/ScopeDialect.h"

#include <array>

#include "sim/scope/RigolDialect.h"
#include "sim/scope/SiglentDialect.h"

namespace tavero::sim {

namespace {

struct KindEntry {
    ScopeKind kind;
    std::string_view name;
    ScreenLayout layout;
};

// A DS1104Z shows 12 divisions of 100 points, its bytes 0..255 around 127; an SDS1202X-E 14
// divisions in signed bytes; an SDS2104X Plus 10.
constexpr std::array<KindEntry, 3> kKinds = {{
    {ScopeKind::kRigol, "rigol", {12, 1200, -127, 128}},
    {ScopeKind::kSiglent, "siglent", {14, 1400, -128, 127}},
    {ScopeKind::kSiglentPlus, "siglent-plus", {10, 1000, -128, 127}},
}};

}  // namespace

std::optional<ScopeAnswer> RuleDialect::handle(std::string_view message, Clock::time_point now) {
    ScopeCommand command = readScopeCommand(message);
    for (const Rule& rule : rules_) {
        if (command.is(rule.pattern)) {
            return rule.handler(command, now);
        }
    }
    return std::nullopt;
}

std::optional<ScopeKind> parseScopeKind(std::string_view name) {
    for (const KindEntry& entry : kKinds) {
        if (entry.name == name) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

ScopeInstrument makeScopeInstrument(ScopeKind kind, const DriveHistory& drive,
                                    const Circuit& circuit, double noiseDivisions) {
    const KindEntry& entry = kKinds[static_cast<std::size_t>(kind)];
    ScopeInstrument instrument;
    instrument.model =
        std::make_unique<SimulatedScope>(drive, circuit, noiseDivisions, entry.layout);
    if (kind == ScopeKind::kRigol) {
        instrument.dialect = std::make_unique<RigolDialect>(*instrument.model);
    } else {
        instrument.dialect =
            std::make_unique<SiglentDialect>(*instrument.model, kind == ScopeKind::kSiglentPlus);
    }
    return instrument;
}

}  // namespace tavero::sim
