// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/FaultPlan.h"

#include <algorithm>

namespace tavero::sim {

void FaultPlan::add(const FaultRule& rule) {
    if (rule.count == 0) {
        return;
    }
    rules_.push_back(rule);
    if (rule.count < 0) {
        rules_.back().count = FaultRule::kUnlimited;
    }
}

FaultSet FaultPlan::take(char letter) {
    FaultSet faults;
    for (FaultRule& rule : rules_) {
        if (rule.letter && *rule.letter != letter) {
            continue;
        }
        faults.insert(rule.kind);
        if (rule.count != FaultRule::kUnlimited) {
            --rule.count;
        }
    }
    std::erase_if(rules_, [](const FaultRule& rule) { return rule.count == 0; });
    return faults;
}

}  // namespace tavero::sim
