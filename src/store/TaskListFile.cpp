// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/TaskListFile.h"

#include <cstddef>
#include <optional>
#include <string_view>

#include "store/AttributeConversions.h"
#include "store/ProfileFile.h"
#include "store/SettingsAttributes.h"
#include "store/xml/DocNode.h"

namespace tavero::store {

namespace {

constexpr std::string_view kListElement = "Playlist";
constexpr std::string_view kEntryElementPrefix = "Playlistelement_";

std::int32_t integerAttribute(const xml::DocNode& element, std::string_view name) {
    const std::optional<std::string> value = xml::AttributeValue(element, name);
    return value ? integerFromText(*value) : 0;
}

TaskEntry entryFromElement(const xml::DocNode& element) {
    return TaskEntry{
        StoredProfile{readSettingsAttributes(element), nameFromElement(element)},
        static_cast<std::uint32_t>(integerAttribute(element, "Duration")),
        integerAttribute(element, "ElementNr"),
    };
}

}  // namespace

std::string taskListFileBytes(const TaskList& list) {
    const xml::DocNode top = xml::CreateTop();
    const xml::DocNode playlist = xml::AppendElement(top, kListElement);
    xml::AppendAttribute(playlist, "Anzahl", std::to_string(list.entries.size()));
    xml::AppendAttribute(playlist, "Schleife", list.loop ? "1" : "0");
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const TaskEntry& entry = list.entries[i];
        const xml::DocNode element =
            xml::AppendElement(playlist, numberedElementName(kEntryElementPrefix, i));
        appendName(element, entry.profile.name);
        appendSettingsAttributes(element, entry.profile.settings);
        // Signed, so that the integer reading gives every 32-bit duration back.
        xml::AppendAttribute(element, "Duration",
                             std::to_string(static_cast<std::int32_t>(entry.duration)));
        xml::AppendAttribute(element, "ElementNr", std::to_string(entry.elementNr));
    }
    return listFileBytes(top);
}

TaskListRead readTaskListFile(const std::filesystem::path& path) {
    const LoadedList loaded = loadListFile(path, kListElement, kMaxTaskEntryCount);
    TaskListRead read{{}, loaded.failure, loaded.load, loaded.extent};
    if (!read.ok()) {
        return read;
    }
    read.list.loop = integerAttribute(loaded.list, "Schleife") != 0;
    const std::size_t held = xml::ElementCount(loaded.list);
    read.list.entries.reserve(loaded.count);
    for (std::size_t i = 0; i < loaded.count; ++i) {
        read.list.entries.push_back(i < held ? entryFromElement(xml::ElementAt(loaded.list, i))
                                             : TaskEntry{emptyStoredProfile()});
    }
    return read;
}

SaveResult writeTaskListFile(FileWriter& writer, const std::filesystem::path& path,
                             const TaskList& list) {
    return writer.replaceFile(path, taskListFileBytes(list));
}

}  // namespace tavero::store
