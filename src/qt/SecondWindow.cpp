// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/SecondWindow.h"

#include <memory>

#include "ctl/HolderNotice.h"
#include "link/Connection.h"
#include "qt/instance/HeldGenerator.h"

namespace tavero::qt {

bool tellWhoHoldsTheGenerator(ui::Host& host, const QStringList& devicePaths) {
    const std::unique_ptr<ctl::InstanceSession> holder = introduceHolder(devicePaths);
    if (!holder) {
        return false;
    }
    const ctl::HolderNotice notice = ctl::holderNotice(*holder->holder());
    if (host.messageBox(notice.text, link::kConnectionErrorCaption,
                        notice.asksToRaise ? ui::Icon::Question : ui::Icon::Warning,
                        notice.asksToRaise ? ui::Buttons::YesNo : ui::Buttons::Ok) ==
        ui::Answer::Yes) {
        holder->raise();
    }
    return true;
}

}  // namespace tavero::qt
