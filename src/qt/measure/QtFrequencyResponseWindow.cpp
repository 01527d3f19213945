// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/measure/QtFrequencyResponseWindow.h"

#include "qt/QtHost.h"
#include "qt/measure/FrequencyResponseDialog.h"

namespace tavero::qt {

void QtFrequencyResponseWindow::run(measure::SignalSource& source) {
    FrequencyResponseDialog dialog(source, host_.frontWidget());
    dialog.exec();
}

}  // namespace tavero::qt
