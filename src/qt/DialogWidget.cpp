// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/DialogWidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace tavero::qt {

DialogWidget::DialogWidget(Events& events, QWidget* parent)
    : QDialog(parent), events_(events), clientArea_(new QWidget(this)) {
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(clientArea_);
    clientArea_->installEventFilter(this);
    installEventFilter(this);
}

void DialogWidget::setMenuBar(QMenuBar* menuBar) {
    // Keep the menu inside the window on every platform: the dialog is the program's window.
    menuBar->setNativeMenuBar(false);
    layout()->setMenuBar(menuBar);
}

void DialogWidget::watchKeys(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        // Popups (a drop-down list's open list) keep their own Enter and Escape.
        if (!child->isWindow()) {
            child->installEventFilter(this);
        }
    }
}

bool DialogWidget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return events_.keyPressed(watched, static_cast<QKeyEvent*>(event));
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (watched == clientArea_) {
                events_.mousePressed(static_cast<QMouseEvent*>(event));
                return true;
            }
            return false;
        case QEvent::Wheel:
            if (watched == clientArea_) {
                events_.wheelTurned(static_cast<QWheelEvent*>(event));
                return true;
            }
            return false;
        default:
            return false;
    }
}

void DialogWidget::closeEvent(QCloseEvent* event) {
    events_.closeBoxPressed();
    // The logic decides: the window goes only if it ended the dialog.
    event->setAccepted(isHidden());
}

void DialogWidget::reject() {
    events_.escapePressed();
}

}  // namespace tavero::qt
