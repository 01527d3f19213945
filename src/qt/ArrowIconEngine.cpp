// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/ArrowIconEngine.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>

namespace tavero::qt {

void ArrowIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                            QIcon::State /*state*/) {
    QStyleOption option;
    option.rect = rect;
    option.palette = QApplication::palette();
    if (mode == QIcon::Disabled) {
        option.palette.setCurrentColorGroup(QPalette::Disabled);
    } else {
        option.state = QStyle::State_Enabled;
    }
    QApplication::style()->drawPrimitive(arrow_, &option, painter);
}

QPixmap ArrowIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, pixmap.rect(), mode, state);
    return pixmap;
}

QIconEngine* ArrowIconEngine::clone() const {
    return new ArrowIconEngine(arrow_);
}

}  // namespace tavero::qt
