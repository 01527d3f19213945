// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimulatedGenerator.h"

#include <iterator>
#include <utility>

#include "sim/FirmwareCommands.h"
#include "sim/FrameEncoder.h"

namespace tavero::sim {

namespace {

/// Not a start byte among them, so a receiver skips them and still finds the frame.
constexpr std::uint8_t kNoise[] = {0x00, 0xFF, 0x10, 0x90, 0x55};

constexpr std::uint16_t kCrcDamage = 0xFFFF;

constexpr std::uint8_t kCaseBit = 0x20;

}  // namespace

SimulatedGenerator::SimulatedGenerator(Clock clock) : clock_(std::move(clock)) {}

void SimulatedGenerator::receive(std::span<const std::uint8_t> lineBytes) {
    for (const std::uint8_t b : lineBytes) {
        if (!pluggedIn_ || state_.inBootloader) {
            return;
        }
        switch (decoder_.feed(b)) {
            case FrameDecoder::Event::kNone:
                break;
            case FrameDecoder::Event::kRejected:
                ++rejectedFrames_;
                break;
            case FrameDecoder::Event::kFrame:
                handleFrame(decoder_.payload());
                break;
        }
    }
}

std::vector<Transmission> SimulatedGenerator::takeTransmissions() {
    return std::exchange(transmissions_, {});
}

void SimulatedGenerator::portOpened() {
    state_.inBootloader = false;
    dropLineState();
}

void SimulatedGenerator::unplug() {
    pluggedIn_ = false;
    dropLineState();
}

void SimulatedGenerator::replug() {
    if (pluggedIn_) {
        return;
    }
    pluggedIn_ = true;
    ++plugInCount_;
    state_.inBootloader = false;
    state_.connected = false;
    dropLineState();
}

std::string SimulatedGenerator::receivedLetters() const {
    std::string letters;
    for (const ReceivedCommand& command : received_) {
        letters += command.letter;
    }
    return letters;
}

void SimulatedGenerator::injectFault(Fault kind, std::optional<char> letter, int count) {
    faults_.add(FaultRule{kind, letter, count});
}

void SimulatedGenerator::dropLineState() {
    decoder_.reset();
    transmissions_.clear();
}

void SimulatedGenerator::handleFrame(std::span<const std::uint8_t> payload) {
    if (payload.empty()) {
        ++rejectedFrames_;
        return;
    }
    const auto letter = static_cast<char>(payload.front());
    const std::span<const std::uint8_t> arguments = payload.subspan(1);
    received_.push_back({clock_(), letter, {arguments.begin(), arguments.end()}});

    const FirmwareCommand* command = findFirmwareCommand(letter);
    const bool wellFormed = command != nullptr && arguments.size() == command->argumentSize;
    if (wellFormed && command->reply == ReplyKind::kNone) {
        command->apply(state_, arguments);
        return;
    }
    const FaultSet faults = faults_.take(letter);
    if (faults.contains(Fault::kUnplug)) {
        unplug();
        return;
    }
    const bool accepted =
        wellFormed && !faults.contains(Fault::kNak) && command->apply(state_, arguments);
    send(accepted ? acceptedReply(letter, command->reply == ReplyKind::kParameters)
                  : std::vector<std::uint8_t>{payload.front(), kNegativeAcknowledge},
         faults);
}

std::vector<std::uint8_t> SimulatedGenerator::acceptedReply(char letter, bool parameters) const {
    std::vector<std::uint8_t> reply{static_cast<std::uint8_t>(letter)};
    if (!parameters) {
        reply.push_back(kAcknowledge);
        return reply;
    }
    reply.push_back(static_cast<std::uint8_t>(state_.firmwareVersion >> 8));
    reply.push_back(static_cast<std::uint8_t>(state_.firmwareVersion & 0xFF));
    const SettingsImage image = toSettingsImage(state_.settings);
    reply.insert(reply.end(), image.begin(), image.end());
    return reply;
}

void SimulatedGenerator::send(std::vector<std::uint8_t> reply, const FaultSet& faults) {
    if (faults.contains(Fault::kNoReply)) {
        return;
    }
    if (faults.contains(Fault::kWrongLetter)) {
        reply.front() ^= kCaseBit;
    }
    std::vector<std::uint8_t> frame =
        encodeFrame(reply, faults.contains(Fault::kBadCrc) ? kCrcDamage : 0);
    if (faults.contains(Fault::kCutShort)) {
        frame.pop_back();
    }
    Transmission transmission;
    if (faults.contains(Fault::kNoise)) {
        transmission.bytes.assign(std::begin(kNoise), std::end(kNoise));
    }
    transmission.bytes.insert(transmission.bytes.end(), frame.begin(), frame.end());
    transmission.slow = faults.contains(Fault::kSlowBytes);
    transmissions_.push_back(std::move(transmission));
}

}  // namespace tavero::sim
