// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "res/Picture.h"

namespace tavero::qt {

/// Draws a res::Picture to fill the widget: seven-segment digits like a bench instrument's
/// display, the USB lamp, the product logo. Painted with vectors, so it is crisp at any size.
class PictureWidget : public QWidget {
    Q_OBJECT

public:
    explicit PictureWidget(QWidget* parent);

    void setPicture(res::Picture picture);
    res::Picture picture() const { return picture_; }

    /// Colours of the digit display.
    static QColor litColor();
    static QColor darkColor();
    static QColor backgroundColor();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    res::Picture picture_;
};

}  // namespace tavero::qt
