// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/scope/Circuit.h"
#include "sim/scope/DriveHistory.h"
#include "sim/scope/ScopeCommand.h"
#include "sim/scope/SimulatedScope.h"

namespace tavero::sim {

/// What a simulated scope says to one program message.
struct ScopeAnswer {
    std::string bytes;  ///< with its line end
    /// It reports a measurement or a trace, which takes the scope its measurement time; the
    /// scope drops off after a set number of them when told to.
    bool measured = false;
};

/// The command set of one scope maker over the model.
class ScopeDialect {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~ScopeDialect() = default;

    /// The answer to one message; nothing for a command, or a query it does not know (a real
    /// scope stays silent, and its client times out).
    virtual std::optional<ScopeAnswer> handle(std::string_view message, Clock::time_point now) = 0;
};

/// A dialect as a table: the first rule whose pattern names a message's header answers it.
class RuleDialect : public ScopeDialect {
public:
    std::optional<ScopeAnswer> handle(std::string_view message, Clock::time_point now) override;

protected:
    using Handler = std::function<std::optional<ScopeAnswer>(ScopeCommand&, Clock::time_point)>;
    struct Rule {
        const char* pattern;  ///< as ScopeCommand::is takes it
        Handler handler;
    };

    std::vector<Rule> rules_;
};

enum class ScopeKind {
    kRigol,        ///< a DS1104Z
    kSiglent,      ///< an SDS1202X-E
    kSiglentPlus,  ///< an SDS2104X Plus, with the newer :MEASure set
};

/// Reads "rigol", "siglent" or "siglent-plus".
std::optional<ScopeKind> parseScopeKind(std::string_view name);

/// The model and the dialect of the scope `kind`.
struct ScopeInstrument {
    std::unique_ptr<SimulatedScope> model;
    std::unique_ptr<ScopeDialect> dialect;
};

ScopeInstrument makeScopeInstrument(ScopeKind kind, const DriveHistory& drive,
                                    const Circuit& circuit, double noiseDivisions);

}  // namespace tavero::sim
