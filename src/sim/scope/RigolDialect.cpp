// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/scope/RigolDialect.h"

#include <array>
#include <cstdio>

namespace tavero::sim {

namespace {

constexpr const char* kIdentity = "RIGOL TECHNOLOGIES,DS1104Z,DS1ZA000000001,00.04.05.SP2\n";
constexpr const char* kInvalid = "9.9E37\n";
/// Code 127 of a byte is the screen's middle.
constexpr int kMiddleByte = 127;

std::optional<ScopeAnswer> answer(std::string text) {
    return ScopeAnswer{.bytes = std::move(text) + "\n", .measured = false};
}

std::optional<ScopeAnswer> measured(const std::optional<double>& value) {
    return ScopeAnswer{.bytes = value ? scientific6(*value) + "\n" : kInvalid, .measured = true};
}

/// "CHANnel2" or "CHAN2": 2; 0 for anything else.
int channelParameter(std::string_view text) {
    ScopeCommand source;
    source.header = text;
    return source.is("CHANnel#") ? source.numbers[0] : 0;
}

}  // namespace

RigolDialect::Rule RigolDialect::textSetting(const char* pattern, std::string& value) {
    return {pattern, [&value](ScopeCommand& c, Clock::time_point) -> std::optional<ScopeAnswer> {
                if (c.query) {
                    return answer(value);
                }
                value = c.parameters;
                return std::nullopt;
            }};
}

RigolDialect::Rule RigolDialect::channelNumber(const char* pattern,
                                               double SimulatedScope::Channel::*field) {
    return {pattern,
            [this, field](ScopeCommand& c, Clock::time_point) -> std::optional<ScopeAnswer> {
                SimulatedScope::Channel* channel = scope_.channel(c.numbers[0]);
                if (channel == nullptr) {
                    return std::nullopt;
                }
                if (c.query) {
                    return answer(scientific6(channel->*field));
                }
                // A scale must be above 0; an offset may be anything.
                const std::optional<double> value = c.number();
                if (value && (field != &SimulatedScope::Channel::voltsPerDivision || *value > 0)) {
                    channel->*field = *value;
                }
                return std::nullopt;
            }};
}

RigolDialect::RigolDialect(SimulatedScope& scope) : scope_(scope) {
    using Answer = std::optional<ScopeAnswer>;
    rules_ = {
        {"*IDN",
         [](ScopeCommand&, Clock::time_point) {
             return Answer(ScopeAnswer{kIdentity, false});
         }},
        {"*OPC",
         [](ScopeCommand& c, Clock::time_point) { return c.query ? answer("1") : Answer(); }},
        channelNumber("CHANnel#:SCALe", &SimulatedScope::Channel::voltsPerDivision),
        channelNumber("CHANnel#:OFFSet", &SimulatedScope::Channel::offsetVolts),
        {"CHANnel#:DISPlay",
         [this](ScopeCommand& c, Clock::time_point) -> Answer {
             SimulatedScope::Channel* channel = scope_.channel(c.numbers[0]);
             if (channel == nullptr) {
                 return std::nullopt;
             }
             if (c.query) {
                 return answer(channel->on ? "1" : "0");
             }
             channel->on = c.parameterIs("ON") || c.parameterIs("1");
             return std::nullopt;
         }},
        {"CHANnel#:COUPling",
         [this](ScopeCommand& c, Clock::time_point) -> Answer {
             if (c.query) {
                 return answer(coupling_);
             }
             coupling_ = c.parameters;
             return std::nullopt;
         }},
        {"TIMebase:MAIN:SCALe",
         [this](ScopeCommand& c, Clock::time_point) -> Answer {
             if (c.query) {
                 return answer(scientific6(scope_.secondsPerDivision()));
             }
             if (const std::optional<double> seconds = c.number(); seconds && *seconds > 0) {
                 scope_.setSecondsPerDivision(*seconds);
             }
             return std::nullopt;
         }},
        textSetting("TIMebase:MAIN:OFFSet", timebaseOffset_),
        textSetting("TRIGger:SWEep", sweep_),
        textSetting("TRIGger:EDGE:SOURce", triggerSource_),
        textSetting("TRIGger:EDGE:LEVel", triggerLevel_),
        textSetting("WAVeform:MODE", waveformMode_),
        textSetting("WAVeform:FORMat", waveformFormat_),
        {"TRIGger:STATus",
         [this](ScopeCommand&, Clock::time_point now) {
             return answer(scope_.running() ? "AUTO" : scope_.stopped(now) ? "STOP" : "WAIT");
         }},
        {"SINGle",
         [this](ScopeCommand&, Clock::time_point now) {
             scope_.arm(now);
             return Answer();
         }},
        {"RUN",
         [this](ScopeCommand&, Clock::time_point) {
             scope_.run();
             return Answer();
         }},
        {"STOP",
         [this](ScopeCommand&, Clock::time_point now) {
             scope_.stop(now);
             return Answer();
         }},
        {"MEASure:ITEM",
         [this](ScopeCommand& c, Clock::time_point now) { return measureItem(c, now); }},
        {"WAVeform:SOURce",
         [this](ScopeCommand& c, Clock::time_point) -> Answer {
             if (c.query) {
                 return answer("CHAN" + std::to_string(waveformSource_));
             }
             if (const int channel = channelParameter(c.parameters); scope_.channel(channel)) {
                 waveformSource_ = channel;
             }
             return std::nullopt;
         }},
        {"WAVeform:PREamble",
         [this](ScopeCommand&, Clock::time_point) {
             const double voltsPerCode = scope_.channel(waveformSource_)->voltsPerDivision /
                                         SimulatedScope::kCodesPerDivision;
             return answer("0,0," + std::to_string(scope_.layout().points) + ",1," +
                           scientific6(scope_.sampleIntervalSeconds()) + "," +
                           scientific6(scope_.startSeconds()) + ",0," + scientific6(voltsPerCode) +
                           ",0," + std::to_string(kMiddleByte));
         }},
        {"WAVeform:DATA",
         [this](ScopeCommand&, Clock::time_point now) { return waveformData(now); }},
    };
}

std::optional<ScopeAnswer> RigolDialect::measureItem(const ScopeCommand& command,
                                                     Clock::time_point now) {
    if (!command.query) {
        return std::nullopt;
    }
    const std::string& p = command.parameters;
    const std::size_t comma = p.find(',');
    ScopeCommand item;
    item.header = p.substr(0, comma);
    const std::string sources = comma == std::string::npos ? "" : p.substr(comma + 1);
    const std::size_t second = sources.find(',');
    const int a = channelParameter(sources.substr(0, second));
    const int b = second == std::string::npos ? 0 : channelParameter(sources.substr(second + 1));
    if (item.is("VPP") && scope_.channel(a) != nullptr) {
        return measured(scope_.peakToPeak(a, now));
    }
    if (item.is("RPHase") && scope_.channel(a) != nullptr && scope_.channel(b) != nullptr) {
        std::optional<double> lag = scope_.phaseLag(a, b, now);
        if (lag && *lag > 180) {
            *lag -= 360;
        }
        return measured(lag);
    }
    return std::nullopt;
}

std::optional<ScopeAnswer> RigolDialect::waveformData(Clock::time_point now) {
    const std::vector<int>& codes = scope_.trace(waveformSource_, now);
    std::array<char, 16> count{};
    std::snprintf(count.data(), count.size(), "#9%09zu", codes.size());
    std::string bytes = count.data();
    for (const int code : codes) {
        bytes += static_cast<char>(code + kMiddleByte);
    }
    bytes += '\n';
    return ScopeAnswer{.bytes = std::move(bytes), .measured = true};
}

}  // namespace tavero::sim
