// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctl/JsonObject.h"

namespace tavero::ctl {
namespace {

TEST(JsonObject, MembersComeInTheOrderAdded) {
    JsonObject object;
    EXPECT_EQ(object.text(), "{}");
    object.addNumber("Firmwareversion", "1.20");
    object.addInteger("Frequenzhub", -9223372036854775807 - 1);
    object.addString("Name", "x");
    EXPECT_EQ(object.text(),
              "{\"Firmwareversion\":1.20,\"Frequenzhub\":-9223372036854775808,\"Name\":\"x\"}");
}

TEST(JsonObject, StringsAreEscapedAndStayValidUtf8) {
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"", "\"\""},
        {"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
        {"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
        {std::string("\x00\x01\x1f\x7f", 4), "\"\\u0000\\u0001\\u001f\x7f\""},
        {"äöü € 😀", "\"äöü € 😀\""},
        {"\xC3", "\"\xEF\xBF\xBD\""},                                  // cut short
        {"\xC3(", "\"\xEF\xBF\xBD(\""},                                // wrong continuation
        {"\x80x", "\"\xEF\xBF\xBDx\""},                                // stray continuation byte
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // overlong
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // surrogate
        {"\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // > U+10FFFF
        {"\xF4\x8F\xBF\xBF", "\"\xF4\x8F\xBF\xBF\""},  // U+10FFFF itself
        {"\xE0\xA0\x80", "\"\xE0\xA0\x80\""},          // U+0800, the least of three bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        EXPECT_EQ(jsonString(c.in), c.out);
    }
}

}  // namespace
}  // namespace tavero::ctl
