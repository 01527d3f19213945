// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

#include "store/FileWriter.h"

namespace tavero::qt {

/// Saves through QSaveFile: the bytes go to a temporary file beside the target, which is
/// flushed to disk and then renamed over it. Where the folder takes no new file but the target
/// is writable, the target is written in place instead, without that guarantee.
class QtFileWriter final : public store::FileWriter {
public:
    bool replaceFile(const std::filesystem::path& path, std::string_view bytes) override;
};

}  // namespace tavero::qt
