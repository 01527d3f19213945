// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QPoint>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "qt/WindowPlacement.h"

namespace tavero::qt {
namespace {

TEST(WindowPlacementTest, TheWindowOpensWhereItClosedWhileThatPlaceIsOnTheScreen) {
    struct Case {
        const char* name;
        QPoint closedAt;
        bool restored;
    };
    QWidget probe;
    const QRect room = probe.screen()->availableGeometry();
    const std::vector<Case> cases = {
        {"on the screen", room.topLeft() + QPoint(40, 30), true},
        {"title bar off the bottom edge", QPoint(room.left() + 40, room.bottom() - 5), false},
        {"off the left edge", QPoint(room.left() - 200, room.top() + 30), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget closed;
        closed.resize(300, 200);
        closed.move(c.closedAt);
        savePlacement(closed);

        QWidget opened;
        opened.resize(300, 200);
        const QPoint placedByDefault = opened.pos();
        restorePlacement(opened);
        EXPECT_EQ(opened.pos(), c.restored ? c.closedAt : placedByDefault);
    }
}

}  // namespace
}  // namespace tavero::qt
