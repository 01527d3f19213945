// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>

#include "ctl/GeneratorSession.h"
#include "ctl/StreamMessageSink.h"
#include "model/GeneratorModel.h"

namespace tavero::link {
class TraceFile;
class UsbBridge;
}  // namespace tavero::link

namespace tavero::ctl {

/// A connection of the tool's own: connects on `open`, sends the disconnect notice (unless the
/// generator vanished) and closes the port when destroyed. Failures go to `errors`.
class OwnGeneratorSession final : public GeneratorSession {
public:
    /// @param diagnostics where the link prints received frames
    /// @param trace where the link appends what it sends; must outlive the session
    /// @param disconnectFailed set when the disconnect notice or the closing of the port fails,
    ///        after its message was written
    OwnGeneratorSession(link::UsbBridge& bridge, std::ostream& errors, std::ostream& diagnostics,
                        link::TraceFile& trace, bool& disconnectFailed);
    ~OwnGeneratorSession() override;

    OwnGeneratorSession(const OwnGeneratorSession&) = delete;
    OwnGeneratorSession& operator=(const OwnGeneratorSession&) = delete;

    bool open() override;
    bool readParameters() override;
    bool apply(const model::Edit& edit) override;
    bool sendFactoryReset() override;
    bool startBootloader() override;
    bool lost() const override { return model_.lost(); }
    const GeneratorSettings& settings() const override { return model_.settings(); }
    std::uint16_t firmwareVersion() const override { return model_.firmwareVersion(); }

private:
    model::Requester requester() { return {{model::FrontEnd::kCommandLine, "tavero-ctl"}, sink_}; }

    std::ostream& errors_;
    bool& disconnectFailed_;
    StreamMessageSink sink_;
    model::GeneratorModel model_;
};

}  // namespace tavero::ctl
