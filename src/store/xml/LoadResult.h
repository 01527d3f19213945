// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace tavero::store::xml {

/// Outcome of reading a document. The numbers are stable: 0 to 12 are the reader's historic
/// vocabulary (2, 3, 6, 9, 10 and 12 are never produced), 13 and 14 were added for input that
/// used to end the program or overflow the stack.
enum class LoadCode : std::int32_t {
    NoError = 0,
    UnmatchedEndTagWarning = 1,  ///< the document is still returned
    NoXmlData = 2,
    FirstTokenNotStartTag = 3,
    MissingStartTagName = 4,
    MissingEndTagName = 5,
    UnmatchedQuote = 6,
    UnmatchedEndTag = 7,
    UnexpectedToken = 8,
    InvalidTag = 9,
    NoElements = 10,
    FileNotFound = 11,
    FirstTagNotFound = 12,
    UnknownEntity = 13,
    NestingTooDeep = 14,
};

struct LoadResult {
    LoadCode code = LoadCode::NoError;
    /// 1-based place where reading stopped, counted in bytes: a line feed starts a new line.
    /// For the warning, the place of the first unmatched end tag; 0 when there is no place.
    std::int32_t line = 0;
    std::int32_t column = 0;
};

/// The code's text, e.g. "Error: Unmatched end tag"; "Unknown" for a number outside the list.
std::string_view LoadCodeText(LoadCode code);

}  // namespace tavero::store::xml
