// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace tavero::scpi {

/// The standard error codes the instrument reports.
enum ErrorCode : int {
    kNoError = 0,
    kCommandError = -100,
    kSyntaxError = -102,
    kDataTypeError = -104,
    kParameterNotAllowed = -108,
    kMissingParameter = -109,
    kUndefinedHeader = -113,
    kInvalidSuffix = -131,
    kExecutionError = -200,
    kSettingsConflict = -221,
    kDataOutOfRange = -222,
    kIllegalParameterValue = -224,
    kQueueOverflow = -350,
    kInputBufferOverrun = -363,
};

/// One entry of the error queue.
struct ErrorEntry {
    int code = kNoError;
    std::string message;
    friend bool operator==(const ErrorEntry&, const ErrorEntry&) = default;
};

/// The standard message of a standard code.
std::string standardMessage(int code);

/// Ends the command it is thrown from; its entry goes to the error queue.
class ScpiError : public std::runtime_error {
public:
    /// @param detail appended to the standard message after "; ", bytes outside printable ASCII
    /// escaped; a device error's (positive code) whole message, as it is
    explicit ScpiError(int code, const std::string& detail = {});
    ErrorEntry entry() const { return {code_, what()}; }

private:
    int code_;
};

}  // namespace tavero::scpi
