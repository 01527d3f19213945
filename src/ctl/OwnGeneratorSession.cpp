// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/OwnGeneratorSession.h"

#include "link/Connection.h"

namespace tavero::ctl {

OwnGeneratorSession::OwnGeneratorSession(link::UsbBridge& bridge, std::ostream& errors,
                                         std::ostream& diagnostics, link::TraceFile& trace,
                                         bool& disconnectFailed)
    : errors_(errors),
      disconnectFailed_(disconnectFailed),
      sink_(errors),
      model_(bridge, trace, diagnostics) {}

OwnGeneratorSession::~OwnGeneratorSession() {
    // A vanished generator has been closed already and can not hear the notice. A refused
    // notice has written its message; a failed close has not.
    if (!model_.connected()) {
        return;
    }
    const link::DisconnectResult result = model_.disconnect(requester());
    if (!result.closed) {
        errors_ << link::kCloseFailedText << '\n';
    }
    disconnectFailed_ = disconnectFailed_ || !result.notified || !result.closed;
}

bool OwnGeneratorSession::open() {
    switch (model_.connect(requester())) {
        case link::ConnectResult::kConnected:
            return true;
        case link::ConnectResult::kNoDevice:
            errors_ << link::kConnectFailedText << '\n';
            return false;
        case link::ConnectResult::kHandshakeFailed:
            return false;
    }
    return false;
}

bool OwnGeneratorSession::readParameters() {
    return model_.readParameters(requester());
}

bool OwnGeneratorSession::apply(const model::Edit& edit) {
    return model_.apply(edit, requester());
}

bool OwnGeneratorSession::sendFactoryReset() {
    return model_.sendFactoryReset(requester());
}

bool OwnGeneratorSession::startBootloader() {
    if (!model_.startBootloader(requester())) {
        return false;
    }
    if (!model_.closeWithoutNotice({model::FrontEnd::kCommandLine, "tavero-ctl"})) {
        errors_ << link::kCloseFailedText << '\n';
        disconnectFailed_ = true;
    }
    return true;
}

}  // namespace tavero::ctl
