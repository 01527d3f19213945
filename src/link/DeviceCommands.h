// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/GeneratorSettings.h"

namespace tavero::link {

class Com;
class MessageSink;
class PacketLink;

/// The generator's one-letter commands. Each sender builds its payload from the values at the
/// moment it sends, runs one exchange over the shared port and link, reports any failure with
/// exactly one message, and returns whether the exchange succeeded. Nothing is retried.
class DeviceCommands {
public:
    static constexpr std::string_view kCaption = "Übertragungsfehler";
    static constexpr std::uint32_t kTimeoutMs = 500;
    static constexpr std::uint32_t kResetTimeoutMs = 700;
    static constexpr std::size_t kReceiveBufferSize = 80;

    /// Port, link and sink are shared with the other windows and must outlive this object.
    DeviceCommands(Com& port, PacketLink& link, MessageSink& messages)
        : port_(port), link_(link), messages_(messages) {}

    /// `x`: connect notice (true) or disconnect notice (false).
    bool SendConnect(bool connect);
    /// `P`: reads the firmware version (in hundredths) and the stored settings. Nothing is
    /// stored unless the whole reply arrived.
    bool ReadParameters(GeneratorSettings& settings, std::uint16_t& firmwareVersion);
    /// `p`: the whole settings image.
    bool SendSettings(const GeneratorSettings& settings);
    /// `f`: `frequenz`.
    bool SendFrequency(const GeneratorSettings& settings);
    /// `c`: `minimalfrequenz`, `maximalfrequenz`.
    bool SendLimits(const GeneratorSettings& settings);
    /// `z`: `schrittweite`.
    bool SendStep(const GeneratorSettings& settings);
    /// `g`: `amplitude`.
    bool SendAmplitude(const GeneratorSettings& settings);
    /// `s`: waveform 0..3.
    bool SendWaveform(std::uint8_t signalform);
    /// `a`: output filter on or off.
    bool SendFilter(bool on);
    /// `e`: operating mode 0 standard, 1 sweep, 2 modulation.
    bool SendMode(std::uint8_t mode);
    /// `w`: sweep start, stop and rate.
    bool SendSweep(const GeneratorSettings& settings);
    /// `m`: modulation settings; the port is flushed once more afterwards.
    bool SendModulation(const GeneratorSettings& settings);
    /// `t`: `pllFaktor`.
    bool SendPllFactor(const GeneratorSettings& settings);
    /// `o`: `pllOffset`.
    bool SendPllOffset(const GeneratorSettings& settings);
    /// `k`: measured oscillator frequency, in 0.01 Hz.
    bool SendOscillatorFrequency(std::uint64_t frequencyCentiHz);
    /// `d`: raw level of the amplitude stage, 0..16383 (16383 is the lowest amplitude).
    bool SendLevel(std::uint16_t level);
    /// `q`: the raw levels found for 0.2 V and for 0.8 V.
    bool SendCalibration(std::uint16_t level200mV, std::uint16_t level800mV);
    /// `r`: factory reset; the reply may take 700 ms per byte.
    bool SendFactoryReset();
    /// `!`: starts the bootloader; no reply is read.
    bool StartBootloader();

private:
    /// The ways an exchange differs from the common one, by command.
    enum class Exchange { kPlain, kParameterRead, kReset, kBootloader, kModulation };

    bool exchange(std::span<const std::uint8_t> payload, Exchange kind);

    Com& port_;
    PacketLink& link_;
    MessageSink& messages_;
    std::array<std::uint8_t, kReceiveBufferSize> received_{};
    std::uint32_t receivedCount_ = 0;
};

}  // namespace tavero::link
