// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/HolderNotice.h"

#include <string_view>

namespace tavero::ctl {

namespace {

/// `pattern` with %1 and %2 replaced.
std::string filledIn(std::string_view pattern, const std::string& first,
                     const std::string& second) {
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            text += pattern[++i] == '1' ? first : second;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace

HolderNotice holderNotice(const HolderIdentity& holder) {
    const std::string_view pattern = holder.hasWindow
                                         ? "%1 (Prozess %2) verwendet den Tavero bereits.\n\n"
                                           "Soll das Fenster von %1 nach vorne geholt werden?"
                                         : "%1 (Prozess %2) verwendet den Tavero bereits.\n\n"
                                           "Beenden Sie %1, um den Tavero hier zu verbinden.";
    return {filledIn(pattern, holder.program, std::to_string(holder.processId)), holder.hasWindow};
}

}  // namespace tavero::ctl
