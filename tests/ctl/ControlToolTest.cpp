// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "ToolTest.h"
#include "ctl/CommandTable.h"
#include "ctl/UsageError.h"

namespace tavero::ctl {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

class ControlToolTest : public ToolTest {
protected:
    Bytes argumentsOf(char letter) const {
        for (const sim::ReceivedCommand& c : generator_.received()) {
            if (c.letter == letter) {
                return c.arguments;
            }
        }
        return {};
    }

    std::chrono::milliseconds timeOf(char letter) const {
        for (const sim::ReceivedCommand& c : generator_.received()) {
            if (c.letter == letter) {
                return std::chrono::duration_cast<std::chrono::milliseconds>(
                    c.time.time_since_epoch());
            }
        }
        return -1ms;
    }
};

const char* const kEmptyProfileLines =
    "Frequenz=100000\nMinimalfrequenz=25\nMaximalfrequenz=3000000000\nSchrittweite=0\n"
    "Amplitude=500\nWobbel-Startfrequenz=25\nWobbel-Stoppfrequenz=3000000000\n"
    "Wobbel-Frequenz=100\nSignalform=0\nModulationseinstellungen=0\n"
    "Frequenzhub=1000000\nPhasenhub=1\nAmplitudenhub=100\nModulationsfrequenz=10000\n"
    "Konfiguration=1\nPLL-Faktor=1\n";

TEST_F(ControlToolTest, ReadPrintsVersionAndEveryFieldInRecordOrder) {
    GeneratorSettings stored = GeneratorSettings::emptyProfile();
    stored.pllOffset = -1;
    generator_.setSettings(stored);
    EXPECT_EQ(run({"read"}), kExitSuccess);
    EXPECT_EQ(out_.str(),
              std::string("Firmwareversion 1.20\n") + kEmptyProfileLines + "PLL-Offset=-1\n");
    EXPECT_EQ(generator_.receivedLetters(), "xPx");
    EXPECT_EQ(argumentsOf('x'), Bytes{1});
    EXPECT_EQ(generator_.received().back().arguments, Bytes{0});
    EXPECT_TRUE(errors_.str().empty());
    EXPECT_FALSE(generator_.connected());
}

TEST_F(ControlToolTest, ReadAsJsonGivesOneObjectWithIntegersAndTheVersionAsANumber) {
    GeneratorSettings stored = GeneratorSettings::emptyProfile();
    stored.frequenzhub = -3000000000;
    stored.pllOffset = -200000000;
    generator_.setSettings(stored);
    generator_.setFirmwareVersion(102);
    EXPECT_EQ(run({"read", "--json"}), kExitSuccess);
    EXPECT_EQ(out_.str(),
              "{\"Firmwareversion\":1.02,\"Frequenz\":100000,\"Minimalfrequenz\":25,"
              "\"Maximalfrequenz\":3000000000,\"Schrittweite\":0,\"Amplitude\":500,"
              "\"Wobbel-Startfrequenz\":25,\"Wobbel-Stoppfrequenz\":3000000000,"
              "\"Wobbel-Frequenz\":100,\"Signalform\":0,\"Modulationseinstellungen\":0,"
              "\"Frequenzhub\":-3000000000,\"Phasenhub\":1,\"Amplitudenhub\":100,"
              "\"Modulationsfrequenz\":10000,\"Konfiguration\":1,\"PLL-Faktor\":1,"
              "\"PLL-Offset\":-200000000}\n");
}

TEST_F(ControlToolTest, SetSendsEachTouchedGroupOnceInFixedOrder) {
    EXPECT_EQ(
        run({"set", "PLL-Faktor=2", "Amplitude=700", "Konfiguration=2", "Maximalfrequenz=2000000",
             "Frequenz=200000", "Phasenhub=90", "Modulationsfrequenz=20", "Minimalfrequenz=100"}),
        kExitSuccess);
    EXPECT_EQ(generator_.receivedLetters(), "xPcfgaemtx");
    EXPECT_EQ(argumentsOf('c'), (Bytes{0, 0, 0, 100, 0x00, 0x1E, 0x84, 0x80}));
    EXPECT_EQ(argumentsOf('f'), (Bytes{0x00, 0x03, 0x0D, 0x40}));
    EXPECT_EQ(argumentsOf('a'), Bytes{0});  // filter bit clear
    EXPECT_EQ(argumentsOf('e'), Bytes{1});  // sweep
    EXPECT_EQ(generator_.settings().phasenhub, 90U);
    EXPECT_EQ(generator_.settings().pllFaktor, 2U);
    EXPECT_TRUE(errors_.str().empty());
}

TEST_F(ControlToolTest, RefusedInputSendsNothingAtAll) {
    const std::vector<std::vector<std::string>> refused = {
        {"Frequenz"},
        {"Frequenz="},
        {"Frequenz=12a"},
        {"Frequenz=1.5"},
        {"frequenz=100000"},
        {"Unbekannt=1"},
        {"Frequenz=100010"},      // off the 0.25 Hz grid
        {"Frequenz=3000000025"},  // above 30 MHz
        {"Frequenz=4294967296"},  // would wrap into range
        {"Frequenz=99999999999999999999"},
        {"Amplitude=1001"},
        {"Amplitude=-1"},
        {"Signalform=4"},
        {"Konfiguration=6"},              // both mode bits
        {"Modulationseinstellungen=12"},  // no such modulation kind
        {"Wobbel-Frequenz=0"},
        {"Phasenhub=360"},
        {"PLL-Faktor=0"},
        {"PLL-Offset=200000001"},
        {"Frequenzhub=-3000000025"},
        {"Amplitude=500", "Amplitude=600"},
    };
    for (std::vector<std::string> args : refused) {
        SCOPED_TRACE(args.front());
        errors_.str("");
        args.insert(args.begin(), "set");
        EXPECT_EQ(run(args), kExitUsage);
        EXPECT_EQ(errors_.str().rfind("tavero-ctl: ", 0), 0U);
        EXPECT_EQ(generator_.receivedLetters(), "");
    }
}

TEST_F(ControlToolTest, RulesBetweenFieldsAreJudgedAgainstTheGeneratorsRecord) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string letters;
    };
    // The generator starts with Frequenz 1 kHz within 0.25 Hz .. 30 MHz.
    const std::vector<Case> cases = {
        {{"Frequenz=3000000000", "Maximalfrequenz=2000000"}, kExitUsage, "xPx"},
        {{"Minimalfrequenz=2000000", "Maximalfrequenz=1000000"}, kExitUsage, "xPx"},
        {{"Minimalfrequenz=200000"}, kExitSuccess, "xPcfx"},  // Frequenz follows the limit up
        {{"Maximalfrequenz=50"}, kExitSuccess, "xPcfx"},      // ... and down
        {{"PLL-Offset=-100000"}, kExitSuccess, "xPcfox"},     // the least frequency raises both
        {{"PLL-Offset=-100000", "Minimalfrequenz=100"}, kExitUsage, "xPx"},
        {{"PLL-Offset=-200000000"}, kExitUsage, "xPx"},  // needs more than 30 MHz
        {{"PLL-Offset=-200000000", "PLL-Faktor=2048"}, kExitSuccess, "xPcftox"},
        {{"PLL-Offset=-100000", "PLL-Faktor=4", "Minimalfrequenz=25000000", "Frequenz=25000000"},
         kExitSuccess,
         "xPcftox"},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.args.front());
        generator_.setSettings(GeneratorSettings::emptyProfile());
        generator_.clearReceived();
        c.args.insert(c.args.begin(), "set");
        EXPECT_EQ(run(c.args), c.status);
        EXPECT_EQ(generator_.receivedLetters(), c.letters);
    }
    EXPECT_EQ(generator_.settings().minimalfrequenz, 25000000U);
    EXPECT_EQ(generator_.settings().frequenz, 25000000U);
}

