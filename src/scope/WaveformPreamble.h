// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

#include "measure/Waveform.h"

namespace tavero::scope {

/// The ten fields of the answer to :WAVeform:PREamble? that Rigol and Keysight scopes share:
/// format, type, points, count, then the x and y increments, origins and references.
struct WaveformPreamble {
    double xIncrement = 0, xOrigin = 0, xReference = 0;
    double yIncrement = 0, yOrigin = 0, yReference = 0;
};

/// How a byte code becomes volts.
enum class CodeConvention {
    kRigol,     ///< (code - yOrigin - yReference) * yIncrement
    kKeysight,  ///< (code - yReference) * yIncrement + yOrigin
};

/// Nothing when the answer does not hold ten numbers.
std::optional<WaveformPreamble> parsePreamble(std::string_view answer);

/// The trace of unsigned byte codes; a code of 0 or 255 counts as clipped.
measure::Waveform byteTrace(std::string_view codes, const WaveformPreamble& preamble,
                            CodeConvention convention);

}  // namespace tavero::scope
