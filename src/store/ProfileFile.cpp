// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ProfileFile.h"

#include <system_error>

#include "store/SettingsAttributes.h"
#include "store/text/TextFile.h"
#include "store/xml/DocNode.h"

namespace tavero::store {

namespace {

constexpr std::string_view kListElement = "Profillisten";
constexpr std::string_view kProfileElementPrefix = "Profil_";

/// What an interrupted save of old could leave: nothing, or nothing but white space.
bool isBlank(const std::filesystem::path& path) {
    const text::FileBytes file = text::readTextFile(path);
    return file.problem == text::FileProblem::None &&
           file.bytes.find_first_not_of(" \t\r\n") == std::string::npos;
}

StoredProfile profileFromElement(const xml::DocNode& element) {
    return StoredProfile{readSettingsAttributes(element), nameFromElement(element)};
}

}  // namespace

std::filesystem::path profileFilePath(const std::filesystem::path& dataFolder) {
    return dataFolder / "Profile" / kProfileFileName;
}

StoredProfile emptyStoredProfile() {
    return StoredProfile{GeneratorSettings::emptyProfile(), std::string(kEmptyProfileName)};
}

std::vector<StoredProfile> defaultProfiles() {
    return std::vector<StoredProfile>(kDefaultProfileCount, emptyStoredProfile());
}

std::string profileFileBytes(std::span<const StoredProfile> profiles) {
    const xml::DocNode top = xml::CreateTop();
    const xml::DocNode list = xml::AppendElement(top, kListElement);
    xml::AppendAttribute(list, "Anzahl", std::to_string(profiles.size()));
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        const xml::DocNode element =
            xml::AppendElement(list, numberedElementName(kProfileElementPrefix, i));
        appendName(element, profiles[i].name);
        appendSettingsAttributes(element, profiles[i].settings);
    }
    return listFileBytes(top);
}

SaveResult createProfileFileIfMissing(FileWriter& writer, const std::filesystem::path& path) {
    // Only a file that is surely missing is created: one that exists but cannot be read must not
    // be replaced by empty profiles, and its read then reports the failure.
    std::error_code error;
    if (std::filesystem::status(path, error).type() != std::filesystem::file_type::not_found) {
        return {};
    }
    return writeProfileFile(writer, path, defaultProfiles());
}

ProfileRead readProfileFile(const std::filesystem::path& path) {
    const LoadedList loaded = loadListFile(path, kListElement, kMaxProfileCount);
    ProfileRead read{{}, loaded.failure, loaded.load, loaded.extent};
    if (!read.ok()) {
        return read;
    }
    if (read.extent.list == ListElement::Missing && isBlank(path)) {
        read.profiles = defaultProfiles();
        read.extent = {ListElement::Found, true, 0, PartReason::Blank};
        return read;
    }
    const std::size_t held = xml::ElementCount(loaded.list);
    read.profiles.reserve(loaded.count);
    for (std::size_t i = 0; i < loaded.count; ++i) {
        read.profiles.push_back(i < held ? profileFromElement(xml::ElementAt(loaded.list, i))
                                         : emptyStoredProfile());
    }
    return read;
}

SaveResult writeProfileFile(FileWriter& writer, const std::filesystem::path& path,
                            std::span<const StoredProfile> profiles) {
    return writer.replaceFile(path, profileFileBytes(profiles));
}

std::string readProblemText(const ProfileRead& read) {
    if (read.failure == ReadFailure::CountAboveLimit) {
        return "Anzahl announces more than " + std::to_string(kMaxProfileCount) + " profiles";
    }
    if (read.ok()) {
        return missingListText(read.extent.list, kListElement);
    }
    return loadFailureText(read.load);
}

}  // namespace tavero::store
