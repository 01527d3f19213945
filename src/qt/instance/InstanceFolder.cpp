// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/instance/InstanceFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstdlib>

#include "ctl/InstanceProtocol.h"

namespace tavero::qt {

QString instanceFolderPath() {
    const QString runtime = QString::fromLocal8Bit(std::getenv("XDG_RUNTIME_DIR"));
    return QDir::isAbsolutePath(runtime) ? QDir(runtime).filePath(QStringLiteral("tavero"))
                                         : QStringLiteral("/tmp/tavero-%1").arg(::getuid());
}

std::optional<QString> instanceFolder(bool create) {
    // /tmp is everybody's: the checks below refuse a folder another user made there first.
    const QString folder = instanceFolderPath();
    const QByteArray path = QFile::encodeName(folder);
    if (create && ::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::getuid() || (status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return std::nullopt;
    }
    return folder;
}

QString instanceSocketPath(const QString& folder, const QString& canonicalDevicePath) {
    return QDir(folder).filePath(
        QString::fromStdString(ctl::instanceSocketName(canonicalDevicePath.toStdString())));
}

}  // namespace tavero::qt
