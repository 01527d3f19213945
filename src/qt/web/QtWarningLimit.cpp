// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/QtWarningLimit.h"

#include <QString>
#include <QtGlobal>
#include <chrono>
#include <mutex>
#include <optional>

#include "qt/network/LineLimiter.h"

namespace tavero::qt {

namespace {

/// Qt calls the handler from any thread.
std::mutex limitMutex;
std::optional<LineLimiter> limiter;
QtMessageHandler previousHandler = nullptr;

void limitedHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    {
        const std::lock_guard lock(limitMutex);
        if (limiter && (type == QtWarningMsg || type == QtCriticalMsg) &&
            !limiter->admit(message.toStdString(), std::chrono::steady_clock::now())) {
            return;
        }
    }
    // Qt hands out its default handler as the previous one when none was installed.
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    }
}

}  // namespace

QtWarningLimit::QtWarningLimit() {
    const std::lock_guard lock(limitMutex);
    limiter.emplace();
    previousHandler = qInstallMessageHandler(limitedHandler);
}

QtWarningLimit::~QtWarningLimit() {
    qInstallMessageHandler(previousHandler);
    const std::lock_guard lock(limitMutex);
    limiter.reset();
}

}  // namespace tavero::qt
