// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/GeneratorSettings.h"
#include "sim/Fault.h"
#include "sim/FaultPlan.h"
#include "sim/FirmwareState.h"
#include "sim/FrameDecoder.h"

namespace tavero::sim {

/// One command frame the generator received.
struct ReceivedCommand {
    std::chrono::steady_clock::time_point time;  ///< when its last byte came in
    char letter;
    std::vector<std::uint8_t> arguments;  ///< the payload after the letter

    friend bool operator==(const ReceivedCommand&, const ReceivedCommand&) = default;
};

/// Bytes the generator puts on the line in one go.
struct Transmission {
    /// Gap between the bytes of a slow transmission (and before its first byte): longer than
    /// any read time-out the PC uses.
    static constexpr std::chrono::milliseconds kSlowByteGap{1000};

    std::vector<std::uint8_t> bytes;
    bool slow = false;  ///< the bytes come kSlowByteGap apart

    friend bool operator==(const Transmission&, const Transmission&) = default;
};

/// A model of the generator's firmware behind its USB-serial bridge: line bytes in, line bytes
/// out.
///
/// It answers every command with the letter and 0x06 (`P` with the letter, the firmware version
/// and the settings image; `!` with nothing, after which it runs its bootloader and ignores the
/// line until the port is opened again or it is plugged in again). A command with an unknown
/// letter, a payload of the wrong length for its letter, or a value out of range (`x` and `a`
/// above 1, `s` above 3, `e` above 2, a `d` or `q` level above 16383) is refused with the letter
/// and 0x15 and changes nothing. Frames with a wrong CRC or an empty payload go unanswered.
///
/// Faults act on replies only; `!` and commands sent to the bootloader have none. A NAK or an
/// unplug keeps the command from being carried out; with every other fault it is carried out
/// and only its reply suffers.
class SimulatedGenerator {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    /// @param clock stamps the received commands; tests inject their own
    explicit SimulatedGenerator(Clock clock = &std::chrono::steady_clock::now);

    /// Bytes arriving from the PC. Ignored while unplugged or in the bootloader.
    void receive(std::span<const std::uint8_t> lineBytes);
    /// The replies produced since the last call, in order.
    std::vector<Transmission> takeTransmissions();
    /// The PC opened the port: the bootloader ends, a half-received frame and unsent replies
    /// are dropped.
    void portOpened();

    /// The bridge vanishes from the USB; what was under way is lost.
    void unplug();
    /// Plugged in again: a fresh start of the firmware with the stored settings kept.
    void replug();
    bool pluggedIn() const { return pluggedIn_; }
    /// Times the generator was plugged in, counting the start: a handle opened before a replug
    /// is stale.
    std::uint32_t plugInCount() const { return plugInCount_; }

    const GeneratorSettings& settings() const { return state_.settings; }
    void setSettings(const GeneratorSettings& settings) { state_.settings = settings; }
    /// In hundredths: 120 is version 1.20.
    std::uint16_t firmwareVersion() const { return state_.firmwareVersion; }
    void setFirmwareVersion(std::uint16_t hundredths) { state_.firmwareVersion = hundredths; }
    bool connected() const { return state_.connected; }
    bool inBootloader() const { return state_.inBootloader; }
    const CalibrationValues& calibration() const { return state_.calibration; }

    /// Every command received, in order, refused ones included.
    const std::vector<ReceivedCommand>& received() const { return received_; }
    /// The letters of received(), e.g. "xPf".
    std::string receivedLetters() const;
    void clearReceived() { received_.clear(); }
    /// Frames dropped for a wrong CRC, too long a payload or no payload at all.
    std::size_t rejectedFrameCount() const { return rejectedFrames_; }

    /// Damages the next `count` replies to `letter` (to any command when empty);
    /// FaultRule::kUnlimited for every one from now on. Several faults can act on one reply.
    void injectFault(Fault kind, std::optional<char> letter = std::nullopt, int count = 1);
    void clearFaults() { faults_.clear(); }

private:
    void handleFrame(std::span<const std::uint8_t> payload);
    std::vector<std::uint8_t> acceptedReply(char letter, bool parameters) const;
    void send(std::vector<std::uint8_t> reply, const FaultSet& faults);
    void dropLineState();

    Clock clock_;
    FirmwareState state_;
    FrameDecoder decoder_;
    FaultPlan faults_;
    std::vector<Transmission> transmissions_;
    std::vector<ReceivedCommand> received_;
    std::size_t rejectedFrames_ = 0;
    bool pluggedIn_ = true;
    std::uint32_t plugInCount_ = 1;
};

}  // namespace tavero::sim
