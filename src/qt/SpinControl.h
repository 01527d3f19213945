// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

namespace tavero::qt {

/// A pair of up/down arrow buttons holding a position within a range, without a text field of
/// its own (its buddy edit shows the value, as the logic writes it).
class SpinControl : public QWidget {
    Q_OBJECT

public:
    explicit SpinControl(QWidget* parent);

    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    /// Kept within the range; does not emit stepped.
    void setPosition(int position);
    int position() const { return position_; }

    /// Moves by `steps` within the range (as the arrows do) and emits stepped.
    void step(int steps);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    /// After every arrow click or step, also when a limit kept the position.
    void stepped(int position);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};

}  // namespace tavero::qt
