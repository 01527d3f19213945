// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <optional>

#include "app/RemoteControlWindow.h"
#include "qt/remote/RemoteOptions.h"

namespace tavero::qt {

class QtHost;
class WindowRemoteServices;

/// Shows the remote control dialog modally over the window in front, with what `store`
/// remembers; on OK starts the services it asks for in place of those running, and remembers
/// it. A start that fails is told and the dialog shown again.
class QtRemoteControlWindow final : public app::RemoteControlWindow {
public:
    /// All must outlive it.
    QtRemoteControlWindow(QtHost& host, WindowRemoteServices& services, QSettings& store)
        : host_(host), services_(services), store_(store) {}

    /// At the window's start: the services of `tavero --serve` when given, else those `store`
    /// remembers, whose failure is only said on the services' `errors`. The exit status of a
    /// --serve that could not start, else 0.
    int startAtLaunch(const std::optional<RemoteOptions>& serve);
    void run() override;

private:
    QtHost& host_;
    WindowRemoteServices& services_;
    QSettings& store_;
};

}  // namespace tavero::qt