TEST_F(ControlToolTest, LeastFrequencyOfThePllStageMovesTheLimitAndTheFrequency) {
    EXPECT_EQ(run({"set", "PLL-Offset=-200000000", "PLL-Faktor=2048"}), kExitSuccess);
    EXPECT_EQ(generator_.settings().minimalfrequenz, 97656250U);
    EXPECT_EQ(generator_.settings().frequenz, 97656250U);
}

TEST_F(ControlToolTest, FailedExchangeExitsWithItsMessage) {
    struct Case {
        sim::Fault fault;
        char letter;
        std::string message;
    };
    const std::vector<Case> cases = {
        {sim::Fault::kNoReply, 'P', "Fehler beim lesen (Parameter)\n"},
        {sim::Fault::kWrongLetter, 'P', "Antwort passt nicht auf gesendeten Befehl (Parameter)\n"},
        {sim::Fault::kNak, 'g', "Antwort nicht OK\n"},
        {sim::Fault::kBadCrc, 'g', "Fehler beim lesen\n"},
        {sim::Fault::kNoReply, 'x', "Fehler beim lesen\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        generator_.clearFaults();
        generator_.injectFault(c.fault, c.letter);
        errors_.str("");
        EXPECT_EQ(run({"set", "Amplitude=100"}), kExitFailure);
        EXPECT_EQ(errors_.str(), c.message);
    }
}

TEST_F(ControlToolTest, NoiseBeforeTheReplyIsHarmless) {
    generator_.injectFault(sim::Fault::kNoise, std::nullopt, 10);
    EXPECT_EQ(run({"read"}), kExitSuccess);
    EXPECT_TRUE(errors_.str().empty());
}

TEST_F(ControlToolTest, DeviceThatNeverStopsTalkingFailsTheExchangeInsteadOfHoldingIt) {
    sim::SimulatedBridge talker;
    const std::string log = "$GPGGA,123519,4807.038,N\r\n";
    talker.attachForeign(sim::SimulatedBridge::generatorIdentity(), {log.begin(), log.end()});
    EXPECT_EQ(runOn(talker, {"read"}), kExitFailure);
    EXPECT_EQ(errors_.str(), "Fehler beim lesen\n");
    EXPECT_FALSE(talker.isOpen(0));
}

TEST_F(ControlToolTest, MissingGeneratorGivesTheConnectionMessage) {
    sim::SimulatedBridge empty;
    EXPECT_EQ(runOn(empty, {"read"}), kExitFailure);
    EXPECT_EQ(
        errors_.str(),
        std::string(
            "Es konnte keine Datenverbindung zum Tavero aufgebaut werden.\n\nBitte prüfen Sie:\n"
            "- Ist das Tavero angeschlossen? (ls -l /dev/serial/by-id/)\n"
            "- Darf Ihr Benutzer es öffnen? (udev-Regel; über SSH: Gruppe dialout)\n"
            "- Belegt ModemManager es? (sudo systemctl stop ModemManager)\n"
            "- Verwendet ein anderes Programm es? (fuser -v /dev/ttyUSB0)") +
            "\n");
    EXPECT_TRUE(out_.str().empty());
}

TEST_F(ControlToolTest, FailedHandshakeClosesThePortForARetry) {
    generator_.injectFault(sim::Fault::kNoReply, 'x');
    EXPECT_EQ(run({"read"}), kExitFailure);
    EXPECT_FALSE(bridge_.isOpen(0));
    EXPECT_EQ(run({"read"}), kExitSuccess);
}

TEST_F(ControlToolTest, MaintenanceWithoutYesIsRefusedBeforeTheGeneratorHearsAnything) {
    for (const char* command : {"reset", "bootloader"}) {
        SCOPED_TRACE(command);
        errors_.str("");
        EXPECT_EQ(run({command}), kExitUsage);
        EXPECT_NE(errors_.str().find("--yes"), std::string::npos);
    }
    EXPECT_EQ(generator_.receivedLetters(), "");
}

TEST_F(ControlToolTest, ResetWaitsASecondThenReadsAndPrintsTheFactorySettings) {
    GeneratorSettings changed = GeneratorSettings::emptyProfile();
    changed.amplitude = 42;
    generator_.setSettings(changed);
    EXPECT_EQ(run({"reset", "--yes"}), kExitSuccess);
    EXPECT_EQ(generator_.receivedLetters(), "xrPx");
    EXPECT_EQ(timeOf('P') - timeOf('r'), 1000ms);
    EXPECT_EQ(out_.str(),
              std::string("Firmwareversion 1.20\n") + kEmptyProfileLines + "PLL-Offset=0\n");
}

TEST_F(ControlToolTest, FailedResetNeitherWaitsNorReads) {
    generator_.injectFault(sim::Fault::kNak, 'r');
    EXPECT_EQ(run({"reset", "--yes", "--json"}), kExitFailure);
    EXPECT_EQ(generator_.receivedLetters(), "xrx");
    EXPECT_EQ(clock_.now(), 0ms);
    EXPECT_EQ(errors_.str(), "Antwort nicht OK (Reset)\n");
    EXPECT_TRUE(out_.str().empty());
}

TEST_F(ControlToolTest, BootloaderClosesThePortWithoutTheDisconnectNotice) {
    EXPECT_EQ(run({"bootloader", "--yes"}), kExitSuccess);
    EXPECT_EQ(generator_.receivedLetters(), "x!");
    EXPECT_TRUE(generator_.inBootloader());
    EXPECT_FALSE(bridge_.isOpen(0));
    EXPECT_TRUE(errors_.str().empty());
}

TEST_F(ControlToolTest, EveryCommandHasItsHelpAndTheOverviewListsThemAll) {
    for (const CommandInfo& command : allCommands()) {
        SCOPED_TRACE(command.name);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"help", std::string(command.name)},
              std::vector<std::string>{std::string(command.name), "--help"}}) {
            out_.str("");
            EXPECT_EQ(run(args), kExitSuccess);
            EXPECT_EQ(
                out_.str().rfind(
                    "Usage: tavero-ctl [OPTIONS] " + std::string(command.synopsis) + "\n\n", 0),
                0U);
        }
    }
    out_.str("");
    EXPECT_EQ(run({"--help"}), kExitSuccess);
    for (const CommandInfo& command : allCommands()) {
        // A synopsis too long for the column has its summary on the next line.
        const std::size_t at = out_.str().find("\n  " + std::string(command.synopsis));
        ASSERT_NE(at, std::string::npos) << command.name;
        EXPECT_NE(std::string(" \n").find(out_.str()[at + 3 + command.synopsis.size()]),
                  std::string::npos)
            << command.name;
    }
    EXPECT_EQ(generator_.receivedLetters(), "");
}

