// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/ScrollNotifier.h"

#include <QAbstractSlider>
#include <QKeyEvent>
#include <array>
#include <utility>

namespace tavero::qt {
namespace {

using ui::ScrollCode;

constexpr std::array<std::pair<QAbstractSlider::SliderAction, ScrollCode>, 7> kCodes = {{
    {QAbstractSlider::SliderSingleStepSub, ScrollCode::LineUp},
    {QAbstractSlider::SliderSingleStepAdd, ScrollCode::LineDown},
    {QAbstractSlider::SliderPageStepSub, ScrollCode::PageUp},
    {QAbstractSlider::SliderPageStepAdd, ScrollCode::PageDown},
    {QAbstractSlider::SliderToMinimum, ScrollCode::Top},
    {QAbstractSlider::SliderToMaximum, ScrollCode::Bottom},
    {QAbstractSlider::SliderMove, ScrollCode::ThumbTrack},
}};

bool isScrollKey(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
    }
}

}  // namespace

ScrollNotifier::ScrollNotifier(QAbstractSlider* slider, bool movesItself, Notify notify)
    : QObject(slider), slider_(slider), movesItself_(movesItself), notify_(std::move(notify)) {
    connect(slider, &QAbstractSlider::actionTriggered, this,
            [this](int action) { actionTriggered(action); });
    connect(slider, &QAbstractSlider::sliderReleased, this, [this] {
        notify_(ScrollCode::ThumbPosition, slider_->sliderPosition());
        notify_(ScrollCode::EndScroll, slider_->sliderPosition());
    });
    slider->installEventFilter(this);
}

void ScrollNotifier::actionTriggered(int action) {
    for (const auto& [sliderAction, code] : kCodes) {
        if (sliderAction != action) {
            continue;
        }
        if (movesItself_ || code == ScrollCode::ThumbTrack) {
            notify_(code, slider_->sliderPosition());
        } else {
            // The slider has already taken its own step; a scroll bar waits for the logic.
            slider_->setSliderPosition(slider_->value());
            notify_(code, slider_->value());
        }
        return;
    }
}

bool ScrollNotifier::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        // The wheel belongs to the dialog (the main window steps its digits with it): left
        // unaccepted, it travels on to the client area.
        event->ignore();
        return true;
    }
    // A release after a thumb drag ends with sliderReleased instead.
    const bool mouseReleased =
        event->type() == QEvent::MouseButtonRelease && !slider_->isSliderDown();
    const bool keyReleased = event->type() == QEvent::KeyRelease &&
                             !static_cast<QKeyEvent*>(event)->isAutoRepeat() &&
                             isScrollKey(static_cast<QKeyEvent*>(event)->key());
    if (mouseReleased || keyReleased) {
        notify_(ScrollCode::EndScroll, slider_->sliderPosition());
    }
    return false;
}

}  // namespace tavero::qt
