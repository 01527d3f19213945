// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/InstanceSession.h"

#include <utility>

namespace tavero::ctl {

namespace {

std::chrono::steady_clock::time_point answerDeadline() {
    return std::chrono::steady_clock::now() + kInstanceAnswerTimeout;
}

}  // namespace

InstanceSession::InstanceSession(std::unique_ptr<InstanceChannel> channel, std::string device,
                                 std::ostream& errors)
    : channel_(std::move(channel)), device_(std::move(device)), errors_(errors) {}

std::string InstanceSession::holderName() const {
    const long long process = holder_ ? holder_->processId : channel_->peerProcessId();
    return (holder_ ? holder_->program : std::string("the program")) + " (process " +
           std::to_string(process) + ")";
}

bool InstanceSession::fail(const std::string& what) {
    errors_ << "tavero-ctl: " << holderName() << ", which holds the generator, " << what << '\n';
    channel_ = nullptr;
    return false;
}

std::optional<InstanceLine> InstanceSession::next(std::chrono::steady_clock::time_point deadline) {
    const InstanceChannel::Received received = channel_->receive(deadline);
    switch (received.status) {
        case InstanceChannel::Status::kLine:
            if (std::optional<InstanceLine> line = parseInstanceLine(received.line)) {
                if (line->verb != "refused") {
                    return line;
                }
                const std::string* reason = line->find("reason");
                fail("refused the request: " + (reason != nullptr ? *reason : std::string()));
                return std::nullopt;
            }
            break;
        case InstanceChannel::Status::kGone:
            fail("closed the connection");
            return std::nullopt;
        case InstanceChannel::Status::kTimedOut:
            fail("did not answer within " + std::to_string(kInstanceAnswerTimeout.count() / 1000) +
                 " s");
            return std::nullopt;
        case InstanceChannel::Status::kTooLong:
            break;
    }
    fail("answered what this tavero-ctl cannot read");
    return std::nullopt;
}

bool InstanceSession::introduce() {
    if (!channel_->send(formatInstanceLine(
            InstanceLine{"hello", {}}.add("version", std::to_string(kInstanceProtocolVersion))))) {
        return fail("closed the connection");
    }
    const std::optional<InstanceLine> welcome = next(answerDeadline());
    if (!welcome) {
        return false;
    }
    const std::string* version = welcome->find("version");
    if (welcome->verb == "welcome" && version != nullptr &&
        *version != std::to_string(kInstanceProtocolVersion)) {
        return fail("speaks protocol version " + *version + " and this tavero-ctl version " +
                    std::to_string(kInstanceProtocolVersion) +
                    ": use the tavero-ctl that came with it");
    }
    holder_ = holderOf(*welcome);
    if (!holder_) {
        return fail("answered what this tavero-ctl cannot read");
    }
    if (holder_->device != device_) {
        return fail("holds " + holder_->device + ", not " + device_);
    }
    return true;
}

bool InstanceSession::open() {
    return introduce() && request(InstanceLine{"open", {}});
}

bool InstanceSession::request(const InstanceLine& line) {
    if (!channel_) {
        return false;
    }
    if (!channel_->send(formatInstanceLine(line))) {
        return fail("closed the connection");
    }
    const auto deadline = answerDeadline();
    for (std::size_t messages = 0;;) {
        const std::optional<InstanceLine> answer = next(deadline);
        if (!answer) {
            return false;
        }
        const std::string* text = answer->find("text");
        if (answer->verb == "message" && text != nullptr && ++messages <= kInstanceMessageLimit) {
            errors_ << *text << '\n';
            continue;
        }
        const std::optional<InstanceOutcome> outcome = outcomeOf(*answer);
        if (!outcome) {
            return fail("answered what this tavero-ctl cannot read");
        }
        outcome_ = *outcome;
        return outcome_.ok;
    }
}

bool InstanceSession::readParameters() {
    return request(InstanceLine{"read", {}});
}

bool InstanceSession::apply(const model::Edit& edit) {
    return request(applyRequest(edit));
}

bool InstanceSession::sendFactoryReset() {
    return request(InstanceLine{"reset", {}});
}

bool InstanceSession::startBootloader() {
    errors_ << "tavero-ctl: " << holderName()
            << " holds the generator; the bootloader starts only on a connection of the tool's "
               "own: end that program, or disconnect it there, first\n";
    return false;
}

bool InstanceSession::raise() {
    return request(InstanceLine{"raise", {}});
}

}  // namespace tavero::ctl
