// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/scope/SiglentDialect.h"

#include <charconv>
#include <cstdio>

namespace tavero::sim {

namespace {

constexpr const char* kIdentity = "Siglent Technologies,SDS1202X-E,SDS1ECDD000001,8.2.6.1.37R9";
constexpr const char* kPlusIdentity = "Siglent Technologies,SDS2104X Plus,SDS2PCDD000001,1.3.9R6";
/// What the firmware writes for a measurement it cannot make.
constexpr const char* kInvalid = "****";
/// Every this many answers one comes after junk bytes.
constexpr int kJunkEvery = 4;

std::optional<ScopeAnswer> answer(std::string text, bool measured = false) {
    return ScopeAnswer{.bytes = std::move(text) + "\n", .measured = measured};
}

std::string fixed2(double value) {
    std::array<char, 32> text{};
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 2)
            .ptr;
    return std::string(text.data(), end);
}

/// "C2": 2; 0 for anything else.
int channelParameter(std::string_view text) {
    ScopeCommand source;
    source.header = text;
    return source.is("C#") ? source.numbers[0] : 0;
}

/// The phase as the firmware gives it, in [-90, 270).
std::optional<double> firmwarePhase(std::optional<double> lag) {
    if (lag && *lag >= 270) {
        *lag -= 360;
    }
    return lag;
}

}  // namespace

SiglentDialect::Rule SiglentDialect::textSetting(const char* pattern, std::string& value,
                                                 bool withHeader) {
    return {pattern,
            [&value, withHeader](ScopeCommand& c, Clock::time_point) -> std::optional<ScopeAnswer> {
                if (c.query) {
                    return answer(withHeader ? c.header + " " + value : value);
                }
                value = c.parameters;
                return std::nullopt;
            }};
}

