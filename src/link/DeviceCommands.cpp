// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/DeviceCommands.h"

#include <string>

#include "link/Com.h"
#include "link/MessageSink.h"
#include "link/PacketLink.h"

namespace tavero::link {

namespace {

constexpr std::uint8_t kAcknowledge = 0x06;
// Reply layout in the receive buffer: address, two length bytes, then the payload.
constexpr std::size_t kReplyLetterIndex = 3;
constexpr std::size_t kReplyDataIndex = 4;
constexpr std::uint32_t kFrameOverhead = 5;  // address, length (2), CRC (2)
constexpr std::uint32_t kParameterReplyLength = 1 + 2 + kSettingsImageSize;

struct ExchangeVariant {
    std::string_view messageSuffix;
    std::uint32_t receiveTimeoutMs;
    bool readsReply;
    bool checksAcknowledge;
    bool flushesAfterwards;
};

// Indexed by DeviceCommands::Exchange.
constexpr std::array<ExchangeVariant, 5> kVariants = {{
    {"", DeviceCommands::kTimeoutMs, true, true, false},
    {" (Parameter)", DeviceCommands::kTimeoutMs, true, false, false},
    {" (Reset)", DeviceCommands::kResetTimeoutMs, true, true, false},
    {" (Bootloader starten)", DeviceCommands::kTimeoutMs, false, false, false},
    {"", DeviceCommands::kTimeoutMs, true, true, true},
}};

/// A command payload: the letter, then big-endian values of fixed width.
class Payload {
public:
    explicit Payload(char letter) { bytes_[size_++] = static_cast<std::uint8_t>(letter); }

    Payload& put(std::uint64_t value, std::size_t width) {
        for (std::size_t b = width; b-- > 0;) {
            bytes_[size_++] = static_cast<std::uint8_t>(value >> (8 * b));
        }
        return *this;
    }

    Payload& put(std::span<const std::uint8_t> raw) {
        for (const std::uint8_t byte : raw) {
            bytes_[size_++] = byte;
        }
        return *this;
    }

    std::span<const std::uint8_t> bytes() const { return {bytes_.data(), size_}; }

private:
    std::array<std::uint8_t, 1 + kSettingsImageSize> bytes_{};
    std::size_t size_ = 0;
};

}  // namespace

bool DeviceCommands::exchange(std::span<const std::uint8_t> payload, Exchange kind) {
    const ExchangeVariant& variant = kVariants.at(static_cast<std::size_t>(kind));
    const auto fail = [&](std::string_view text) {
        messages_.showError(std::string(text) + std::string(variant.messageSuffix), kCaption);
        return false;
    };

    receivedCount_ = 0;
    received_.fill(0);
    port_.Flush();
    const bool succeeded = [&] {
        if (!link_.Send(payload.data(), static_cast<std::uint32_t>(payload.size()), kTimeoutMs)) {
            return fail("Fehler beim senden");
        }
        if (!variant.readsReply) {
            return true;
        }
        if (!link_.Receive(received_.data(), kReceiveBufferSize, &receivedCount_,
                           variant.receiveTimeoutMs)) {
            return fail("Fehler beim lesen");
        }
        if (received_[kReplyLetterIndex] != payload[0]) {
            return fail("Antwort passt nicht auf gesendeten Befehl");
        }
        if (variant.checksAcknowledge && received_[kReplyDataIndex] != kAcknowledge) {
            return fail("Antwort nicht OK");
        }
        return true;
    }();
    if (variant.flushesAfterwards) {
        port_.Flush();
    }
    return succeeded;
}

bool DeviceCommands::SendConnect(bool connect) {
    return exchange(Payload('x').put(connect ? 1 : 0, 1).bytes(), Exchange::kPlain);
}

bool DeviceCommands::ReadParameters(GeneratorSettings& settings, std::uint16_t& firmwareVersion) {
    if (!exchange(Payload('P').bytes(), Exchange::kParameterRead)) {
        return false;
    }
    // A reply too short to hold the version and the image would fill the record with whatever
    // the buffer held before; take it as a failed read instead.
    if (receivedCount_ < kFrameOverhead + kParameterReplyLength) {
        messages_.showError("Fehler beim lesen (Parameter)", kCaption);
        return false;
    }
    firmwareVersion = static_cast<std::uint16_t>(received_[kReplyDataIndex] << 8 |
                                                 received_[kReplyDataIndex + 1]);
    settings = fromSettingsImage(std::span<const std::uint8_t, kSettingsImageSize>(
        &received_[kReplyDataIndex + 2], kSettingsImageSize));
    return true;
}

bool DeviceCommands::SendSettings(const GeneratorSettings& settings) {
    return exchange(Payload('p').put(toSettingsImage(settings)).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendFrequency(const GeneratorSettings& settings) {
    return exchange(Payload('f').put(settings.frequenz, 4).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendLimits(const GeneratorSettings& settings) {
    return exchange(
        Payload('c').put(settings.minimalfrequenz, 4).put(settings.maximalfrequenz, 4).bytes(),
        Exchange::kPlain);
}

bool DeviceCommands::SendStep(const GeneratorSettings& settings) {
    return exchange(Payload('z').put(settings.schrittweite, 4).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendAmplitude(const GeneratorSettings& settings) {
    return exchange(Payload('g').put(settings.amplitude, 2).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendWaveform(std::uint8_t signalform) {
    return exchange(Payload('s').put(signalform, 1).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendFilter(bool on) {
    return exchange(Payload('a').put(on ? 1 : 0, 1).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendMode(std::uint8_t mode) {
    return exchange(Payload('e').put(mode, 1).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendSweep(const GeneratorSettings& settings) {
    return exchange(Payload('w')
                        .put(settings.wobbelStartfrequenz, 4)
                        .put(settings.wobbelStoppfrequenz, 4)
                        .put(settings.wobbelFrequenz, 2)
                        .bytes(),
                    Exchange::kPlain);
}

bool DeviceCommands::SendModulation(const GeneratorSettings& settings) {
    return exchange(Payload('m')
                        .put(settings.modulationseinstellungen, 1)
                        .put(static_cast<std::uint64_t>(settings.frequenzhub), 8)
                        .put(settings.phasenhub, 2)
                        .put(settings.amplitudenhub, 1)
                        .put(settings.modulationsfrequenz, 2)
                        .bytes(),
                    Exchange::kModulation);
}

bool DeviceCommands::SendPllFactor(const GeneratorSettings& settings) {
    return exchange(Payload('t').put(settings.pllFaktor, 2).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendPllOffset(const GeneratorSettings& settings) {
    return exchange(Payload('o').put(static_cast<std::uint32_t>(settings.pllOffset), 4).bytes(),
                    Exchange::kPlain);
}

bool DeviceCommands::SendOscillatorFrequency(std::uint64_t frequencyCentiHz) {
    return exchange(Payload('k').put(frequencyCentiHz, 8).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendLevel(std::uint16_t level) {
    return exchange(Payload('d').put(level, 2).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendCalibration(std::uint16_t level200mV, std::uint16_t level800mV) {
    return exchange(Payload('q').put(level200mV, 2).put(level800mV, 2).bytes(), Exchange::kPlain);
}

bool DeviceCommands::SendFactoryReset() {
    return exchange(Payload('r').bytes(), Exchange::kReset);
}

bool DeviceCommands::StartBootloader() {
    return exchange(Payload('!').bytes(), Exchange::kBootloader);
}

}  // namespace tavero::link
