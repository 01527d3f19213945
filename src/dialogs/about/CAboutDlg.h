// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "ui/Dialog.h"

namespace tavero::dialogs {

/// The About box: the product, the program version and the firmware version last read.
class CAboutDlg final : public ui::Dialog {
public:
    /// @param firmwareVersion in hundredths, as the last parameter read delivered it
    CAboutDlg(std::uint16_t firmwareVersion, const bool& connected)
        : firmwareVersion_(firmwareVersion), connected_(connected) {}

    int templateId() const override;
    void onInit() override;

private:
    std::uint16_t firmwareVersion_;
    const bool& connected_;
};

}  // namespace tavero::dialogs
