// SPDX-License-Identifier: GPL-3.0-or-later
#include "scpi/ScpiError.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "scpi/AsciiText.h"

namespace tavero::scpi {

namespace {

struct StandardText {
    int code;
    std::string_view text;
};

constexpr std::array<StandardText, 14> kTexts = {{
    {kNoError, "No error"},
    {kCommandError, "Command error"},
    {kSyntaxError, "Syntax error"},
    {kDataTypeError, "Data type error"},
    {kParameterNotAllowed, "Parameter not allowed"},
    {kMissingParameter, "Missing parameter"},
    {kUndefinedHeader, "Undefined header"},
    {kInvalidSuffix, "Invalid suffix"},
    {kExecutionError, "Execution error"},
    {kSettingsConflict, "Settings conflict"},
    {kDataOutOfRange, "Data out of range"},
    {kIllegalParameterValue, "Illegal parameter value"},
    {kQueueOverflow, "Queue overflow"},
    {kInputBufferOverrun, "Input buffer overrun"},
}};

std::string withDetail(int code, const std::string& detail) {
    if (code > 0) {
        return detail;  // device errors carry their own message
    }
    std::string text = standardMessage(code);
    if (!detail.empty()) {
        // A standard error's detail may quote what the client sent.
        text += "; " + escapedClientBytes(detail);
    }
    return text;
}

}  // namespace

std::string standardMessage(int code) {
    const auto* it = std::find_if(kTexts.begin(), kTexts.end(),
                                  [code](const StandardText& t) { return t.code == code; });
    return it == kTexts.end() ? std::string("Device-specific error") : std::string(it->text);
}

ScpiError::ScpiError(int code, const std::string& detail)
    : std::runtime_error(withDetail(code, detail)), code_(code) {}

}  // namespace tavero::scpi
