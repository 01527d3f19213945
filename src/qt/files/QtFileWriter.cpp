// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/files/QtFileWriter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace tavero::qt {

bool QtFileWriter::replaceFile(const std::filesystem::path& path, std::string_view bytes) {
    // Without a direct-write fallback: a folder that takes no temporary file fails the save
    // instead of writing the target in place.
    QSaveFile file(QFileInfo(path).filePath());
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    // Leaving without commit() discards the temporary file.
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(bytes.data(), size) == size && file.commit();
}

}  // namespace tavero::qt
