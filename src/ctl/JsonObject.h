// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavero::ctl {

/// One JSON object on one line, built member by member in the order they are added.
class JsonObject {
public:
    void addInteger(std::string_view key, std::int64_t value);
    /// @param number a JSON number as text, e.g. "1.20"
    void addNumber(std::string_view key, std::string_view number);
    /// @param utf8 any bytes: malformed UTF-8 comes out as U+FFFD, so the text stays valid JSON
    void addString(std::string_view key, std::string_view utf8);

    /// The object, e.g. {"Amplitude":500,"Name":"Test"}.
    std::string text() const { return members_ + '}'; }

private:
    void addKey(std::string_view key);

    std::string members_ = "{";
};

/// `utf8` as a JSON string literal with its quotes.
std::string jsonString(std::string_view utf8);

}  // namespace tavero::ctl
