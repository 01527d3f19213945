// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "sim/Fault.h"

namespace tavero::sim {
namespace {

TEST(SimFault, EveryKindHasANameThatReadsBack) {
    for (std::size_t i = 0; i < kFaultCount; ++i) {
        const auto fault = static_cast<Fault>(i);
        EXPECT_EQ(faultFromName(faultName(fault)), fault) << faultName(fault);
    }
    EXPECT_EQ(faultFromName("NAK"), std::nullopt);
}

TEST(SimFault, ParsesRules) {
    constexpr int kAll = FaultRule::kUnlimited;
    const struct {
        std::string_view text;
        std::optional<FaultRule> rule;
    } cases[] = {
        {"no-reply", FaultRule{Fault::kNoReply, std::nullopt, kAll}},
        {"nak:f", FaultRule{Fault::kNak, 'f', kAll}},
        {"wrong-letter:x:1", FaultRule{Fault::kWrongLetter, 'x', 1}},
        {"noise::3", FaultRule{Fault::kNoise, std::nullopt, 3}},
        {"slow:*:2", FaultRule{Fault::kSlowBytes, std::nullopt, 2}},
        {"bad-crc:!", FaultRule{Fault::kBadCrc, '!', kAll}},
        {"nak:", FaultRule{Fault::kNak, std::nullopt, kAll}},
        {"", std::nullopt},
        {"nack", std::nullopt},
        {"nak:ff", std::nullopt},
        {"nak:f:", std::nullopt},
        {"nak:f:0", std::nullopt},
        {"nak:f:-1", std::nullopt},
        {"nak:f:2x", std::nullopt},
        {"nak:f:1:2", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseFaultRule(c.text), c.rule) << c.text;
    }
}

}  // namespace
}  // namespace tavero::sim
