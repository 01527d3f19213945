// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>

#include "qt/network/HttpRequestLine.h"

namespace tavero::qt {
namespace {

TEST(HttpRequestLineTest, TellsRequestsFromScpi) {
    struct Case {
        const char* line;
        bool first;
        bool http;
    };
    const std::array<Case, 11> cases = {{
        {"POST / HTTP/1.1", true, true},
        {"PUT /x?a=b HTTP/1.0", true, true},
        {"PROPFIND /dav HTTP/1.1", true, true},
        {"GET / HTTP/1.1", false, false},  // a request line only starts a request
        {"Host: 127.0.0.1:5025", false, true},
        {"origin: http://example.org", false, true},
        {"HOST:x", true, true},
        {"*IDN?", true, false},
        {"FREQ 1000;VOLT 0.5", true, false},
        {"GET HTTP/1.1", true, false},
        {"SYST:ERR?", false, false},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(isHttpRequestLine(c.line, c.first), c.http) << c.line;
    }
}

}  // namespace
}  // namespace tavero::qt
