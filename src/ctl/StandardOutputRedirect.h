// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iostream>
#include <ostream>
#include <streambuf>

namespace tavero::ctl {

/// While it lives, what goes to std::cout goes to `target` instead. The XML layer reports an
/// unknown entity on standard output, which in this tool carries only results.
class StandardOutputRedirect {
public:
    explicit StandardOutputRedirect(std::ostream& target)
        : saved_(std::cout.rdbuf(target.rdbuf())) {}
    ~StandardOutputRedirect() { std::cout.rdbuf(saved_); }

    StandardOutputRedirect(const StandardOutputRedirect&) = delete;
    StandardOutputRedirect& operator=(const StandardOutputRedirect&) = delete;

private:
    std::streambuf* saved_;
};

}  // namespace tavero::ctl
