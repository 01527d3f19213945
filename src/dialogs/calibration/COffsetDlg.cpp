// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/calibration/COffsetDlg.h"

#include <array>
#include <cstdint>
#include <utility>

#include "dialogs/calibration/OutputLevel.h"
#include "res/OffsetTemplate.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

/// The level each button puts on the output stage.
constexpr std::array<std::pair<int, std::uint16_t>, 2> kLevelButtons = {{
    {res::offset::kMinimumAmplitude, kLevelLowestAmplitude},
    {res::offset::kMaximumAmplitude, kLevelHighestAmplitude},
}};

}  // namespace

int COffsetDlg::templateId() const {
    return res::offset::kDialogId;
}

void COffsetDlg::onCommand(int id) {
    for (const auto& [button, level] : kLevelButtons) {
        if (button == id) {
            GeneratorAccess access = generator();
            access.sendLevel(level);
        }
    }
}

void COffsetDlg::onCancel() {
    // The output goes back to the main window's amplitude; a failed command has shown its
    // message and does not keep the dialog open.
    GeneratorAccess access = generator();
    access.apply(model::Edit::resend("g"));
    window().endDialog(res::kIdCancel);
}

}  // namespace tavero::dialogs
