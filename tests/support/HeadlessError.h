// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

namespace tavero::headless {

/// A test or the logic under test used the headless window system in a way the real one would
/// not allow (an id missing from the template, a click on a disabled button, a message box
/// nobody answers). Thrown so that the test fails at once, naming the fault.
class HeadlessError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

}  // namespace tavero::headless
