// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CTaveroApp.h"

#include "ui/Host.h"

namespace tavero::app {

void CTaveroApp::run(bool connectAtStart) {
    if (connectAtStart) {
        mainWindow_.connectWhenShown();
    }
    host_.runModal(mainWindow_);
}

}  // namespace tavero::app
