// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtFileDialog.h"

#include <QFileDialog>

#include "qt/QtText.h"
#include "qt/i18n/TextTranslation.h"

namespace tavero::qt {

QStringList qtNameFilters(std::string_view filter) {
    QStringList nameFilters;
    for (const ui::FileFilter& pair : ui::splitFileFilter(toUtf8(translatedText(filter)))) {
        QStringList patterns;
        for (const std::string& pattern : pair.patterns) {
            patterns << (pattern == "*.*" ? QStringLiteral("*") : toQString(pattern));
        }
        nameFilters << toQString(pair.description) + QStringLiteral(" (") +
                           patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return nameFilters;
}

std::optional<std::filesystem::path> execFileDialog(QWidget* parent,
                                                    const ui::FileDialogRequest& request,
                                                    FileDialogMode mode) {
    QFileDialog dialog(parent, translatedText(request.title), pathToQString(request.initialFolder));
    const bool save = mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Options first: changing them fills the filter list anew.
    // The descriptions already name their patterns, as the user knows them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setDefaultSuffix(toQString(request.defaultExtension));
    const QStringList nameFilters = qtNameFilters(request.filter);
    dialog.setNameFilters(nameFilters);
    if (request.selectedFilter >= 0 && request.selectedFilter < nameFilters.size()) {
        dialog.selectNameFilter(nameFilters[request.selectedFilter]);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return toPath(dialog.selectedFiles().first());
}

}  // namespace tavero::qt
