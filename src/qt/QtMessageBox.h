// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/MessageBox.h"

class QWidget;

namespace tavero::qt {

/// Shows a QMessageBox with the German button texts ("OK", "Abbrechen", "Ja", "Nein") and
/// waits for its answer. The first button is the default. Closing the box otherwise (Escape,
/// close box) answers Cancel where there is one, else No, else OK.
ui::Answer execMessageBox(QWidget* parent, const ui::MessageBoxRequest& box);

}  // namespace tavero::qt
