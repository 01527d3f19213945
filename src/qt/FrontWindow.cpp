// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/FrontWindow.h"

#include <QApplication>
#include <QWidget>

namespace tavero::qt {

bool bringWindowsToFront() {
    QWidget* front = QApplication::activeModalWidget();
    bool shown = false;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) {
            continue;
        }
        shown = true;
        if (window->isMinimized()) {
            window->showNormal();
        }
        window->raise();
        if (front == nullptr) {
            front = window;
        }
    }
    if (front != nullptr) {
        front->raise();
        front->activateWindow();
    }
    return shown;
}

}  // namespace tavero::qt
