// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "store/ListFile.h"

namespace tavero::ctl {

/// Names for the entries of a list file, as the warnings use them.
struct EntryNoun {
    std::string_view one;   ///< "profile"
    std::string_view many;  ///< "profiles"
};

/// The warning for a file read only in part, naming the entries that are not the file's, e.g.
/// "tavero-ctl: warning: P was read only in part (a 0 byte ends its data); profiles 26 to 50
/// are not from the file". Empty when the file was read whole.
std::string readInPartWarning(const std::filesystem::path& path, const store::ReadExtent& extent,
                              std::size_t count, EntryNoun noun);

}  // namespace tavero::ctl
