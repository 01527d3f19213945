// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "sim/FrameDecoder.h"
#include "sim/FrameEncoder.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// The payloads of the frames in what the generator sent.
std::vector<Bytes> decodeReplies(const std::vector<Transmission>& transmissions) {
    std::vector<Bytes> payloads;
    FrameDecoder decoder;
    for (const Transmission& transmission : transmissions) {
        for (const std::uint8_t b : transmission.bytes) {
            if (decoder.feed(b) == FrameDecoder::Event::kFrame) {
                payloads.push_back(decoder.payload());
            }
        }
    }
    return payloads;
}

/// Sends one command frame and returns the reply payloads it brought.
std::vector<Bytes> repliesTo(SimulatedGenerator& generator, const Bytes& payload) {
    generator.receive(encodeFrame(payload));
    return decodeReplies(generator.takeTransmissions());
}

Bytes ack(char letter) {
    return {static_cast<std::uint8_t>(letter), 0x06};
}
Bytes nak(char letter) {
    return {static_cast<std::uint8_t>(letter), 0x15};
}

TEST(SimulatedGenerator, SettingCommandsUpdateTheirFields) {
    const struct {
        const char* what;
        std::vector<Bytes> requests;
        void (*expect)(GeneratorSettings&);
    } cases[] = {
        {"f", {{'f', 0x00, 0x0F, 0x42, 0x40}}, [](GeneratorSettings& s) { s.frequenz = 1000000; }},
        {"c",
         {{'c', 0x00, 0x00, 0x00, 0x64, 0x05, 0xF5, 0xE1, 0x00}},
         [](GeneratorSettings& s) {
             s.minimalfrequenz = 100;
             s.maximalfrequenz = 100000000;
         }},
        {"z", {{'z', 0x00, 0x00, 0x03, 0xE8}}, [](GeneratorSettings& s) { s.schrittweite = 1000; }},
        {"g", {{'g', 0x03, 0xE8}}, [](GeneratorSettings& s) { s.amplitude = 1000; }},
        {"g high half", {{'g', 0xFF, 0xFF}}, [](GeneratorSettings& s) { s.amplitude = 0xFFFF; }},
        {"s", {{'s', 3}}, [](GeneratorSettings& s) { s.signalform = 3; }},
        {"a off", {{'a', 0}}, [](GeneratorSettings& s) { s.konfiguration = 0; }},
        {"a off, on", {{'a', 0}, {'a', 1}}, [](GeneratorSettings&) {}},
        {"e sweep", {{'e', 1}}, [](GeneratorSettings& s) { s.konfiguration = 0x03; }},
        {"e modulation after sweep",
         {{'e', 1}, {'e', 2}},
         [](GeneratorSettings& s) { s.konfiguration = 0x05; }},
        {"e standard, filter off",
         {{'a', 0}, {'e', 2}, {'e', 0}},
         [](GeneratorSettings& s) { s.konfiguration = 0; }},
        {"w",
         {{'w', 0x00, 0x00, 0x03, 0xE8, 0x00, 0x00, 0x07, 0xD0, 0x00, 0xC8}},
         [](GeneratorSettings& s) {
             s.wobbelStartfrequenz = 1000;
             s.wobbelStoppfrequenz = 2000;
             s.wobbelFrequenz = 200;
         }},
        {"m",
         {{'m', 0x0B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x01, 0x67, 0x32, 0xC3,
           0x50}},
         [](GeneratorSettings& s) {
             s.modulationseinstellungen = 0x0B;
             s.frequenzhub = -2;
             s.phasenhub = 359;
             s.amplitudenhub = 50;
             s.modulationsfrequenz = 50000;
         }},
        {"t", {{'t', 0x08, 0x00}}, [](GeneratorSettings& s) { s.pllFaktor = 2048; }},
        {"o",
         {{'o', 0xF4, 0x14, 0x3E, 0x00}},
         [](GeneratorSettings& s) { s.pllOffset = -200000000; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimulatedGenerator generator;
        for (const Bytes& request : c.requests) {
            EXPECT_EQ(repliesTo(generator, request),
                      std::vector<Bytes>{ack(static_cast<char>(request[0]))});
        }
        GeneratorSettings expected = GeneratorSettings::emptyProfile();
        c.expect(expected);
        EXPECT_EQ(generator.settings(), expected);
    }
}

TEST(SimulatedGenerator, ParameterReadCarriesVersionAndImage) {
    SimulatedGenerator generator;
    GeneratorSettings settings = GeneratorSettings::emptyProfile();
    settings.frequenz = 123456;
    settings.pllOffset = -1;
    generator.setSettings(settings);

    Bytes expected = {'P', 0x00, 0x78};
    const SettingsImage image = toSettingsImage(settings);
    expected.insert(expected.end(), image.begin(), image.end());
    EXPECT_EQ(repliesTo(generator, {'P'}), std::vector<Bytes>{expected});

    generator.setFirmwareVersion(102);
    const std::vector<Bytes> replies = repliesTo(generator, {'P'});
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_EQ(Bytes(replies[0].begin(), replies[0].begin() + 3), (Bytes{'P', 0x00, 0x66}));
}

TEST(SimulatedGenerator, WholeImageReplacesAndFactoryResetRestores) {
    SimulatedGenerator generator;
    GeneratorSettings settings;
    settings.frequenz = 3000000000U;
    settings.amplitude = 1000;
    settings.frequenzhub = 3000000000LL;
    settings.konfiguration = 0x04;
    settings.pllOffset = -200000000;
    const SettingsImage image = toSettingsImage(settings);
    Bytes request = {'p'};
    request.insert(request.end(), image.begin(), image.end());

    EXPECT_EQ(repliesTo(generator, request), std::vector<Bytes>{ack('p')});
    EXPECT_EQ(generator.settings(), settings);
    EXPECT_EQ(repliesTo(generator, {'r'}), std::vector<Bytes>{ack('r')});
    EXPECT_EQ(generator.settings(), GeneratorSettings::emptyProfile());
}

TEST(SimulatedGenerator, KeepsConnectStateAndCalibrationValues) {
    SimulatedGenerator generator;
    EXPECT_EQ(repliesTo(generator, {'x', 1}), std::vector<Bytes>{ack('x')});
    EXPECT_TRUE(generator.connected());
    for (const Bytes& request : {Bytes{'k', 0, 0, 0, 0, 0x59, 0x68, 0x2F, 0x00},
                                 Bytes{'d', 0x3F, 0xFF}, Bytes{'q', 0x12, 0x34, 0x01, 0x00}}) {
        EXPECT_EQ(repliesTo(generator, request),
                  std::vector<Bytes>{ack(static_cast<char>(request[0]))});
    }
    EXPECT_EQ(generator.calibration(), (CalibrationValues{1500000000U, 16383, 0x1234, 0x0100}));
    repliesTo(generator, {'r'});
    EXPECT_EQ(generator.calibration().outputLevel, 16383);
    EXPECT_EQ(repliesTo(generator, {'x', 0}), std::vector<Bytes>{ack('x')});
    EXPECT_FALSE(generator.connected());
}

TEST(SimulatedGenerator, RefusesMalformedCommandsAndChangesNothing) {
    const std::vector<Bytes> requests = {
        {'f', 0x00, 0x01, 0x86},  // one byte short
        {'f', 0x00, 0x01, 0x86, 0xA0, 0x00},
        {'P', 0x00},
        {'r', 0x00},
        {'x'},
        {'c', 0, 0, 0, 1},
        {'p', 0x00},
        {'Z', 0x01},  // unknown letter
        {'x', 2},
        {'s', 4},
        {'a', 2},
        {'e', 3},
        {'d', 0x40, 0x00},
        {'q', 0x00, 0x00, 0x40, 0x00},
        {'!', 0x00},
    };
    for (const Bytes& request : requests) {
        const char letter = static_cast<char>(request[0]);
        SCOPED_TRACE(testing::Message() << letter << " with " << request.size() - 1 << " bytes");
        SimulatedGenerator generator;
        EXPECT_EQ(repliesTo(generator, request), std::vector<Bytes>{nak(letter)});
        EXPECT_EQ(generator.settings(), GeneratorSettings::emptyProfile());
        EXPECT_EQ(generator.calibration(), CalibrationValues{});
        EXPECT_FALSE(generator.connected());
        EXPECT_FALSE(generator.inBootloader());
        EXPECT_EQ(generator.receivedLetters(), std::string(1, letter));
    }
}

TEST(SimulatedGenerator, BootloaderIgnoresTheLineUntilThePortIsOpenedAgain) {
    SimulatedGenerator generator;
    EXPECT_TRUE(repliesTo(generator, {'!'}).empty());
    EXPECT_TRUE(generator.inBootloader());
    EXPECT_TRUE(repliesTo(generator, {'P'}).empty());
    EXPECT_EQ(generator.receivedLetters(), "!");

    generator.portOpened();
    EXPECT_FALSE(generator.inBootloader());
    EXPECT_EQ(repliesTo(generator, {'s', 1}), std::vector<Bytes>{ack('s')});
}

TEST(SimulatedGenerator, LogsEveryCommandWithItsTime) {
    using namespace std::chrono_literals;
    const auto start = std::chrono::steady_clock::time_point{} + 5s;
    int ticks = 0;
    SimulatedGenerator generator([&] { return start + ++ticks * 1ms; });

    Bytes line = encodeFrame(Bytes{'x', 1});
    const Bytes damaged = encodeFrame(Bytes{'f', 0, 0, 0, 1}, 0x0001);
    const Bytes read = encodeFrame(Bytes{'P'});
    line.insert(line.end(), damaged.begin(), damaged.end());
    line.insert(line.end(), read.begin(), read.end());
    generator.receive(line);

    EXPECT_EQ(generator.received(),
              (std::vector<ReceivedCommand>{{start + 1ms, 'x', {1}}, {start + 2ms, 'P', {}}}));
    EXPECT_EQ(generator.rejectedFrameCount(), 1U);
    EXPECT_EQ(decodeReplies(generator.takeTransmissions()).size(), 2U);
    generator.clearReceived();
    EXPECT_TRUE(generator.received().empty());
}

TEST(SimulatedGenerator, EachFaultDamagesTheReplyAsDescribed) {
    const Bytes request = {'f', 0x00, 0x00, 0x00, 0x64};
    const Bytes frame = encodeFrame(ack('f'));
    const Bytes noise = {0x00, 0xFF, 0x10, 0x90, 0x55};
    Bytes noisy = noise;
    noisy.insert(noisy.end(), frame.begin(), frame.end());

    const struct {
        Fault fault;
        std::vector<Transmission> sent;
        bool carriedOut;
    } cases[] = {
        {Fault::kNoReply, {}, true},
        {Fault::kWrongLetter, {{encodeFrame(ack('F'))}}, true},
        {Fault::kNak, {{encodeFrame(nak('f'))}}, false},
        {Fault::kBadCrc, {{encodeFrame(ack('f'), 0xFFFF)}}, true},
        {Fault::kNoise, {{noisy}}, true},
        {Fault::kCutShort, {{Bytes(frame.begin(), frame.end() - 1)}}, true},
        {Fault::kSlowBytes, {{frame, true}}, true},
        {Fault::kUnplug, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(faultName(c.fault));
        SimulatedGenerator generator;
        generator.injectFault(c.fault);
        generator.receive(encodeFrame(request));
        EXPECT_EQ(generator.takeTransmissions(), c.sent);
        EXPECT_EQ(generator.settings().frequenz == 100, c.carriedOut);
        EXPECT_EQ(generator.pluggedIn(), c.fault != Fault::kUnplug);
        // Used up: the next reply is sound, unless the generator is gone.
        EXPECT_EQ(repliesTo(generator, {'P'}).size(), c.fault == Fault::kUnplug ? 0U : 1U);
    }
}

TEST(SimulatedGenerator, FaultsKeepToTheirLetterAndCount) {
    SimulatedGenerator generator;
    generator.injectFault(Fault::kNak, 'g', 2);
    generator.injectFault(Fault::kWrongLetter, std::nullopt, FaultRule::kUnlimited);
    EXPECT_EQ(repliesTo(generator, {'s', 1}), std::vector<Bytes>{ack('S')});
    EXPECT_EQ(repliesTo(generator, {'g', 0, 1}), std::vector<Bytes>{nak('G')});
    EXPECT_EQ(repliesTo(generator, {'g', 0, 1}), std::vector<Bytes>{nak('G')});
    EXPECT_EQ(repliesTo(generator, {'g', 0, 1}), std::vector<Bytes>{ack('G')});
    generator.clearFaults();
    EXPECT_EQ(repliesTo(generator, {'g', 0, 1}), std::vector<Bytes>{ack('g')});
}

TEST(SimulatedGenerator, BootloaderStartUsesUpNoFault) {
    SimulatedGenerator generator;
    generator.injectFault(Fault::kNoReply);
    repliesTo(generator, {'!'});
    generator.portOpened();
    EXPECT_TRUE(repliesTo(generator, {'P'}).empty());
    EXPECT_EQ(repliesTo(generator, {'P'}).size(), 1U);
}

TEST(SimulatedGenerator, ReplugStartsAfreshWithTheSettingsKept) {
    SimulatedGenerator generator;
    repliesTo(generator, {'x', 1});
    repliesTo(generator, {'s', 2});
    repliesTo(generator, {'!'});
    generator.unplug();
    EXPECT_TRUE(repliesTo(generator, {'P'}).empty());
    generator.replug();
    EXPECT_EQ(generator.plugInCount(), 2U);
    EXPECT_FALSE(generator.connected());
    EXPECT_FALSE(generator.inBootloader());
    EXPECT_EQ(generator.settings().signalform, 2);
    EXPECT_EQ(repliesTo(generator, {'P'}).size(), 1U);
}

}  // namespace
}  // namespace tavero::sim
