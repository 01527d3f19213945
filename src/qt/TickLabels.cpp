// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/TickLabels.h"

#include <QEvent>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

namespace tavero::qt {

TickLabels::TickLabels(QSlider* slider, QList<QLabel*> labels)
    : QObject(slider), slider_(slider), labels_(std::move(labels)) {
    connect(slider_, &QSlider::rangeChanged, this, &TickLabels::place);
    slider_->installEventFilter(this);
    place();
}

bool TickLabels::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
        event->type() == QEvent::StyleChange) {
        place();
    }
    return false;
}

void TickLabels::place() {
    if (labels_.size() < 2) {
        return;
    }
    QStyleOptionSlider option;
    option.initFrom(slider_);
    option.orientation = slider_->orientation();
    option.minimum = slider_->minimum();
    option.maximum = slider_->maximum();
    const bool vertical = slider_->orientation() == Qt::Vertical;
    // As the styles draw ticks: the handle's middle at each value, the handle's length apart
    // from both ends.
    const int handle = slider_->style()->pixelMetric(QStyle::PM_SliderLength, &option, slider_);
    const int length = vertical ? slider_->height() : slider_->width();
    const bool upsideDown = vertical ? !slider_->invertedAppearance()
                                     : slider_->invertedAppearance() != slider_->isRightToLeft();
    const qsizetype last = labels_.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        const int value =
            slider_->minimum() + static_cast<int>(static_cast<qint64>(i) *
                                                  (slider_->maximum() - slider_->minimum()) / last);
        const int tick = QStyle::sliderPositionFromValue(slider_->minimum(), slider_->maximum(),
                                                         value, length - handle, upsideDown) +
                         handle / 2;
        QLabel* label = labels_[i];
        if (vertical) {
            label->move(label->x(), slider_->y() + tick - label->height() / 2);
        } else {
            label->move(slider_->x() + tick - label->width() / 2, label->y());
        }
    }
}

}  // namespace tavero::qt
