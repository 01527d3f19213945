// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <filesystem>
#include <optional>
#include <string_view>

#include "ui/FileDialogRequest.h"

class QWidget;

namespace tavero::qt {

enum class FileDialogMode { Open, Save };

/// Shows a QFileDialog as the request describes and returns the chosen path, or nothing when
/// the user cancelled. An open dialog accepts existing files only.
std::optional<std::filesystem::path> execFileDialog(QWidget* parent,
                                                    const ui::FileDialogRequest& request,
                                                    FileDialogMode mode);

/// The request's filter as Qt name filters: "Beschreibung (*.a *.b)", with "*.*" as "*" so
/// that it matches names without a dot too, the descriptions in the application's language. The
/// dialog hides the added pattern part.
QStringList qtNameFilters(std::string_view filter);

}  // namespace tavero::qt
