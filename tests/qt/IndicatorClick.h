// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace tavero::qt {

/// Clicks a radio button or check box on its indicator: the middle of the widget lies on the
/// caption, which takes no clicks where the font has no glyphs for it.
inline void clickIndicator(QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    const QStyle::SubElement indicator = qobject_cast<QRadioButton*>(button) != nullptr
                                             ? QStyle::SE_RadioButtonIndicator
                                             : QStyle::SE_CheckBoxIndicator;
    const QRect area = button->style()->subElementRect(indicator, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, {}, area.center());
}

}  // namespace tavero::qt
