// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

namespace tavero::ctl {

/// A command line or a value the tool refuses before anything is sent (exit status 2).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Exit statuses of the tool.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailure = 1,  ///< the generator or a file failed
    kExitUsage = 2,    ///< bad command line or refused input
    /// Plus the signal number: a run stopped by SIGINT ends with 130, by SIGTERM with 143, by
    /// SIGHUP with 129.
    kExitInterrupted = 128,
};

}  // namespace tavero::ctl
