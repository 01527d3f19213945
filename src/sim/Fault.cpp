// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/Fault.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace tavero::sim {

namespace {

constexpr std::array<std::pair<Fault, std::string_view>, kFaultCount> kNames = {{
    {Fault::kNoReply, "no-reply"},
    {Fault::kWrongLetter, "wrong-letter"},
    {Fault::kNak, "nak"},
    {Fault::kBadCrc, "bad-crc"},
    {Fault::kNoise, "noise"},
    {Fault::kCutShort, "cut-short"},
    {Fault::kSlowBytes, "slow"},
    {Fault::kUnplug, "unplug"},
}};

/// Splits off the text before the first ':'; `rest` keeps what follows it.
std::string_view nextPart(std::string_view& rest, bool& more) {
    const std::size_t colon = rest.find(':');
    const std::string_view part = rest.substr(0, colon);
    more = colon != std::string_view::npos;
    rest = more ? rest.substr(colon + 1) : std::string_view{};
    return part;
}

}  // namespace

std::string_view faultName(Fault fault) {
    return kNames[static_cast<std::size_t>(fault)].second;
}

std::optional<Fault> faultFromName(std::string_view name) {
    const auto it = std::find_if(kNames.begin(), kNames.end(),
                                 [name](const auto& entry) { return entry.second == name; });
    if (it == kNames.end()) {
        return std::nullopt;
    }
    return it->first;
}

std::optional<FaultRule> parseFaultRule(std::string_view text) {
    FaultRule rule;
    bool more = false;
    const std::optional<Fault> kind = faultFromName(nextPart(text, more));
    if (!kind) {
        return std::nullopt;
    }
    rule.kind = *kind;
    if (!more) {
        return rule;
    }
    const std::string_view letter = nextPart(text, more);
    if (letter.size() == 1 && letter != "*") {
        rule.letter = letter.front();
    } else if (!letter.empty() && letter != "*") {
        return std::nullopt;
    }
    if (!more) {
        return rule;
    }
    const std::string_view count = text;
    const auto [end, error] =
        std::from_chars(count.data(), count.data() + count.size(), rule.count);
    if (count.empty() || error != std::errc{} || end != count.data() + count.size() ||
        rule.count < 1) {
        return std::nullopt;
    }
    return rule;
}

}  // namespace tavero::sim
