// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ctl/InstanceProtocol.h"
#include "model/GeneratorModel.h"

namespace tavero::ctl {

/// One tavero-ctl that reached the program holding the generator: carries out its requests on
/// that program's model as the command line's, so that the program's other views show them.
class InstanceConversation {
public:
    /// @param raise brings the holder's window to the front; whether it could. Null without a
    ///        window.
    InstanceConversation(model::GeneratorModel& generator, HolderIdentity holder,
                         std::function<bool()> raise);

    /// The answer to one request line (without its LF), each of its lines ended by LF.
    std::string answer(std::string_view request);
    /// Whether a request was refused: the holder closes the connection after the answer.
    bool ended() const { return ended_; }

private:
    class Messages;
    bool hello(const InstanceLine& request, Messages& messages);
    bool open(const InstanceLine& request, Messages& messages);
    bool read(const InstanceLine& request, Messages& messages);
    bool apply(const InstanceLine& request, Messages& messages);
    bool reset(const InstanceLine& request, Messages& messages);
    bool raise(const InstanceLine& request, Messages& messages);
    /// Whether the generator is connected for a request, saying why not when it is not.
    bool connected(Messages& messages);
    std::string refuse(std::string_view reason);

    model::GeneratorModel& generator_;
    HolderIdentity holder_;
    std::function<bool()> raise_;
    bool greeted_ = false;
    bool ended_ = false;
    std::string refusal_;
};

}  // namespace tavero::ctl
