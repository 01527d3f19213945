// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/WaveformPreamble.h"

#include <array>

#include "scope/ScpiText.h"

namespace tavero::scope {

std::optional<WaveformPreamble> parsePreamble(std::string_view answer) {
    std::array<double, 10> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t comma = answer.find(',');
        const std::optional<double> value = leadingNumber(answer.substr(0, comma));
        if (!value || (comma == std::string_view::npos) != (i + 1 == fields.size())) {
            return std::nullopt;
        }
        fields[i] = *value;
        answer.remove_prefix(comma == std::string_view::npos ? answer.size() : comma + 1);
    }
    return WaveformPreamble{.xIncrement = fields[4],
                            .xOrigin = fields[5],
                            .xReference = fields[6],
                            .yIncrement = fields[7],
                            .yOrigin = fields[8],
                            .yReference = fields[9]};
}

measure::Waveform byteTrace(std::string_view codes, const WaveformPreamble& preamble,
                            CodeConvention convention) {
    measure::Waveform trace;
    trace.sampleIntervalSeconds = preamble.xIncrement;
    trace.startSeconds = preamble.xOrigin - preamble.xReference * preamble.xIncrement;
    trace.voltsPerCode = preamble.yIncrement;
    trace.volts.reserve(codes.size());
    for (const char byte : codes) {
        const auto code = static_cast<unsigned char>(byte);
        trace.clipped = trace.clipped || code == 0 || code == 255;
        trace.volts.push_back(
            convention == CodeConvention::kRigol
                ? (code - preamble.yOrigin - preamble.yReference) * preamble.yIncrement
                : (code - preamble.yReference) * preamble.yIncrement + preamble.yOrigin);
    }
    return trace;
}

}  // namespace tavero::scope
