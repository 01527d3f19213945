// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/ArrowIconEngine.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <algorithm>

namespace tavero::qt {

namespace {

/// The arrow's width as a share of the smaller side of the rectangle it is drawn in; its
/// height is half its width.
constexpr qreal kArrowWidthShare = 0.75;

}  // namespace

void ArrowIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                            QIcon::State /*state*/) {
    // Drawn at the size asked for: a style's arrow primitive keeps a size of its own, a few
    // pixels wide in a large button.
    const QPalette::ColorGroup group =
        mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
    const qreal width = kArrowWidthShare * std::min(rect.width(), rect.height());
    const qreal height = width / 2;
    const QPointF centre = QRectF(rect).center();
    const qreal tip = arrow_ == QStyle::PE_IndicatorArrowUp ? -height / 2 : height / 2;
    const QPolygonF triangle = {centre + QPointF(-width / 2, -tip),
                                centre + QPointF(width / 2, -tip), centre + QPointF(0, tip)};
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QApplication::palette().color(group, QPalette::ButtonText));
    painter->drawPolygon(triangle);
    painter->restore();
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
