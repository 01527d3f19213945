// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavero::app {

/// The remote control dialog ("Fernsteuerung…"): the window system shows it modally, starts
/// or ends the network services as it is told there, and returns once it is closed.
class RemoteControlWindow {
public:
    virtual ~RemoteControlWindow() = default;
    virtual void run() = 0;
};

}  // namespace tavero::app
