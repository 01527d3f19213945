// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "FakeCom.h"
#include "RecordingMessageSink.h"
#include "ReferenceFrame.h"
#include "link/DeviceCommands.h"
#include "link/PacketLink.h"

namespace tavero::link {
namespace {

using testing::FakeCom;
using testing::RecordingMessageSink;
using testing::referenceFrame;
using Bytes = std::vector<std::uint8_t>;
using Message = RecordingMessageSink::Message;

Bytes ack(char letter) {
    return referenceFrame({static_cast<std::uint8_t>(letter), 0x06});
}

class DeviceCommandsTest : public ::testing::Test {
protected:
    DeviceCommandsTest() { link_.SetCom(&com_); }
    ~DeviceCommandsTest() override { std::filesystem::remove(trace_); }

    std::filesystem::path trace_ =
        std::filesystem::temp_directory_path() /
        ("tavero-commands-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::ostringstream diagnostics_;
    FakeCom com_;
    TraceFile traceFile_{trace_};
    PacketLink link_{traceFile_, diagnostics_};
    RecordingMessageSink sink_;
    DeviceCommands commands_{com_, link_, sink_};
};

struct SenderCase {
    const char* name;
    std::function<bool(DeviceCommands&, const GeneratorSettings&)> send;
    Bytes payload;
};

TEST_F(DeviceCommandsTest, EverySenderPutsItsPayloadOnTheLine) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.amplitude = 1000;
    s.pllOffset = -200000000;
    s.pllFaktor = 2048;
    s.frequenzhub = 3000000000LL;
    s.modulationseinstellungen = 0x0B;
    s.phasenhub = 359;
    s.amplitudenhub = 50;
    s.modulationsfrequenz = 50000;
    s.wobbelFrequenz = 200;
    s.schrittweite = 0x10203040;
    const std::vector<SenderCase> cases = {
        {"x connect", [](auto& c, auto&) { return c.SendConnect(true); }, {'x', 1}},
        {"x disconnect", [](auto& c, auto&) { return c.SendConnect(false); }, {'x', 0}},
        {"f", [](auto& c, auto& g) { return c.SendFrequency(g); }, {'f', 0x00, 0x01, 0x86, 0xA0}},
        {"c",
         [](auto& c, auto& g) { return c.SendLimits(g); },
         {'c', 0x00, 0x00, 0x00, 0x19, 0xB2, 0xD0, 0x5E, 0x00}},
        {"z", [](auto& c, auto& g) { return c.SendStep(g); }, {'z', 0x10, 0x20, 0x30, 0x40}},
        {"g 1000 mV", [](auto& c, auto& g) { return c.SendAmplitude(g); }, {'g', 0x03, 0xE8}},
        {"s", [](auto& c, auto&) { return c.SendWaveform(3); }, {'s', 3}},
        {"a on", [](auto& c, auto&) { return c.SendFilter(true); }, {'a', 1}},
        {"a off", [](auto& c, auto&) { return c.SendFilter(false); }, {'a', 0}},
        {"e", [](auto& c, auto&) { return c.SendMode(2); }, {'e', 2}},
        {"w",
         [](auto& c, auto& g) { return c.SendSweep(g); },
         {'w', 0, 0, 0, 0x19, 0xB2, 0xD0, 0x5E, 0x00, 0x00, 0xC8}},
        {"m",
         [](auto& c, auto& g) { return c.SendModulation(g); },
         {'m', 0x0B, 0, 0, 0, 0, 0xB2, 0xD0, 0x5E, 0x00, 0x01, 0x67, 50, 0xC3, 0x50}},
        {"t", [](auto& c, auto& g) { return c.SendPllFactor(g); }, {'t', 0x08, 0x00}},
        {"o", [](auto& c, auto& g) { return c.SendPllOffset(g); }, {'o', 0xF4, 0x14, 0x3E, 0x00}},
        {"k",
         [](auto& c, auto&) { return c.SendOscillatorFrequency(6710900000ULL); },
         {'k', 0, 0, 0, 0x01, 0x90, 0x00, 0x35, 0x20}},
        {"d", [](auto& c, auto&) { return c.SendLevel(0x3FFF); }, {'d', 0x3F, 0xFF}},
        {"q",
         [](auto& c, auto&) { return c.SendCalibration(0x1234, 0x0567); },
         {'q', 0x12, 0x34, 0x05, 0x67}},
        {"r", [](auto& c, auto&) { return c.SendFactoryReset(); }, {'r'}},
    };
    for (const SenderCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeCom com;
        link_.SetCom(&com);
        DeviceCommands commands(com, link_, sink_);
        com.queueReply(ack(static_cast<char>(c.payload[0])));
        EXPECT_TRUE(c.send(commands, s));
        EXPECT_EQ(com.written(), referenceFrame(c.payload));
    }
    EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(DeviceCommandsTest, SettingsImageGoesWithP) {
    const GeneratorSettings s = GeneratorSettings::emptyProfile();
    Bytes payload = {'p'};
    const SettingsImage image = toSettingsImage(s);
    payload.insert(payload.end(), image.begin(), image.end());
    com_.queueReply(ack('p'));
    EXPECT_TRUE(commands_.SendSettings(s));
    EXPECT_EQ(com_.written(), referenceFrame(payload));
    EXPECT_EQ(payload.size(), 51U);
}

struct FailureCase {
    const char* name;
    std::function<void(FakeCom&)> arrange;
    std::string text;
};

std::vector<FailureCase> failures(char letter) {
    const auto nak = referenceFrame({static_cast<std::uint8_t>(letter), 0x15});
    const auto other = referenceFrame({static_cast<std::uint8_t>(letter + 1), 0x06});
    return {
        {"send", [](FakeCom& com) { com.failWriteAt(0); }, "Fehler beim senden"},
        {"no reply", [](FakeCom&) {}, "Fehler beim lesen"},
        {"wrong letter", [other](FakeCom& com) { com.queueReply(other); },
         "Antwort passt nicht auf gesendeten Befehl"},
        {"nak", [nak](FakeCom& com) { com.queueReply(nak); }, "Antwort nicht OK"},
    };
}

TEST_F(DeviceCommandsTest, EachFailureShowsExactlyOneMessage) {
    struct Variant {
        char letter;
        std::function<bool(DeviceCommands&)> send;
        std::string suffix;
    };
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    const std::vector<Variant> variants = {
        {'f', [&s](DeviceCommands& c) { return c.SendFrequency(s); }, ""},
        {'g', [&s](DeviceCommands& c) { return c.SendAmplitude(s); }, ""},
        {'m', [&s](DeviceCommands& c) { return c.SendModulation(s); }, ""},
        {'r', [](DeviceCommands& c) { return c.SendFactoryReset(); }, " (Reset)"},
    };
    for (const Variant& v : variants) {
        for (const FailureCase& f : failures(v.letter)) {
            SCOPED_TRACE(std::string(1, v.letter) + " " + f.name);
            FakeCom com;
            link_.SetCom(&com);
            RecordingMessageSink sink;
            DeviceCommands commands(com, link_, sink);
            f.arrange(com);
            EXPECT_FALSE(v.send(commands));
            EXPECT_EQ(sink.messages,
                      (std::vector<Message>{{f.text + v.suffix, "Übertragungsfehler"}}));
        }
    }
}

TEST_F(DeviceCommandsTest, ParameterReadFillsTheRecordAndTheVersion) {
    GeneratorSettings expected = GeneratorSettings::emptyProfile();
    expected.amplitude = 1000;
    expected.pllOffset = -1;
    Bytes reply = {'P', 0x00, 0x66};
    const SettingsImage image = toSettingsImage(expected);
    reply.insert(reply.end(), image.begin(), image.end());
    com_.queueReply(referenceFrame(reply));

    GeneratorSettings read;
    std::uint16_t version = 0;
    EXPECT_TRUE(commands_.ReadParameters(read, version));
    EXPECT_EQ(version, 102);
    EXPECT_EQ(read, expected);
    EXPECT_EQ(com_.written(), referenceFrame({'P'}));
    EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(DeviceCommandsTest, ParameterReadFailuresStoreNothing) {
    Bytes wrongLetter = {'Q', 0x00, 0x66};
    wrongLetter.resize(53, 0x11);
    Bytes shortReply = {'P', 0x00, 0x66, 0x01};
    const std::vector<FailureCase> cases = {
        {"send", [](FakeCom& com) { com.failWriteAt(2); }, "Fehler beim senden (Parameter)"},
        {"no reply", [](FakeCom&) {}, "Fehler beim lesen (Parameter)"},
        {"wrong letter", [&](FakeCom& com) { com.queueReply(referenceFrame(wrongLetter)); },
         "Antwort passt nicht auf gesendeten Befehl (Parameter)"},
        {"reply too short for the image",
         [&](FakeCom& com) { com.queueReply(referenceFrame(shortReply)); },
         "Fehler beim lesen (Parameter)"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeCom com;
        link_.SetCom(&com);
        RecordingMessageSink sink;
        DeviceCommands commands(com, link_, sink);
        c.arrange(com);
        GeneratorSettings read = GeneratorSettings::emptyProfile();
        std::uint16_t version = 7;
        EXPECT_FALSE(commands.ReadParameters(read, version));
        EXPECT_EQ(read, GeneratorSettings::emptyProfile());
        EXPECT_EQ(version, 7);
        EXPECT_EQ(sink.messages, (std::vector<Message>{{c.text, "Übertragungsfehler"}}));
    }
}

TEST_F(DeviceCommandsTest, ResetWaitsSevenHundredMillisecondsPerByte) {
    com_.queueReply(ack('r'));
    EXPECT_TRUE(commands_.SendFactoryReset());
    EXPECT_EQ(com_.timeoutsSet(), (std::vector<std::uint32_t>{500, 500, 700, 500}));
}

TEST_F(DeviceCommandsTest, BootloaderStartReadsNothing) {
    EXPECT_TRUE(commands_.StartBootloader());
    EXPECT_EQ(com_.written(), referenceFrame({'!'}));
    EXPECT_EQ(com_.readCount(), 0);
    EXPECT_TRUE(sink_.messages.empty());

    com_.failWriteAt(com_.written().size());
    EXPECT_FALSE(commands_.StartBootloader());
    EXPECT_EQ(
        sink_.messages,
        (std::vector<Message>{{"Fehler beim senden (Bootloader starten)", "Übertragungsfehler"}}));
}

TEST_F(DeviceCommandsTest, ModulationFlushesOnceMoreWhateverTheResult) {
    const GeneratorSettings s = GeneratorSettings::emptyProfile();
    com_.queueReply(ack('m'));
    EXPECT_TRUE(commands_.SendModulation(s));
    EXPECT_EQ(com_.flushCount(), 2);
    EXPECT_FALSE(commands_.SendModulation(s));
    EXPECT_EQ(com_.flushCount(), 4);
    EXPECT_FALSE(commands_.SendFrequency(s));  // other commands flush only before
    EXPECT_EQ(com_.flushCount(), 5);
}

TEST_F(DeviceCommandsTest, LeftoverBytesFromAnEarlierExchangeAreFlushed) {
    com_.serveNow(ack('f'));  // a late reply to an earlier exchange
    com_.queueReply(ack('s'));
    EXPECT_TRUE(commands_.SendWaveform(1));
    EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(DeviceCommandsTest, ClosedPortFailsTheSend) {
    com_.Close();
    EXPECT_FALSE(commands_.SendConnect(false));
    EXPECT_EQ(sink_.messages, (std::vector<Message>{{"Fehler beim senden", "Übertragungsfehler"}}));
}

}  // namespace
}  // namespace tavero::link