TEST_F(ControlToolTest, AFailedDisconnectNoticeFailsTheCommand) {
    for (const sim::Fault fault : {sim::Fault::kNak, sim::Fault::kNoReply}) {
        out_.str("");
        errors_.str("");
        int commands = 0;
        onCommand_ = [this, fault, &commands] {
            if (++commands == 2) {  // while the parameters are read: the next x is the notice
                generator_.injectFault(fault, 'x');
            }
        };
        EXPECT_EQ(run({"read"}), kExitFailure) << sim::faultName(fault);
        EXPECT_EQ(out_.str().find("Firmwareversion 1.20\n"), 0U) << sim::faultName(fault);
        EXPECT_FALSE(errors_.str().empty()) << sim::faultName(fault);
    }
}

TEST_F(ControlToolTest, AnInterruptStopsTheCommandAfterTheExchangeUnderWayWithTheNotice) {
    struct Case {
        std::vector<std::string> args;
        int during;  ///< the exchange the signal arrives in, counted from 1
        int signal;
        std::string letters;  ///< what the generator received in all
    };
    const std::vector<Case> cases = {
        {{"read"}, 1, SIGINT, "xx"},
        {{"read"}, 2, SIGTERM, "xPx"},
        {{"set", "Amplitude=100", "Frequenz=200000"}, 3, SIGINT, "xPfx"},
        {{"load", "1"}, 1, SIGINT, "xx"},
        {{"load", "1"}, 2, SIGINT, "xpx"},
        {{"store", "1", "Neu"}, 2, SIGINT, "xPx"},
        {{"reset", "--yes"}, 2, SIGTERM, "xrx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " until " + c.letters);
        clock_ = FakeRunClock();
        generator_.clearReceived();
        int exchanges = 0;
        onCommand_ = [&] {
            if (++exchanges == c.during) {
                clock_.interruptNow(c.signal);
            }
        };
        EXPECT_EQ(run(c.args), 128 + c.signal);
        EXPECT_EQ(generator_.receivedLetters(), c.letters);
        EXPECT_TRUE(out_.str().empty()) << out_.str();
    }
    // The store stopped before the file: profile 1 keeps its empty name.
    EXPECT_EQ(fileBytes(profileFile_).find("Neu"), std::string::npos);
}

TEST_F(ControlToolTest, OutputThatCannotBeWrittenFailsTheCommandAfterTheDisconnect) {
    const std::vector<std::vector<std::string>> commands = {
        {"--version"}, {"profiles"}, {"read"}, {"read", "--json"}};
    for (const auto& command : commands) {
        generator_.clearReceived();
        errors_.str("");
        out_.setstate(std::ios::badbit);
        EXPECT_EQ(run(command), kExitFailure) << command.front();
        EXPECT_EQ(errors_.str(), "tavero-ctl: cannot write to standard output\n")
            << command.front();
        out_.clear();
    }
    EXPECT_EQ(generator_.receivedLetters(), "xPx");
}

}  // namespace
}  // namespace tavero::ctl
