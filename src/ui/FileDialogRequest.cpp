// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FileDialogRequest.h"

namespace tavero::ui {
namespace {

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return parts;
}

}  // namespace

std::vector<FileFilter> splitFileFilter(std::string_view filter) {
    const std::vector<std::string> parts = split(filter, '|');
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        filters.push_back({parts[i], split(parts[i + 1], ';')});
    }
    return filters;
}

}  // namespace tavero::ui
