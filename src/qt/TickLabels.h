// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>

class QLabel;
class QSlider;

namespace tavero::qt {

/// Keeps a trackbar's scale labels centred on the ticks they name, wherever the style draws
/// them: the labels span the range evenly from its minimum, and move along when the range or
/// the trackbar's size changes. Lives as long as the trackbar.
class TickLabels final : public QObject {
public:
    TickLabels(QSlider* slider, QList<QLabel*> labels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QSlider* slider_;
    QList<QLabel*> labels_;
};

}  // namespace tavero::qt
