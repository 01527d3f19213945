// SPDX-License-Identifier: GPL-3.0-or-later
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "GermanLocale.h"

namespace tavero::testing {
namespace {

/// tavero-sim on a pseudo-terminal, with the event lines it logs read one by one.
class SimulatorOnPty {
public:
    explicit SimulatorOnPty(std::vector<std::string> options = {})
        : process_(command(std::move(options))) {
        path_ = process_.readLine().value_or("");
    }
    ~SimulatorOnPty() { process_.stop(SIGTERM); }

    const std::string& path() const { return path_; }

    /// The next logged event without its time stamp, e.g. "f 00 01 86 A0" or "port opened".
    std::string nextEvent() {
        const std::string line = process_.readLine().value_or("<end of log>");
        const std::size_t blank = line.find(' ');
        return blank == std::string::npos ? line : line.substr(blank + 1);
    }

    std::vector<std::string> nextEvents(std::size_t n) {
        std::vector<std::string> events;
        while (events.size() < n) {
            events.push_back(nextEvent());
        }
        return events;
    }

private:
    static std::vector<std::string> command(std::vector<std::string> options) {
        options.insert(options.begin(), TAVERO_SIM_PATH);
        return options;
    }

    ChildProcess process_;
    std::string path_;
};

Finished ctl(const SimulatorOnPty& sim, std::vector<std::string> args) {
    args.insert(args.begin(), {TAVERO_CTL_PATH, "--port", sim.path()});
    return runProgram(args);
}

const char* const kEmptyProfileLines =
    "Frequenz=100000\nMinimalfrequenz=25\nMaximalfrequenz=3000000000\nSchrittweite=0\n"
    "Amplitude=500\nWobbel-Startfrequenz=25\nWobbel-Stoppfrequenz=3000000000\n"
    "Wobbel-Frequenz=100\nSignalform=0\nModulationseinstellungen=0\nFrequenzhub=1000000\n"
    "Phasenhub=1\nAmplitudenhub=100\nModulationsfrequenz=10000\nKonfiguration=1\n"
    "PLL-Faktor=1\nPLL-Offset=0\n";

TEST(CtlOverPty, ReadConnectsReadsAndDisconnects) {
    SimulatorOnPty sim;
    const Finished read = ctl(sim, {"read"});
    EXPECT_EQ(read.exitStatus, 0) << read.err;
    EXPECT_EQ(read.out, std::string("Firmwareversion 1.20\n") + kEmptyProfileLines);
    EXPECT_EQ(sim.nextEvents(5),
              (std::vector<std::string>{"port opened", "x 01", "P", "x 00", "port closed"}));
}

TEST(CtlOverPty, NumbersKeepThePointUnderAGermanLocale) {
    const std::string german = germanLocale();
    ASSERT_FALSE(german.empty()) << "no German locale and localedef could not build one";
    SimulatorOnPty sim;
    for (const bool json : {false, true}) {
        // LOCPATH, where the test had to build the locale, reaches the tool through env.
        std::vector<std::string> args = {"/usr/bin/env",  "LANG=" + german, "LC_ALL=" + german,
                                         TAVERO_CTL_PATH, "--port",         sim.path(),
                                         "read"};
        if (json) {
            args.push_back("--json");
        }
        const Finished read = runProgram(args);
        EXPECT_EQ(read.exitStatus, 0) << read.err;
        const std::string firmware = json ? "{\"Firmwareversion\":1.20," : "Firmwareversion 1.20\n";
        EXPECT_EQ(read.out.substr(0, firmware.size()), firmware);
    }
}

TEST(CtlOverPty, SetSendsTheTouchedGroupsAndTheGeneratorKeepsThem) {
    SimulatorOnPty sim({"--pace"});
    const Finished set = ctl(sim, {"set", "Amplitude=100", "Frequenz=200000"});
    EXPECT_EQ(set.exitStatus, 0) << set.err;
    EXPECT_EQ(sim.nextEvents(7),
              (std::vector<std::string>{"port opened", "x 01", "P", "f 00 03 0D 40", "g 00 64",
                                        "x 00", "port closed"}));
    const Finished read = ctl(sim, {"read"});
    EXPECT_NE(read.out.find("\nFrequenz=200000\n"), std::string::npos);
    EXPECT_NE(read.out.find("\nAmplitude=100\n"), std::string::npos);
}

TEST(CtlOverPty, RefusedValueNeverOpensThePort) {
    SimulatorOnPty sim;
    const Finished refused = ctl(sim, {"set", "Amplitude=1001"});
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_NE(refused.err.find("Amplitude"), std::string::npos);
    EXPECT_EQ(ctl(sim, {"read"}).exitStatus, 0);
    // The first thing the generator sees is the read that followed.
    EXPECT_EQ(sim.nextEvents(2), (std::vector<std::string>{"port opened", "x 01"}));
}

TEST(CtlOverPty, FaultsEndWithTheirMessage) {
    struct Case {
        const char* fault;
        std::vector<std::string> args;
        int status;
        const char* err;
    };
    const std::vector<Case> cases = {
        {"no-reply:P", {"read"}, 1, "Fehler beim lesen (Parameter)\n"},
        {"nak:g", {"set", "Amplitude=100"}, 1, "Antwort nicht OK\n"},
        {"wrong-letter:x:1", {"read"}, 1, "Antwort passt nicht auf gesendeten Befehl\n"},
        {"bad-crc:f", {"set", "Frequenz=100025"}, 1, "Fehler beim lesen\n"},
        {"noise", {"read"}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        SimulatorOnPty sim({"--fault", c.fault});
        const Finished run = ctl(sim, c.args);
        EXPECT_EQ(run.exitStatus, c.status);
        EXPECT_EQ(run.err, c.err);
    }
}

TEST(CtlOverPty, GeneratorVanishingDuringPlayEndsItNamingTheStep) {
    SimulatorOnPty sim({"--fault", "unplug:p:1"});
    const Finished run = ctl(sim, {"play", TAVERO_STORE_GOLDEN_DIR "/ThreeEntries.tvr"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err,
              "Fehler beim lesen\ntavero-ctl: the generator is gone (unplugged?); play stopped at "
              "step 1, 1: Sinus 1 kHz\n");
}

TEST(CtlOverPty, RetryAfterAFailedHandshakeSucceeds) {
    SimulatorOnPty sim({"--fault", "no-reply:x:1"});
    EXPECT_EQ(ctl(sim, {"read"}).exitStatus, 1);
    const Finished retry = ctl(sim, {"read"});
    EXPECT_EQ(retry.exitStatus, 0) << retry.err;
}

/// One query to a SCPI server on the loopback address, and its answer line.
std::string queryOverTcp(const std::string& listening, const std::string& query) {
    const int port = std::stoi(listening.substr(listening.rfind(':') + 1));
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::write(socket, query.data(), query.size()) == static_cast<ssize_t>(query.size())) {
        char byte = 0;
        while (::read(socket, &byte, 1) == 1 && byte != '\n') {
            answer += byte;
        }
    }
    ::close(socket);
    return answer;
}

TEST(CtlOverPty, WhatTheDeviceSendsBetweenExchangesIsThrownAwayNotKept) {
    // Memory is compared with a server that got next to nothing, so that the figure holds in
    // any build.
    constexpr std::size_t kChatter = 64 * 1024 * 1024;
    std::vector<long> peakKiB;
    for (const std::size_t chatter : {std::size_t{1}, kChatter}) {
        SimulatorOnPty sim({"--chatter", std::to_string(chatter)});
        ChildProcess serve(
            {TAVERO_CTL_PATH, "--port", sim.path(), "serve", "--listen", "127.0.0.1:0"});
        const std::string listening = serve.readLine().value_or("");
        EXPECT_EQ(sim.nextEvents(4),
                  (std::vector<std::string>{"port opened", "x 01", "P",
                                            "chattered " + std::to_string(chatter)}));
        // The generator still answers through it: *TST? reads its settings.
        EXPECT_EQ(queryOverTcp(listening, "*TST?\n"), "0");
        EXPECT_EQ(serve.stop(SIGINT), 0);
        peakKiB.push_back(serve.peakResidentKiB());
    }
    EXPECT_LT(peakKiB[1], peakKiB[0] + 16 * 1024) << "KiB at most after 64 MiB of log text";
}

TEST(CtlOverPty, MissingDeviceGivesTheConnectionMessageInTheDesktopsLanguage) {
    const struct {
        const char* language;
        const char* message;
    } cases[] = {
        {"LANGUAGE=de", "Es konnte keine Datenverbindung zum Tavero aufgebaut werden.\n\n"},
        {"LANGUAGE=en_GB:de", "No data connection to the Tavero could be established.\n\n"},
        {"LANGUAGE=fr", "No data connection to the Tavero could be established.\n\n"},
    };
    for (const auto& [language, message] : cases) {
        const Finished run = runProgram({"/usr/bin/env", language, TAVERO_CTL_PATH, "--port",
                                         "/dev/tavero-does-not-exist", "read"});
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.err.rfind(message, 0), 0U) << language << ": " << run.err;
    }
}

}  // namespace
}  // namespace tavero::testing