SiglentDialect::SiglentDialect(SimulatedScope& scope, bool plus) : scope_(scope), plus_(plus) {
    using Answer = std::optional<ScopeAnswer>;
    const auto channelOf = [this](const ScopeCommand& c) { return scope_.channel(c.numbers[0]); };
    rules_ = {
        {"*IDN", [this](ScopeCommand&,
                        Clock::time_point) { return answer(plus_ ? kPlusIdentity : kIdentity); }},
        {"C#:TRA",
         [channelOf](ScopeCommand& c, Clock::time_point) -> Answer {
             SimulatedScope::Channel* channel = channelOf(c);
             if (channel != nullptr && c.query) {
                 return answer(c.header + (channel->on ? " ON" : " OFF"));
             }
             if (channel != nullptr) {
                 channel->on = c.parameterIs("ON");
             }
             return std::nullopt;
         }},
        {"C#:CPL",
         [](ScopeCommand& c, Clock::time_point) {
             return c.query ? answer(c.header + " D1M") : Answer();
         }},
        {"C#:VDIV",
         [channelOf](ScopeCommand& c, Clock::time_point) -> Answer {
             SimulatedScope::Channel* channel = channelOf(c);
             if (channel != nullptr && c.query) {
                 return answer(c.header + " " + scientific2(channel->voltsPerDivision) + "V");
             }
             if (const std::optional<double> volts = c.number(); channel && volts && *volts > 0) {
                 channel->voltsPerDivision = *volts;
             }
             return std::nullopt;
         }},
        {"C#:OFST",
         [channelOf](ScopeCommand& c, Clock::time_point) -> Answer {
             SimulatedScope::Channel* channel = channelOf(c);
             if (channel != nullptr && c.query) {
                 return answer(c.header + " " + scientific2(channel->offsetVolts) + "V");
             }
             if (const std::optional<double> volts = c.number(); channel && volts) {
                 channel->offsetVolts = *volts;
             }
             return std::nullopt;
         }},
        {"TDIV",
         [this](ScopeCommand& c, Clock::time_point) -> Answer {
             if (c.query) {
                 return answer("TDIV " + scientific2(scope_.secondsPerDivision()) + "S");
             }
             if (const std::optional<double> seconds = c.number(); seconds && *seconds > 0) {
                 scope_.setSecondsPerDivision(*seconds);
             }
             return std::nullopt;
         }},
        textSetting("TRDL", triggerDelay_, true),
        textSetting("TRSE", triggerSelect_, true),
        textSetting("C#:TRLV", triggerLevel_, true),
        {"TRMD",
         [this](ScopeCommand& c, Clock::time_point now) -> Answer {
             if (c.query) {
                 return answer("TRMD " + triggerMode_);
             }
             triggerMode_ = c.parameters;
             if (c.parameterIs("SINGLE")) {
                 scope_.arm(now);
             } else if (c.parameterIs("STOP")) {
                 scope_.stop(now);
             } else {
                 scope_.run();
             }
             return std::nullopt;
         }},
        {"ARM",
         [this](ScopeCommand&, Clock::time_point now) {
             scope_.arm(now);
             return Answer();
         }},
        {"STOP",
         [this](ScopeCommand&, Clock::time_point now) {
             scope_.stop(now);
             return Answer();
         }},
        {"SAST",
         [this](ScopeCommand&, Clock::time_point now) {
             return answer(scope_.running()      ? "SAST Trig'd"
                           : scope_.stopped(now) ? "SAST Stop"
                                                 : "SAST Arm");
         }},
        {"SARA",
         [this](ScopeCommand&, Clock::time_point) {
             return answer("SARA " + scientific2(1 / scope_.sampleIntervalSeconds()) + "Sa");
         }},
        {"WFSU",
         [](ScopeCommand& c, Clock::time_point) {
             return c.query ? answer("WFSU SP,1,NP,0,FP,0") : Answer();
         }},
        {"C#:PAVA",
         [this, channelOf](ScopeCommand& c, Clock::time_point now) -> Answer {
             if (channelOf(c) == nullptr || !c.query || !c.parameterIs("PKPK")) {
                 return std::nullopt;
             }
             const std::optional<double> volts = scope_.peakToPeak(c.numbers[0], now);
             return answer(c.header + " PKPK," + (volts ? scientific2(*volts) + "V" : kInvalid),
                           true);
         }},
        {"C#-C#:MEAD",
         [this](ScopeCommand& c, Clock::time_point now) -> Answer {
             if (!c.query || !c.parameterIs("PHA") || !scope_.channel(c.numbers[0]) ||
                 !scope_.channel(c.numbers[1])) {
                 return std::nullopt;
             }
             const std::optional<double> phase =
                 firmwarePhase(scope_.phaseLag(c.numbers[0], c.numbers[1], now));
             return answer(c.header + " PHA," + (phase ? fixed2(*phase) + "degree" : kInvalid),
                           true);
         }},
        {"C#:WF",
         [this](ScopeCommand& c, Clock::time_point now) -> Answer {
             return c.query && c.parameterIs("DAT2") && scope_.channel(c.numbers[0])
                        ? trace(c.numbers[0], now)
                        : std::nullopt;
         }},
    };
    if (!plus_) {
        return;
    }
    const auto slotOf = [this](const ScopeCommand& c) -> Slot* {
        const int number = c.numbers[0];
        return number >= 1 && number <= static_cast<int>(slots_.size())
                   ? &slots_[static_cast<std::size_t>(number - 1)]
                   : nullptr;
    };
    // The newer set answers without headers.
    rules_.push_back(textSetting(":MEASure", measure_, false));
    rules_.push_back(textSetting(":MEASure:MODE", measureMode_, false));
    rules_.push_back({":MEASure:ADVanced:P#", [slotOf](ScopeCommand& c, Clock::time_point) {
                          if (Slot* slot = slotOf(c); slot != nullptr && !c.query) {
                              slot->on = c.parameterIs("ON");
                          }
                          return Answer();
                      }});
    rules_.push_back({":MEASure:ADVanced:P#:TYPE", [slotOf](ScopeCommand& c, Clock::time_point) {
                          if (Slot* slot = slotOf(c); slot != nullptr && !c.query) {
                              slot->type = c.parameters;
                          }
                          return Answer();
                      }});
    for (const bool first : {true, false}) {
        rules_.push_back({first ? ":MEASure:ADVanced:P#:SOURce1" : ":MEASure:ADVanced:P#:SOURce2",
                          [slotOf, first](ScopeCommand& c, Clock::time_point) {
                              if (Slot* slot = slotOf(c); slot != nullptr && !c.query) {
                                  (first ? slot->source1 : slot->source2) =
                                      channelParameter(c.parameters);
                              }
                              return Answer();
                          }});
    }
    rules_.push_back({":MEASure:ADVanced:P#:VALue",
                      [this, slotOf](ScopeCommand& c, Clock::time_point now) -> Answer {
                          Slot* slot = slotOf(c);
                          if (slot == nullptr || !c.query) {
                              return std::nullopt;
                          }
                          const std::optional<double> value = slotValue(*slot, now);
                          return answer(value ? scientific2(*value) : kInvalid, true);
                      }});
}

std::optional<double> SiglentDialect::slotValue(const Slot& slot, Clock::time_point now) {
    const bool measuring = measure_ == "ON" && slot.on && scope_.channel(slot.source1) != nullptr;
    if (!measuring) {
        return std::nullopt;
    }
    if (slot.type == "PKPK") {
        return scope_.peakToPeak(slot.source1, now);
    }
    if (slot.type == "PHA" && scope_.channel(slot.source2) != nullptr) {
        return firmwarePhase(scope_.phaseLag(slot.source1, slot.source2, now));
    }
    return std::nullopt;
}

std::optional<ScopeAnswer> SiglentDialect::trace(int channel, Clock::time_point now) {
    const std::vector<int>& codes = scope_.trace(channel, now);
    std::array<char, 16> count{};
    std::snprintf(count.data(), count.size(), "#9%09zu", codes.size());
    std::string bytes = "C" + std::to_string(channel) + ":WF DAT2," + count.data();
    for (const int code : codes) {
        bytes += static_cast<char>(static_cast<signed char>(code));
    }
    bytes += "\n\n";
    return ScopeAnswer{.bytes = std::move(bytes), .measured = true};
}

std::optional<ScopeAnswer> SiglentDialect::handle(std::string_view message, Clock::time_point now) {
    std::optional<ScopeAnswer> reply = RuleDialect::handle(message, now);
    if (reply && ++answers_ % kJunkEvery == 0) {
        reply->bytes.insert(0, std::string("\0\n", 2));
    }
    return reply;
}

}  // namespace tavero::sim
