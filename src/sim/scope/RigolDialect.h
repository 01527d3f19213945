// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "sim/scope/ScopeCommand.h"
#include "sim/scope/ScopeDialect.h"

namespace tavero::sim {

/// A Rigol DS1104Z's commands: channels, timebase, edge trigger, :SINGle with
/// :TRIGger:STATus?, :MEASure:ITEM? VPP and RPHase (9.9E37 when it has nothing to measure, the
/// phase in (-180, 180]) and the screen's trace as bytes around code 127.
class RigolDialect final : public RuleDialect {
public:
    explicit RigolDialect(SimulatedScope& scope);

private:
    /// A setting kept as its text, for the commands the model does not act on.
    Rule textSetting(const char* pattern, std::string& value);
    /// A channel's number setting, read and written through `field`.
    Rule channelNumber(const char* pattern, double SimulatedScope::Channel::*field);
    std::optional<ScopeAnswer> measureItem(const ScopeCommand& command, Clock::time_point now);
    std::optional<ScopeAnswer> waveformData(Clock::time_point now);

    SimulatedScope& scope_;
    std::string sweep_ = "AUTO";
    std::string triggerSource_ = "CHAN1";
    std::string triggerLevel_ = "0.000000e+00";
    std::string timebaseOffset_ = "0.000000e+00";
    std::string waveformMode_ = "NORM";
    std::string waveformFormat_ = "BYTE";
    std::string coupling_ = "DC";
    int waveformSource_ = 1;
};

}  // namespace tavero::sim
