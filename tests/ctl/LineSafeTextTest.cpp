// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "ctl/LineSafeText.h"

namespace tavero::ctl {
namespace {

TEST(LineSafeText, EscapesControlCharactersAndKeepsEverythingElse) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"Sinus 1 kHz", "Sinus 1 kHz"},
        {"a\r\nb\tc", "a\\r\\nb\\tc"},
        {"\x1b[2J\x07", "\\x1b[2J\\x07"},
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"del\x7f", "del\\x7f"},
        {"csi\xc2\x9b"
         "1m",
         "csi\\u009b1m"},
        {"Öl \xc2\xa0 \xe2\x82\xac \\n", "Öl \xc2\xa0 \xe2\x82\xac \\n"},
        {"cut\xc2", "cut\xc2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lineSafeText(c.text), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace tavero::ctl
