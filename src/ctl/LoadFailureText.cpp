// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/LoadFailureText.h"

namespace tavero::ctl {

std::string loadFailureText(const store::xml::LoadResult& load) {
    std::string text(store::xml::LoadCodeText(load.code));
    if (load.line > 0) {
        text +=
            " (line " + std::to_string(load.line) + ", column " + std::to_string(load.column) + ")";
    }
    return text;
}

}  // namespace tavero::ctl
