// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "sim/Fault.h"

namespace tavero::sim {

/// The fault rules in force and how many replies each still damages.
class FaultPlan {
public:
    /// A count of 0 adds nothing; any negative count never runs out.
    void add(const FaultRule& rule);
    void clear() { rules_.clear(); }

    /// The faults for the next reply to `letter`; every matching rule counts this reply, and a
    /// rule that has run out is dropped.
    FaultSet take(char letter);

    const std::vector<FaultRule>& rules() const { return rules_; }

private:
    std::vector<FaultRule> rules_;
};

}  // namespace tavero::sim
