// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/SpinControl.h"

#include <QToolButton>
#include <algorithm>

namespace tavero::qt {
namespace {

QToolButton* arrowButton(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    // The arrows leave the keyboard focus in the buddy edit.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

SpinControl::SpinControl(QWidget* parent)
    : QWidget(parent),
      up_(arrowButton(this, Qt::UpArrow)),
      down_(arrowButton(this, Qt::DownArrow)) {
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void SpinControl::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
}

void SpinControl::setPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
}

void SpinControl::step(int steps) {
    setPosition(position_ + steps);
    emit stepped(position_);
}

void SpinControl::resizeEvent(QResizeEvent* /*event*/) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace tavero::qt
