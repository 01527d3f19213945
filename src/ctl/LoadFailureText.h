// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "store/xml/LoadResult.h"

namespace tavero::ctl {

/// Why a file was not accepted, with the place where reading stopped when there is one, e.g.
/// "Error: Unknown entity (line 3, column 12)".
std::string loadFailureText(const store::xml::LoadResult& load);

}  // namespace tavero::ctl
