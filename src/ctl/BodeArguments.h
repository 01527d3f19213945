// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "measure/SweepRunner.h"

namespace tavero::ctl {

/// What `tavero-ctl bode` is asked to do.
struct BodeArguments {
    std::string scope;  ///< the scope's resource name
    measure::SweepRequest request;
    std::filesystem::path csvPath;  ///< empty: the table goes to standard output
};

/// Reads the sweep's options as the command line gave them; throws UsageError for one missing,
/// out of range or in conflict with another.
BodeArguments parseBodeArguments(const std::vector<std::pair<std::string, std::string>>& options);

}  // namespace tavero::ctl
