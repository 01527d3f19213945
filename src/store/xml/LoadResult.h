// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/text/FileProblem.h"

namespace tavero::store::xml {

/// Outcome of reading a document. The numbers are stable: 0 to 12 are the reader's historic
/// vocabulary (2, 3, 6, 9, 10 and 12 are never produced), 13 and 14 were added for input that
/// used to end the program or overflow the stack, 15 for input that would fill the memory.
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
    /// More start tags than `kMaxElements`; refused before any of them is read.
    TooManyElements = 15,
};

/// Most elements a document may hold: far above the program's largest file (a task list of
/// 100,000 entries holds 100,002), and each costs a few hundred bytes of memory.
inline constexpr std::size_t kMaxElements = 1'000'000;

struct LoadResult {
    LoadCode code = LoadCode::NoError;
    /// 1-based place where reading stopped, counted in bytes: a line feed starts a new line.
    /// For the warning, the place of the first unmatched end tag; 0 when there is no place.
    std::int32_t line = 0;
    std::int32_t column = 0;
    /// With FileNotFound: why the file could not be read.
    text::FileProblem fileProblem = text::FileProblem::None;
    /// Elements still open where the data ended, e.g. 2 for a file cut off inside an element of
    /// the top-level element; 0 for a document that closes every element.
    std::int32_t openElementsAtEnd = 0;
    /// A 0 byte ended the data before the end of the text.
    bool endedAtNul = false;
    /// The file was UTF-16 with characters that Windows-1252 cannot hold; they read as '?'.
    bool charactersLost = false;

    /// The document ended before its elements did, or at a 0 byte: what was read may be only
    /// part of what the file meant to hold.
    bool readInPart() const { return openElementsAtEnd > 0 || endedAtNul; }
};

/// The code's text, e.g. "Error: Unmatched end tag"; "Unknown" for a number outside the list.
std::string_view LoadCodeText(LoadCode code);

}  // namespace tavero::store::xml
