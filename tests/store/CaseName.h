// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace tavero::store {

/// Names each case of a parameterised test after the `name` field of its parameter.
struct CaseName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case>& tested) const {
        return tested.param.name;
    }
};

}  // namespace tavero::store
