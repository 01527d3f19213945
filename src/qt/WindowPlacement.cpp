// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace tavero::qt {
namespace {

const QString kLastScreen = QStringLiteral("window/lastScreen");

/// A screen is known by its name and size: the same connector with another monitor is another.
QString screenKey(const QScreen& screen) {
    const QRect geometry = screen.geometry();
    return QStringLiteral("window/%1 %2x%3/position")
        .arg(screen.name())
        .arg(geometry.width())
        .arg(geometry.height());
}

/// How much of the title bar must be on the screen for the place to count as visible, in pixels.
constexpr int kVisibleWidth = 120;
constexpr int kVisibleHeight = 24;

}  // namespace

void restorePlacement(QWidget& window) {
    const QSettings stored(QStringLiteral("Tavero"), QStringLiteral("Tavero"));
    const QString last = stored.value(kLastScreen).toString();
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto screen = std::find_if(screens.begin(), screens.end(),
                                     [&](const QScreen* s) { return screenKey(*s) == last; });
    if (screen == screens.end()) {
        return;
    }
    const QVariant position = stored.value(last);
    if (!position.canConvert<QPoint>()) {
        return;
    }
    const QPoint topLeft = position.toPoint();
    const QRect titleBar(topLeft, QSize(std::min(kVisibleWidth, window.width()), kVisibleHeight));
    if ((*screen)->availableGeometry().contains(titleBar)) {
        window.move(topLeft);
    }
}

void savePlacement(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    QSettings stored(QStringLiteral("Tavero"), QStringLiteral("Tavero"));
    const QString key = screenKey(*screen);
    stored.setValue(key, window.frameGeometry().topLeft());
    stored.setValue(kLastScreen, key);
    stored.sync();
    if (stored.status() != QSettings::NoError) {
        qWarning("the window's place could not be stored in %s", qPrintable(stored.fileName()));
    }
}

}  // namespace tavero::qt
