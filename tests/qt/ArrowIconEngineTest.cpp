// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <optional>

#include "qt/ArrowIconEngine.h"

namespace tavero::qt {
namespace {

/// Where the arrow's ink is widest, relative to the middle of the ink's height: below for an
/// arrow pointing up, above for one pointing down. Nothing when no pixel was painted.
std::optional<bool> widestRowBelowMiddle(const QImage& image) {
    int top = -1;
    int bottom = -1;
    int widestRow = -1;
    int widest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int ink = 0;
        for (int x = 0; x < image.width(); ++x) {
            ink += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
        if (ink > 0) {
            top = top < 0 ? y : top;
            bottom = y;
        }
        if (ink > widest) {
            widest = ink;
            widestRow = y;
        }
    }
    if (widestRow < 0) {
        return std::nullopt;
    }
    return 2 * widestRow > top + bottom;
}

TEST(ArrowIconEngineTest, DrawsTheArrowPointingItsWayInEveryMode) {
    struct Case {
        QStyle::PrimitiveElement arrow;
        QIcon::Mode mode;
        bool pointsUp;
    };
    for (const Case& c : {Case{QStyle::PE_IndicatorArrowUp, QIcon::Normal, true},
                          Case{QStyle::PE_IndicatorArrowUp, QIcon::Disabled, true},
                          Case{QStyle::PE_IndicatorArrowDown, QIcon::Normal, false},
                          Case{QStyle::PE_IndicatorArrowDown, QIcon::Disabled, false}}) {
        const QIcon icon(new ArrowIconEngine(c.arrow));
        const QImage image = icon.pixmap(QSize(32, 32), c.mode).toImage();
        EXPECT_EQ(image.size(), QSize(32, 32));
        EXPECT_EQ(widestRowBelowMiddle(image), std::optional<bool>(c.pointsUp))
            << "arrow " << c.arrow << ", mode " << c.mode;
    }
}

}  // namespace
}  // namespace tavero::qt
