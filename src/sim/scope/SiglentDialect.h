// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "sim/scope/ScopeCommand.h"
#include "sim/scope/ScopeDialect.h"

namespace tavero::sim {

/// A Siglent SDS scope's commands: the SDS1000X-E set (C1:VDIV, TDIV, TRMD SINGLE with SAST?,
/// C1:PAVA? PKPK, C1-C2:MEAD? PHA, C1:WF? DAT2 in signed bytes), answered with their headers,
/// "****" for a measurement it cannot make and the phase in [-90, 270), as that firmware does.
/// Every fourth answer comes after a stray NUL and line end. The SDS2104X Plus also takes the
/// :MEASure:ADVanced slots.
class SiglentDialect final : public RuleDialect {
public:
    SiglentDialect(SimulatedScope& scope, bool plus);

    std::optional<ScopeAnswer> handle(std::string_view message, Clock::time_point now) override;

private:
    struct Slot {
        bool on = false;
        std::string type = "PKPK";
        int source1 = 1;
        int source2 = 2;
    };

    /// A setting the model does not act on, answered as "HEADER value" or as its value alone.
    Rule textSetting(const char* pattern, std::string& value, bool withHeader);
    std::optional<double> slotValue(const Slot& slot, Clock::time_point now);
    std::optional<ScopeAnswer> trace(int channel, Clock::time_point now);

    SimulatedScope& scope_;
    bool plus_;
    std::string triggerDelay_ = "0.00E+00S";
    std::string triggerSelect_ = "EDGE,SR,C1,HT,OFF";
    std::string triggerLevel_ = "0.00E+00V";
    std::string triggerMode_ = "AUTO";
    std::string measure_ = "OFF";
    std::string measureMode_ = "SIMPle";
    std::array<Slot, 5> slots_;
    int answers_ = 0;
};

}  // namespace tavero::sim
