// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/GeneratorSession.h"

#include "link/Connection.h"

namespace tavero::ctl {

GeneratorSession::GeneratorSession(link::UsbBridge& bridge, std::ostream& errors,
                                   std::ostream& diagnostics, link::TraceFile& trace,
                                   bool& disconnectFailed)
    : errors_(errors),
      disconnectFailed_(disconnectFailed),
      sink_(errors),
      port_(bridge),
      link_(trace, diagnostics),
      commands_(port_, link_, sink_) {}

GeneratorSession::~GeneratorSession() {
    if (!connected_) {
        return;
    }
    // A vanished generator can not hear the notice; its failure would only add a message. A
    // refused notice has already written its message; a failed close has not.
    const link::DisconnectResult result =
        lost() ? link::DisconnectResult{.notified = true, .closed = port_.Close()}
               : link::disconnectGenerator(port_, commands_);
    if (!result.closed) {
        errors_ << link::kCloseFailedText << '\n';
    }
    disconnectFailed_ = disconnectFailed_ || !result.notified || !result.closed;
}

bool GeneratorSession::open() {
    switch (link::connectGenerator(port_, link_, commands_)) {
        case link::ConnectResult::kConnected:
            connected_ = true;
            return true;
        case link::ConnectResult::kNoDevice:
            errors_ << link::kConnectFailedText << '\n';
            return false;
        case link::ConnectResult::kHandshakeFailed:
            return false;
    }
    return false;
}

bool GeneratorSession::readParameters() {
    return commands_.ReadParameters(settings, firmwareVersion);
}

bool GeneratorSession::startBootloader() {
    if (!commands_.StartBootloader()) {
        return false;
    }
    connected_ = false;
    if (!port_.Close()) {
        errors_ << link::kCloseFailedText << '\n';
        disconnectFailed_ = true;
    }
    return true;
}

}  // namespace tavero::ctl
