// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/StoredProfile.h"
#include "store/FileWriter.h"
#include "store/ListFile.h"
#include "store/xml/LoadResult.h"

namespace tavero::store {

inline constexpr std::string_view kProfileFileName = "Profile.pro";
inline constexpr std::string_view kEmptyProfileName = "-- leeres Profil --";
inline constexpr std::size_t kDefaultProfileCount = 50;
/// Most profiles a file may announce: each announced one is allocated before the file shows
/// whether it holds it.
inline constexpr std::uint32_t kMaxProfileCount = 10'000;

/// The profile file below the per-user data folder; its parent folder must exist before the
/// file can be written.
std::filesystem::path profileFilePath(const std::filesystem::path& dataFolder);

/// Default settings under the name "-- leeres Profil --".
StoredProfile emptyStoredProfile();

/// What a new profile file holds: 50 empty profiles.
std::vector<StoredProfile> defaultProfiles();

struct ProfileRead {
    /// In file order, as many as the file announces; empty after a failure.
    std::vector<StoredProfile> profiles;
    ReadFailure failure = ReadFailure::None;
    xml::LoadResult load;  ///< the XML layer's verdict
    ReadExtent extent;

    bool ok() const { return failure == ReadFailure::None; }
};

/// The file's bytes: Windows-1252, CR LF line ends, one element per profile numbered from 1.
std::string profileFileBytes(std::span<const StoredProfile> profiles);

/// Writes the default profiles if no file exists at `path`. An existing file is kept whatever it
/// holds, even one that cannot be read. Fails only when the file was missing and could not be
/// written.
SaveResult createProfileFileIfMissing(FileWriter& writer, const std::filesystem::path& path);

/// Reads the profiles. The count is `Anzahl`'s, not the file's: entries it announces beyond
/// those the file holds are empty profiles, elements beyond it are left out. Elements are taken
/// by position whatever their names. A file without a `Profillisten` element reads as no profiles
/// without a failure; an empty or blank one, which no save leaves, counts as read in part
/// (`PartReason::Blank`) and reads as the 50 empty profiles of a new file.
ProfileRead readProfileFile(const std::filesystem::path& path);

SaveResult writeProfileFile(FileWriter& writer, const std::filesystem::path& path,
                            std::span<const StoredProfile> profiles);

/// Why the file cannot be read, e.g. "Error: Unknown entity (line 3, column 12)"; also for a
/// file whose list an XML declaration hides.
std::string readProblemText(const ProfileRead& read);

}  // namespace tavero::store
