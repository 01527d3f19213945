// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavero::measure {

// The 1-2-5 sequence of scope scales (..., 0.1, 0.2, 0.5, 1, 2, 5, 10, ...), in volts or seconds
// per division.

/// The smallest value of the sequence not below `value` (> 0).
double scaleAtLeast(double value);
/// The value of the sequence after `scale`, which is one of them.
double nextScaleUp(double scale);
/// The value of the sequence before `scale`, which is one of them.
double nextScaleDown(double scale);

}  // namespace tavero::measure
