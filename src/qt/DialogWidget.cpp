// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/DialogWidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace tavero::qt {

DialogWidget::DialogWidget(Events& events, QWidget* parent)
    : QDialog(parent),
      events_(events),
      clientArea_(new QWidget(this)),
      scrollArea_(new QScrollArea(this)) {
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    scrollArea_->setFrameShape(QFrame::NoFrame);
    // The view shows no focus and takes no keys: the Tab chain runs through its controls only.
    scrollArea_->setFocusPolicy(Qt::NoFocus);
    scrollArea_->setWidget(clientArea_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(scrollArea_);
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

void DialogWidget::setVisible(bool visible) {
    if (visible) {
        fitToScreen();
    }
    QDialog::setVisible(visible);
}

void DialogWidget::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (!isVisible() || frame() == fittedFrame_) {
        return;
    }
    fitToScreen();
    layout()->activate();
    const QRect room = screen()->availableGeometry();
    QRect placed = frameGeometry();
    placed.moveBottom(std::min(placed.bottom(), room.bottom()));
    placed.moveRight(std::min(placed.right(), room.right()));
    placed.moveTop(std::max(placed.top(), room.top()));
    placed.moveLeft(std::max(placed.left(), room.left()));
    if (placed.topLeft() != frameGeometry().topLeft()) {
        move(placed.topLeft());
    }
}

QMargins DialogWidget::frame() const {
    if (!isVisible()) {
        return {4, style()->pixelMetric(QStyle::PM_TitleBarHeight), 4, 4};
    }
    return {geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
            frameGeometry().right() - geometry().right(),
            frameGeometry().bottom() - geometry().bottom()};
}

void DialogWidget::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const QSize room = size() - QSize(0, menuHeight());
    const QSize view = scrollArea_->size();
    if (event->spontaneous() && isVisible() &&
        (view.width() > room.width() || view.height() > room.height())) {
        fitTo(room);
    }
}

int DialogWidget::menuHeight() const {
    const QWidget* menu = layout()->menuBar();
    return menu != nullptr ? menu->sizeHint().height() : 0;
}

void DialogWidget::fitToScreen() {
    fittedFrame_ = frame();
    fitTo(screen()->availableGeometry().size().shrunkBy(fittedFrame_) - QSize(0, menuHeight()));
}

void DialogWidget::fitTo(QSize room) {
    const QSize client = clientArea_->size();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    bool vertical = client.height() > room.height();
    const bool horizontal = client.width() + (vertical ? bar : 0) > room.width();
    vertical = vertical || client.height() + (horizontal ? bar : 0) > room.height();
    const QSize view(client.width() + (vertical ? bar : 0),
                     client.height() + (horizontal ? bar : 0));
    scrollArea_->setFixedSize(view.boundedTo(room.expandedTo(QSize(bar * 4, bar * 4))));
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
