// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "store/ProfileRowText.h"

namespace tavero::store {
namespace {

TEST(ProfileRowText, NumbersFromOneAndTakesTheNameLiterally) {
    EXPECT_EQ(profileRowText(0, "-- leeres Profil --"), "1: -- leeres Profil --");
    EXPECT_EQ(profileRowText(49, "100% %s %n %d"), "50: 100% %s %n %d");
    EXPECT_EQ(profileRowText(2, ""), "3: ");
    EXPECT_EQ(profileRowText(9, "äöü"), "10: äöü");
}

}  // namespace
}  // namespace tavero::store
