// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <ostream>
#include <string>

#include "model/GeneratorModel.h"

namespace tavero::qt {

/// Lets tavero-ctl reach the generator this program holds: while the model is connected, it
/// listens on a local socket named after the device, in the user's own folder, and carries
/// out the requests of each tavero-ctl on the model as the command line's.
class InstanceHolder final : private model::GeneratorObserver {
public:
    struct Identity {
        std::string program;  ///< names this program to the user: "tavero", "tavero-ctl serve"
        /// The canonical path of the device the model holds; empty for none, as for the
        /// simulated generator, which nobody else can reach.
        std::function<QString()> devicePath;
        /// Brings the program's window to the front, whether it could; null without a window.
        std::function<bool()> raise;
    };

    /// @param errors one line when the socket cannot be opened; the program goes on without it
    InstanceHolder(model::GeneratorModel& generator, Identity identity, std::ostream& errors);
    ~InstanceHolder();

    InstanceHolder(const InstanceHolder&) = delete;
    InstanceHolder& operator=(const InstanceHolder&) = delete;

private:
    void connectionChanged(const model::ConnectionNotice& notice) override;
    void listen();
    void takeClients();
    /// Says once why tavero-ctl cannot reach this program.
    void warn(const std::string& why);

    model::GeneratorModel& generator_;
    Identity identity_;
    std::ostream& errors_;
    QLocalServer server_;
    /// The context of the clients' connections: gone before the server and its sockets, so
    /// that no client is heard from while this object ends.
    QObject clientContext_;
    int clients_ = 0;
    bool warned_ = false;
};

}  // namespace tavero::qt
