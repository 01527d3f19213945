// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/PictureWidget.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <cstdint>

namespace tavero::qt {
namespace {

// The digit is laid out on a grid of 12 × 20 units: the figure spans x 1..9 and y 1..19,
// the decimal point sits right of it at the baseline.
constexpr qreal kGridWidth = 12.0;
constexpr qreal kGridHeight = 20.0;
constexpr qreal kLeft = 1.5;
constexpr qreal kRight = 8.5;
constexpr qreal kTop = 1.5;
constexpr qreal kMiddle = 10.0;
constexpr qreal kBottom = 18.5;
constexpr qreal kThickness = 1.6;
constexpr qreal kGap = 0.25;

// Segments a..g in the usual order: top, upper right, lower right, bottom, lower left,
// upper left, middle.
constexpr std::array<std::uint8_t, 10> kSegmentsOfDigit = {
    0b0111111, 0b0000110, 0b1011011, 0b1001111, 0b1100110,
    0b1101101, 0b1111101, 0b0000111, 0b1111111, 0b1101111,
};

QPolygonF horizontalSegment(qreal x0, qreal x1, qreal y) {
    const qreal h = kThickness / 2;
    x0 += kGap;
    x1 -= kGap;
    return QPolygonF(
        {{x0, y}, {x0 + h, y - h}, {x1 - h, y - h}, {x1, y}, {x1 - h, y + h}, {x0 + h, y + h}});
}

QPolygonF verticalSegment(qreal x, qreal y0, qreal y1) {
    const qreal h = kThickness / 2;
    y0 += kGap;
    y1 -= kGap;
    return QPolygonF(
        {{x, y0}, {x + h, y0 + h}, {x + h, y1 - h}, {x, y1}, {x - h, y1 - h}, {x - h, y0 + h}});
}

const std::array<QPolygonF, 7>& segments() {
    static const std::array<QPolygonF, 7> kSegments = {
        horizontalSegment(kLeft, kRight, kTop),    verticalSegment(kRight, kTop, kMiddle),
        verticalSegment(kRight, kMiddle, kBottom), horizontalSegment(kLeft, kRight, kBottom),
        verticalSegment(kLeft, kMiddle, kBottom),  verticalSegment(kLeft, kTop, kMiddle),
        horizontalSegment(kLeft, kRight, kMiddle),
    };
    return kSegments;
}

void paintDigit(QPainter& painter, const QRectF& area, const res::Picture& picture) {
    const qreal scale = std::min(area.width() / kGridWidth, area.height() / kGridHeight);
    painter.translate(area.center().x() - scale * kGridWidth / 2,
                      area.center().y() - scale * kGridHeight / 2);
    painter.scale(scale, scale);
    // A slight slant, as on instrument displays.
    painter.shear(-0.06, 0);
    painter.translate(0.6, 0);

    const std::uint8_t lit =
        picture.kind() == res::Picture::Kind::Digit
            ? kSegmentsOfDigit.at(static_cast<std::size_t>(picture.digitValue()))
            : 0;
    for (std::size_t i = 0; i < segments().size(); ++i) {
        painter.setBrush((lit >> i) & 1U ? PictureWidget::litColor() : PictureWidget::darkColor());
        painter.drawPolygon(segments()[i]);
    }
    painter.setBrush(picture.hasDecimalPoint() ? PictureWidget::litColor()
                                               : PictureWidget::darkColor());
    painter.drawEllipse(QPointF(kRight + 1.7, kBottom), 0.9, 0.9);
}

constexpr qreal kDisabledOpacity = 0.3;

void paintLamp(QPainter& painter, const QRectF& area, bool on) {
    const qreal radius = std::min(area.width(), area.height()) / 2 - 1;
    QRadialGradient glow(area.center(), radius);
    glow.setColorAt(0, on ? QColor(170, 255, 170) : QColor(120, 120, 120));
    glow.setColorAt(1, on ? QColor(20, 170, 40) : QColor(60, 60, 60));
    painter.setBrush(glow);
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.drawEllipse(area.center(), radius, radius);
}

void paintLogo(QPainter& painter, const QRectF& area) {
    painter.setBrush(QColor(20, 40, 90));
    painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), 6, 6);
    QPainterPath wave;
    const QRectF inner =
        area.adjusted(area.width() / 8, area.height() / 4, -area.width() / 8, -area.height() / 4);
    wave.moveTo(inner.left(), inner.center().y());
    wave.cubicTo(inner.left() + inner.width() / 4, inner.top() - inner.height() / 2,
                 inner.left() + inner.width() / 4, inner.bottom() + inner.height() / 2,
                 inner.center().x(), inner.center().y());
    wave.cubicTo(inner.right() - inner.width() / 4, inner.top() - inner.height() / 2,
                 inner.right() - inner.width() / 4, inner.bottom() + inner.height() / 2,
                 inner.right(), inner.center().y());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(PictureWidget::litColor(), std::max(2.0, area.height() / 20)));
    painter.drawPath(wave);
}

}  // namespace

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
    // Clicks on pictures belong to the dialog underneath (digit stepping).
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QColor PictureWidget::litColor() {
    return {255, 45, 30};
}
QColor PictureWidget::darkColor() {
    return {58, 16, 14};
}
QColor PictureWidget::backgroundColor() {
    return {12, 8, 8};
}

void PictureWidget::setPicture(res::Picture picture) {
    if (picture != picture_) {
        picture_ = picture;
        update();
    }
}

void PictureWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF area = rect();
    switch (picture_.kind()) {
        case res::Picture::Kind::None:
            break;
        case res::Picture::Kind::Digit:
        case res::Picture::Kind::Blank:
            painter.fillRect(area, backgroundColor());
            // A disabled display shows a value no longer in effect: dimmed, not lit.
            painter.setOpacity(isEnabled() ? 1.0 : kDisabledOpacity);
            paintDigit(painter, area, picture_);
            break;
        case res::Picture::Kind::DecimalPoint: {
            painter.fillRect(area, backgroundColor());
            painter.setOpacity(isEnabled() ? 1.0 : kDisabledOpacity);
            painter.setBrush(litColor());
            const qreal radius = std::min(area.width(), area.height()) / 2;
            painter.drawEllipse(area.center(), radius, radius);
            break;
        }
        case res::Picture::Kind::UsbInactive:
        case res::Picture::Kind::UsbActive:
            paintLamp(painter, area, picture_.kind() == res::Picture::Kind::UsbActive);
            break;
        case res::Picture::Kind::Logo:
            paintLogo(painter, area);
            break;
    }
}

}  // namespace tavero::qt
