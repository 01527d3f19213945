// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIconEngine>
#include <QStyle>

namespace tavero::qt {

/// An arrow icon drawn as a triangle in proportion to the size it is painted at, in the
/// palette's button text colour. The style's standard arrow icons are pictures, and reading
/// the first picture loads every image-format plugin: most of what the main window cost at
/// start beyond its widgets.
class ArrowIconEngine final : public QIconEngine {
public:
    /// @param arrow QStyle::PE_IndicatorArrowUp, or any other for an arrow pointing down
    explicit ArrowIconEngine(QStyle::PrimitiveElement arrow) : arrow_(arrow) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;

private:
    QStyle::PrimitiveElement arrow_;
};

}  // namespace tavero::qt
