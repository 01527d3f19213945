// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Edit.h"
#include "model/Origin.h"

namespace tavero::model {

/// What a change did to the record.
struct SettingsNotice {
    FieldSet fields;       ///< whose values changed; none when only commands were sent again
    const Origin& origin;  ///< who changed them
    bool taken;            ///< every exchange of the change succeeded
};

enum class ConnectionEvent : std::uint8_t {
    kConnected,     ///< the connect notice was taken; the record is read next
    kDisconnected,  ///< closed on request
    kLost,          ///< the generator vanished (cable pulled, power lost); the port is closed
};

struct ConnectionNotice {
    ConnectionEvent event;
    const Origin& origin;  ///< who connected or disconnected; kGenerator for a loss
};

/// A view of the generator model. Notifications come on the model's thread, inside the call
/// that caused them: an observer updates what it shows and returns; anything that waits for a
/// person (a message box) it defers, since the change may come from another front end's
/// request.
class GeneratorObserver {
public:
    virtual void settingsChanged(const SettingsNotice& /*notice*/) {}
    virtual void connectionChanged(const ConnectionNotice& /*notice*/) {}
    /// The lock, the lockout or the local override changed; see GeneratorModel::remoteControl().
    virtual void remoteControlChanged() {}

protected:
    ~GeneratorObserver() = default;
};

}  // namespace tavero::model
