// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include "store/FileWriter.h"

namespace tavero::store {

/// Writes files in place, for tests that look only at what is written. With `refuse` set, every
/// save fails and leaves the file alone.
class DirectFileWriter final : public FileWriter {
public:
    SaveResult replaceFile(const std::filesystem::path& path, std::string_view bytes) override {
        if (refuse) {
            return {path, std::make_error_code(std::errc::permission_denied)};
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        return out ? SaveResult{} : SaveResult{path, std::make_error_code(std::errc::io_error)};
    }

    bool refuse = false;
};

inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tavero::store
