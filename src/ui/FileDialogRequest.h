// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavero::ui {

/// What an open-file or save-file dialog shows.
struct FileDialogRequest {
    std::string title;
    /// Pairs of description and pattern, each part ended by "|", for example
    /// "Texte (*.txt)|*.txt|Alle Dateien (*.*)|*.*|". One part may hold several patterns
    /// separated by ";". "*.*" matches every file name, also one without a dot.
    std::string filter;
    int selectedFilter = 0;        ///< index of the pair selected at first, from 0
    std::string defaultExtension;  ///< without the dot; added to a typed name that has none
    std::filesystem::path initialFolder;
    bool confirmOverwrite = false;  ///< save dialogs: ask before a file is replaced

    friend bool operator==(const FileDialogRequest&, const FileDialogRequest&) = default;
};

/// One pair of a file dialog's filter.
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;

    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

/// The pairs of a filter string (see FileDialogRequest::filter). A description without its
/// pattern part is dropped; a missing final "|" is tolerated.
std::vector<FileFilter> splitFileFilter(std::string_view filter);

}  // namespace tavero::ui
