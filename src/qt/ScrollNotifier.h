// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>

#include "ui/ScrollCode.h"

class QAbstractSlider;

namespace tavero::qt {

/// Turns what a slider (trackbar) or scroll bar does into the scroll notifications the logic
/// expects: line, page, top and bottom for clicks and keys, ThumbTrack while the thumb is
/// dragged, ThumbPosition when it is let go, EndScroll when the key or mouse button is
/// released. The mouse wheel passes over the control to the dialog.
class ScrollNotifier : public QObject {
public:
    using Notify = std::function<void(ui::ScrollCode code, int position)>;

    /// @param movesItself a trackbar moves with its own actions; a scroll bar stays where the
    ///        logic put it and only reports where the user wanted it
    ScrollNotifier(QAbstractSlider* slider, bool movesItself, Notify notify);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void actionTriggered(int action);

    QAbstractSlider* slider_;
    bool movesItself_;
    Notify notify_;
};

}  // namespace tavero::qt
