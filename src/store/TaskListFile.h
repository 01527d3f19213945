// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/TaskEntry.h"
#include "store/FileWriter.h"
#include "store/ListFile.h"
#include "store/xml/LoadResult.h"

namespace tavero::store {

/// Most entries a task list file may announce: each announced one is allocated before the file
/// shows whether it holds it.
inline constexpr std::uint32_t kMaxTaskEntryCount = 100'000;

struct TaskList {
    std::vector<TaskEntry> entries;  ///< in playing order
    bool loop = false;               ///< start again with the first entry after the last

    friend bool operator==(const TaskList&, const TaskList&) = default;
};

struct TaskListRead {
    TaskList list;  ///< empty after a failure
    ReadFailure failure = ReadFailure::None;
    xml::LoadResult load;  ///< the XML layer's verdict
    ReadExtent extent;

    bool ok() const { return failure == ReadFailure::None; }
};

/// The file's bytes: Windows-1252, CR LF line ends, one element per entry numbered by its
/// place in the list (not by its `elementNr`). An empty list is one line.
std::string taskListFileBytes(const TaskList& list);

/// Reads a task list. The count is `Anzahl`'s: entries it announces beyond those the file
/// holds are empty profiles held 0 s, elements beyond it are left out. Elements are taken
/// by position whatever their names, and values as they stand: no range check, no renumbering.
/// Any `Schleife` other than 0 sets the loop. A file without a `Playlist` element reads as an
/// empty list without a failure.
TaskListRead readTaskListFile(const std::filesystem::path& path);

SaveResult writeTaskListFile(FileWriter& writer, const std::filesystem::path& path,
                             const TaskList& list);

}  // namespace tavero::store
