// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/RequestHeadScan.h"

#include <QList>
#include <algorithm>

namespace tavero::qt {

void RequestHeadScan::feed(QByteArrayView bytes) {
    if (complete_ || head_.size() >= kMaxHeadBytes) {
        return;
    }
    head_.append(bytes.first(std::min(bytes.size(), kMaxHeadBytes - head_.size())));
    qsizetype end = head_.indexOf("\r\n\r\n");
    if (end < 0) {
        end = head_.indexOf("\n\n");
    }
    if (end >= 0) {
        head_.truncate(end);
        complete_ = true;
    }
}

std::optional<qint64> RequestHeadScan::bodyLength() const {
    if (!complete_) {
        return std::nullopt;
    }
    for (const QByteArray& line : head_.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed().toLower() != "content-length") {
            continue;
        }
        bool isNumber = false;
        const qint64 length = line.mid(colon + 1).trimmed().toLongLong(&isNumber);
        return isNumber && length >= 0 ? std::optional(length) : std::nullopt;
    }
    return std::nullopt;
}

void RequestHeadScan::clear() {
    head_.clear();
    complete_ = false;
}

}  // namespace tavero::qt
