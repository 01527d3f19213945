// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/ScopeHints.h"

namespace tavero::scpi {

void ScopeHints::give(ScopeHint kind, std::string_view line) {
    const auto index = static_cast<std::size_t>(kind);
    if (given_.test(index)) {
        return;
    }
    out_ << line << '\n' << std::flush;
    given_.set(index, out_.good());
}

}  // namespace tavero::scpi
