// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/about/CAboutDlg.h"

#include "core/NumberText.h"
#include "res/AboutTemplate.h"
#include "ui/Window.h"

namespace tavero::dialogs {

int CAboutDlg::templateId() const {
    return res::kAboutId;
}

void CAboutDlg::onInit() {
    window().setText(res::kAboutFirmwareLabel,
                     connected_ ? "Firmwareversion " + formatFixed(firmwareVersion_ / 100.0, 2)
                                : "Firmwareversion ??? (keine USB-Verbindung)");
}

}  // namespace tavero::dialogs
