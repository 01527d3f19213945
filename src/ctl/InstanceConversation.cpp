// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/InstanceConversation.h"

#include <array>
#include <optional>
#include <utility>

#include "link/Connection.h"
#include "link/MessageSink.h"

namespace tavero::ctl {

namespace {

/// Escaped, a message of this many bytes still fits one line.
constexpr std::size_t kMessageBytes = (kInstanceLineLimit - 32) / 3;

/// `text` cut to at most `size` bytes, not inside a UTF-8 sequence.
std::string_view cutText(std::string_view text, std::size_t size) {
    if (text.size() <= size) {
        return text;
    }
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) {
        --size;
    }
    return text.substr(0, size);
}

model::Requester commandLine(link::MessageSink& failures) {
    return {{model::FrontEnd::kCommandLine, "tavero-ctl"}, failures};
}

}  // namespace

/// The failures of one request, as the answer's message lines.
class InstanceConversation::Messages final : public link::MessageSink {
public:
    void showError(std::string_view text, std::string_view /*caption*/) override {
        if (count_ < kInstanceMessageLimit) {
            ++count_;
            lines_ += formatInstanceLine(
                InstanceLine{"message", {}}.add("text", std::string(cutText(text, kMessageBytes))));
        }
    }
    bool empty() const { return count_ == 0; }
    const std::string& lines() const { return lines_; }

private:
    std::string lines_;
    std::size_t count_ = 0;
};

InstanceConversation::InstanceConversation(model::GeneratorModel& generator, HolderIdentity holder,
                                           std::function<bool()> raise)
    : generator_(generator), holder_(std::move(holder)), raise_(std::move(raise)) {
    holder_.hasWindow = static_cast<bool>(raise_);
}

std::string InstanceConversation::answer(std::string_view request) {
    struct Route {
        std::string_view verb;
        bool (InstanceConversation::*carryOut)(const InstanceLine&, Messages&);
    };
    static constexpr std::array<Route, 6> kRoutes = {{
        {"hello", &InstanceConversation::hello},
        {"open", &InstanceConversation::open},
        {"read", &InstanceConversation::read},
        {"apply", &InstanceConversation::apply},
        {"reset", &InstanceConversation::reset},
        {"raise", &InstanceConversation::raise},
    }};
    const std::optional<InstanceLine> line = parseInstanceLine(request);
    if (!line) {
        return refuse("malformed request");
    }
    if (greeted_ == (line->verb == "hello")) {
        return refuse(greeted_ ? "hello twice" : "hello first");
    }
    for (const Route& route : kRoutes) {
        if (route.verb == line->verb) {
            Messages messages;
            const bool ok = (this->*route.carryOut)(*line, messages);
            if (ended_) {
                return refusal_;
            }
            if (route.verb == "hello") {
                return formatInstanceLine(welcomeLine(holder_));
            }
            return messages.lines() +
                   formatInstanceLine(doneLine({ok, generator_.lost(), generator_.firmwareVersion(),
                                                generator_.settings()}));
        }
    }
    return refuse("unknown request " + line->verb);
}

std::string InstanceConversation::refuse(std::string_view reason) {
    ended_ = true;
    refusal_ = formatInstanceLine(InstanceLine{"refused", {}}.add("reason", std::string(reason)));
    return refusal_;
}

bool InstanceConversation::hello(const InstanceLine& request, Messages&) {
    const std::string* version = request.find("version");
    if (version == nullptr || *version != std::to_string(kInstanceProtocolVersion)) {
        refuse("protocol version " + std::to_string(kInstanceProtocolVersion) + " only");
        return false;
    }
    greeted_ = true;
    return true;
}

bool InstanceConversation::connected(Messages& messages) {
    if (generator_.connected()) {
        return true;
    }
    // A generator found gone has said so by the flag the answer carries.
    if (!generator_.lost()) {
        messages.showError(link::kConnectFailedText, link::kConnectionErrorCaption);
    }
    return false;
}

bool InstanceConversation::open(const InstanceLine&, Messages& messages) {
    if (generator_.ensureConnected(commandLine(messages))) {
        return true;
    }
    if (messages.empty()) {
        messages.showError(link::kConnectFailedText, link::kConnectionErrorCaption);
    }
    return false;
}

bool InstanceConversation::read(const InstanceLine&, Messages& messages) {
    return connected(messages) && generator_.readParameters(commandLine(messages));
}

bool InstanceConversation::apply(const InstanceLine& request, Messages& messages) {
    const std::optional<model::Edit> edit = editOf(request);
    if (!edit) {
        refuse("malformed apply");
        return false;
    }
    return connected(messages) && generator_.apply(*edit, commandLine(messages));
}

bool InstanceConversation::reset(const InstanceLine&, Messages& messages) {
    return connected(messages) && generator_.sendFactoryReset(commandLine(messages));
}

bool InstanceConversation::raise(const InstanceLine&, Messages&) {
    return raise_ && raise_();
}

}  // namespace tavero::ctl
