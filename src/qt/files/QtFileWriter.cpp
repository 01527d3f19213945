// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/files/QtFileWriter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace tavero::qt {

bool QtFileWriter::replaceFile(const std::filesystem::path& path, std::string_view bytes) {
    // A shared file an administrator made writable in a read-only folder can only be written
    // in place; Qt falls back to that only when the folder refuses the temporary file.
    QSaveFile file(QFileInfo(path).filePath());
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    // Leaving without commit() discards the temporary file.
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(bytes.data(), size) == size && file.commit();
}

}  // namespace tavero::qt
