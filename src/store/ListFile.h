// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "store/xml/DocNode.h"
#include "store/xml/LoadResult.h"

// What the profile file and the task list file share: one top element that announces its
// entry count in `Anzahl` and holds one numbered element per entry, each with its name as text;
// Windows-1252 text with CR LF line ends.

namespace tavero::store {

/// Why a list file could not be read.
enum class ReadFailure : std::uint8_t {
    None,
    /// The XML layer did not accept the file: missing, unreadable, malformed, an unmatched end
    /// tag, an unknown entity. Its LoadResult tells which.
    NotLoaded,
    /// `Anzahl` announces more entries than the reader accepts.
    CountAboveLimit,
};

/// Whether the file holds its list element at top level, where the reader looks for it.
enum class ListElement : std::uint8_t {
    Found,
    Missing,
    /// The file starts with an XML declaration, which holds the rest of the file.
    InDeclaration,
};

/// Why a list file counts as read only in part.
enum class PartReason : std::uint8_t {
    None,
    EndedAtNul,          ///< a 0 byte ends its data
    EndedInsideElement,  ///< the data ends inside an element
    FewerThanAnnounced,  ///< it holds fewer entries than `Anzahl` announces
    MoreThanAnnounced,   ///< it holds more entries than `Anzahl` announces; those are left out
    CharactersLost,      ///< UTF-16 names with characters Windows-1252 cannot hold
    Blank,               ///< empty or nothing but white space
};

/// How much of a list file was read, so that nothing the file held is lost at the next save.
struct ReadExtent {
    ListElement list = ListElement::Found;
    /// Something the file holds would be lost at the next save; `reason` tells what.
    bool inPart = false;
    /// Entries from this index to the announced count are not, or not wholly, the file's.
    std::size_t firstNotRead = 0;
    PartReason reason = PartReason::None;
};

/// A list file read as far as its top element.
struct LoadedList {
    ReadFailure failure = ReadFailure::None;
    xml::LoadResult load;
    xml::DocNode list;        ///< null when the document has no such element
    std::uint32_t count = 0;  ///< entries announced; 0 when the element or `Anzahl` is missing
    ReadExtent extent;
};

/// Loads the file and finds its first top-level element named `listName` (letter case does not
/// matter). `Anzahl` is read as an integer; a negative value announces no entries, one above
/// `maxCount` fails.
LoadedList loadListFile(const std::filesystem::path& path, std::string_view listName,
                        std::uint32_t maxCount);

/// The document as the files hold it: indented, every line ended by CR LF.
std::string listFileBytes(const xml::DocNode& top);

/// `prefix` followed by the 1-based number of the entry at `index`, e.g. "Profil_1" for 0.
std::string numberedElementName(std::string_view prefix, std::size_t index);

/// Appends a UTF-8 name as the element's text in Windows-1252. An empty name is appended too,
/// so that the element is written with a start and an end tag rather than as `<name/>`.
void appendName(const xml::DocNode& element, std::string_view name);

/// The element's first text as UTF-8; empty when it has none.
std::string nameFromElement(const xml::DocNode& element);

/// Why a file was not accepted, with the place where reading stopped when there is one, e.g.
/// "Error: Unknown entity (line 3, column 12)", or what kept it from being read ("is a
/// directory").
std::string loadFailureText(const xml::LoadResult& load);

/// Why a file holds no list: "holds no Playlist element", or that an XML declaration hides it.
std::string missingListText(ListElement list, std::string_view listName);

}  // namespace tavero::store
