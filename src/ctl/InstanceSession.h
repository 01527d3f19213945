// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "ctl/GeneratorSession.h"
#include "ctl/InstanceChannel.h"
#include "ctl/InstanceProtocol.h"

namespace tavero::ctl {

/// The generator that another program of the user holds, reached through it: its model
/// carries out each request as the command line's. The factory reset goes through it; the
/// bootloader is refused, as it would end that program's connection behind its back.
/// Failures go to `errors` with the texts a connection of the tool's own writes.
class InstanceSession final : public GeneratorSession {
public:
    /// @param device the canonical path of the device the tool means
    InstanceSession(std::unique_ptr<InstanceChannel> channel, std::string device,
                    std::ostream& errors);

    /// Greets the holder and learns who it is, without touching the generator; false after
    /// the message.
    bool introduce();
    bool open() override;
    bool readParameters() override;
    bool apply(const model::Edit& edit) override;
    bool sendFactoryReset() override;
    bool startBootloader() override;
    bool lost() const override { return outcome_.lost; }
    const GeneratorSettings& settings() const override { return outcome_.settings; }
    std::uint16_t firmwareVersion() const override { return outcome_.firmwareVersion; }

    /// Who holds the generator, once introduced.
    const std::optional<HolderIdentity>& holder() const { return holder_; }
    /// Asks the holder to bring its window to the front; whether it did.
    bool raise();

private:
    /// Sends a request and takes its answer: the messages go to `errors`, the outcome is kept.
    bool request(const InstanceLine& line);
    /// The next line of an answer, parsed; nothing after saying what went wrong.
    std::optional<InstanceLine> next(std::chrono::steady_clock::time_point deadline);
    /// "tavero-ctl serve (process 1234)", or the process alone before the welcome.
    std::string holderName() const;
    /// Ends the conversation after a failure of the holder or the channel.
    bool fail(const std::string& what);

    std::unique_ptr<InstanceChannel> channel_;
    std::string device_;
    std::ostream& errors_;
    std::optional<HolderIdentity> holder_;
    InstanceOutcome outcome_;
};

}  // namespace tavero::ctl
