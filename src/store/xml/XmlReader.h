// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

#include "store/xml/DocNode.h"
#include "store/xml/LoadResult.h"

namespace tavero::store::xml {

/// Deepest nesting of elements that reading accepts; the program's own files nest two deep.
inline constexpr int kMaxNestingDepth = 256;

/// Builds a document from 8-bit text, which ends at its end or at a 0 byte. Gives the top node,
/// whose child elements are the document's top-level elements, or a null handle when
/// `result.code` is an error (anything but NoError and UnmatchedEndTagWarning).
///
/// The reader is tolerant: text that ends inside an element or a tag is accepted as far as it
/// goes, and a declaration `<?xml ...?>` holds the rest of the document. An entity other than
/// &lt; &gt; &amp; &apos; &quot; fails with UnknownEntity after writing
/// "unknown escape character: '&...'" to standard output.
DocNode LoadText(std::string_view text, LoadResult& result);

/// LoadText on the whole file; UTF-16 is converted to Windows-1252 first. A file that cannot be
/// read (also one that is no regular file or too large) gives FileNotFound with the reason in
/// `result.fileProblem`.
DocNode LoadFile(const std::filesystem::path& path, LoadResult& result);

}  // namespace tavero::store::xml
