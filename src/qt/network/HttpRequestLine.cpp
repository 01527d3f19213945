// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/HttpRequestLine.h"

#include <algorithm>
#include <array>

namespace tavero::qt {

namespace {

bool startsWithAnyCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(a) == lower(b);
           });
}

/// METHOD SP target SP HTTP/1.x: a method is a token of letters (WebDAV's and new ones too).
bool isRequestLine(std::string_view line) {
    const std::size_t methodEnd = line.find(' ');
    if (methodEnd == 0 || methodEnd == std::string_view::npos ||
        !std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(methodEnd),
                     [](char c) { return (c >= 'A' && c <= 'Z') || c == '-' || c == '_'; })) {
        return false;
    }
    const std::size_t version = line.find(" HTTP/1.", methodEnd + 1);
    return version != std::string_view::npos && version > methodEnd + 1;
}

}  // namespace

bool isHttpRequestLine(std::string_view line, bool firstLine) {
    constexpr std::array<std::string_view, 2> kHeaders = {"host:", "origin:"};
    return (firstLine && isRequestLine(line)) ||
           std::any_of(kHeaders.begin(), kHeaders.end(),
                       [line](std::string_view header) { return startsWithAnyCase(line, header); });
}

}  // namespace tavero::qt
