// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/ProfileArguments.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "ctl/UsageError.h"
#include "store/text/Windows1252.h"

namespace tavero::ctl {

std::size_t profileIndex(std::string_view number, std::size_t count) {
    if (number.empty() ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        throw UsageError("'" + std::string(number) + "' is not a profile number");
    }
    std::uint64_t value = 0;
    const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || value < 1 || value > count) {
        throw UsageError("there is no profile " + std::string(number) + ": the profile file " +
                         (count == 0 ? std::string("holds none")
                                     : "holds profiles 1 to " + std::to_string(count)));
    }
    return static_cast<std::size_t>(value - 1);
}

void checkProfileName(std::string_view name) {
    if (std::any_of(name.begin(), name.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7F;
        })) {
        throw UsageError("a profile name must not hold control characters");
    }
    // The file keeps names in Windows-1252: whatever does not come back unchanged would be
    // stored as something else.
    if (store::text::utf8FromWindows1252(store::text::windows1252FromUtf8(name)) != name) {
        throw UsageError("the profile name '" + std::string(name) +
                         "' holds characters that the profile file cannot keep (Windows-1252)");
    }
}

}  // namespace tavero::ctl
