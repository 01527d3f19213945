// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/ControlTemplate.h"
#include "ui/Geometry.h"

class QPushButton;
class QString;
class QWidget;

namespace tavero::qt {

/// Creates the widget of one control on the client area: the Qt class that fits its kind,
/// placed by its dialog units, named by its id (objectName "1009"), styled by its flags, font
/// and colour. Buttons never become default buttons on their own: Enter is the window's.
QWidget* createControl(const res::ControlTemplate& control, QWidget* clientArea,
                       const ui::PixelScale& scale);

/// Sets the caption of a button made by createControl. A multi-line button shows it broken at
/// the blank nearest to its middle; a button with an icon shows the icon alone. The caption is
/// the logic's German text; the button shows its translation.
void setButtonCaption(QPushButton* button, const res::ControlTemplate& control,
                      const QString& caption);
/// The caption as set, whatever the button shows.
QString buttonCaption(const QPushButton* button);

}  // namespace tavero::qt
