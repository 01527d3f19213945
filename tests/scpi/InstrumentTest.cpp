// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>

#include "DirectFileWriter.h"
#include "FakeRunClock.h"
#include "scpi/DeviceErrors.h"
#include "scpi/Instrument.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/ProfileFile.h"
#include "store/TaskListFile.h"

namespace tavero::scpi {
namespace {

using namespace std::chrono_literals;

/// The instrument on the in-process simulated generator, with a fake clock and a data folder of
/// the test's own.
class Bench {
public:
    explicit Bench(const std::filesystem::path& folder) : folder_(folder) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        generator.setSettings(GeneratorSettings::emptyProfile());
        generator.setFirmwareVersion(102);
    }
    ~Bench() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string run(std::string_view line) {
        return instrument.execute(client, line, {model::FrontEnd::kScpi, "test"});
    }
    /// The letters the generator received after the connection's "xP", if there was one.
    std::string sentAfterConnect() const {
        const std::string letters = generator.receivedLetters();
        return letters.starts_with("xP") ? letters.substr(2) : letters;
    }

    std::filesystem::path folder_;
    std::filesystem::path profileFile = folder_ / "Profile" / "Profile.pro";
    ctl::FakeRunClock clock;
    sim::SimulatedGenerator generator{[this] { return clock.timePoint(); }};
    sim::SimulatedBridge bridge{generator};
    store::DirectFileWriter writer;
    std::ostringstream diagnostics;
    std::ostringstream log;
    link::TraceFile trace{folder_ / "out.txt"};
    model::GeneratorModel model{bridge, trace, diagnostics, model::ConnectPolicy::kOnDemand};
    Instrument instrument{{.generator = model,
                           .profileFile = profileFile,
                           .fileWriter = writer,
                           .clock = clock,
                           .log = log}};
    ErrorQueue client;
};

std::filesystem::path testFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::filesystem::temp_directory_path() /
           (std::string("tavero-scpi-") + info->test_suite_name() + "-" + info->name());
}

TEST(InstrumentTest, CarriesOutEachCommandWithTheWindowsRules) {
    struct Case {
        const char* line;
        const char* response;
        const char* sent;  ///< command letters after the connection
        int error;         ///< the first entry of the queue afterwards
    };
    // The generator starts with an empty profile: 1000 Hz, 500 mV, sine, standard mode.
    const std::array<Case, 59> cases = {{
        {"*IDN?", "Tavero,Tavero,0,1.02-1.2.0\n", "", 0},
        {"FREQ 1.5KHZ;FREQ?", "1500.00\n", "f", 0},
        {"frequency 1000.1;:FREQ?", "1000.00\n", "f", 0},  // rounded to the 0.25 Hz grid
        {"SOUR1:FREQ:CW 1000.13;FREQ?", "1000.25\n", "f", 0},
        {"source1:frequency:fixed 2.000000e+03;FREQ?", "2000.00\n", "f", 0},
        {"FREQ 1.5 E 3;FREQ?", "1500.00\n", "f", 0},  // white space around the exponent
        {"FREQ? MIN;FREQ? MAX;FREQ? DEF", "0.25;30000000.00;1000.00\n", "", 0},
        {"SOUR:VOLT? MAX;VOLT? MIN;VOLT:OFFS? MAX", "1.000;0.000;0.000\n", "", 0},
        {"AM:INT:FREQ? MAX;:FREQ:LIM:HIGH? MIN", "5000.0;0.25\n", "", 0},
        {"SWE:TIME? MIN;TIME? MAX", "0.05;10\n", "", 0},
        {"FREQ? 1", "", "", -108},
        {"SOUR:VOLT:OFFS 0;OFFS?", "0.000\n", "", 0},
        {"VOLT:OFFS 0.1", "", "", -222},
        {"FREQ MAX;FREQ?", "30000000.00\n", "f", 0},
        {"FREQ 30000000.2", "", "", -222},
        {"FREQ 40MHZ", "", "", -222},
        {"FREQ -1", "", "", -222},
        {"FREQ:LIM:LOW 2000;:FREQ?;:FREQ:LIM:LOW?", "2000.00;2000.00\n", "cf", 0},
        {"VOLT 500MV;VOLT?", "0.500\n", "g", 0},
        {"SOUR:VOLT:LEV:IMM:AMPL 1;VOLT?", "1.000\n", "g", 0},
        {"VOLT 1.1", "", "", -222},
        {"VOLT:UNIT VPP;UNIT?", "VPP\n", "", 0},
        {"VOLT:UNIT DBM", "", "", -224},
        {"FUNC RAMP;FUNC?", "TRI\n", "s", 0},
        {"FUNC SQU2;FUNC?", "SQU2\n", "s", 0},
        {"FUNC NOISE", "", "", -224},
        {"FREQ", "", "", -109},
        {"FREQ 1,2", "", "", -108},
        {"FREQ 1 KV", "", "", -131},
        {"FREQ ABC", "", "", -104},
        {"FOO?", "", "", -113},
        {"FREQ 1000;BAR 3;VOLT 0.2", "", "f", -113},  // a command error ends the line
        {"FREQ 1E9;VOLT 0.2", "", "g", -222},         // an execution error only its command
        {"*OPC?;SYST:VERS?", "1;1999.0\n", "", 0},
        {"OUTP?", "1\n", "", 0},
        {"OUTP ON", "", "", 0},
        {"OUTP OFF", "", "", -224},  // no output switch: OFF cannot be honoured
        {"OUTP:FILT ON;FILT?", "1\n", "ae", 0},
        {"SWE:STAT ON;STAT?", "1\n", "ae", 0},
        {"FREQ:STAR 100;STOP 2000;:FREQ:STAR?", "100.00\n", "ww", 0},
        {"SWE:TIME 0.5;TIME?", "0.5\n", "w", 0},
        {"SWE:TIME 0.3;TIME?", "0.303\n", "w", 0},  // the rate's 0.1 Hz grid: 3.3 Hz
        {"SWE:TIME 100", "", "", -222},
        {"SWE:TIME 15", "", "", -222},
        {"PSK:STAT ON;STAT?;:FSK:STAT?", "1;0\n", "aem", 0},
        {"FSK:SOUR EXT;SOUR?;:FSK:FREQ -100;FREQ?", "EXT;-100.00\n", "mm", 0},
        {"PSK:PHAS 400", "", "", -222},
        {"AM:STAT ON;STAT?", "1\n", "aem", 0},
        {"TAV:PLL:FACT 2;:FREQ?", "2000.00\n", "t", 0},
        // The synthesiser value whose output is nearest: 48828126 x 2048, not 20 Hz below.
        {"TAV:PLL:FACT 2048;:FREQ 1000000020;FREQ?", "1000000020.48\n", "tf", 0},
        {"TAV:PLL:FACT 3;:FREQ 1000.02;FREQ?", "1000.02\n", "tf", 0},
        // An offset of -1 MHz needs 1 MHz at the synthesiser: the window's least-frequency rule.
        {"TAV:PLL:OFFS -1000000;:FREQ?;:FREQ:LIM:LOW?", "0.00;1000000.00\n", "cfo", 0},
        {"TAV:PLL:OFFS -4E9", "", "", -222},
        {"TAV:PLL:OFFS -2E9", "", "", -222},  // would need more than 30 MHz
        {"*RST", "", "p", 0},
        {"*SRE 255;*SRE?", "191\n", "", 0},  // bit 6 enables nothing
        {"STAT:OPER:ENAB 5;ENAB?;:STAT:PRES;:STAT:OPER:ENAB?;:STAT:QUES?;QUES:COND?", "5;0;0;0\n",
         "", 0},
        {"STAT:QUES:ENAB 70000", "", "", -222},
        {"SYST:ERR:COUN?;:FOO;:SYST:ERR:COUN?", "0\n", "", -113},
    }};
    for (const Case& c : cases) {
        Bench bench(testFolder());
        EXPECT_EQ(bench.run(c.line), c.response) << c.line;
        EXPECT_EQ(bench.sentAfterConnect(), c.sent) << c.line;
        EXPECT_EQ(bench.client.pop().code, c.error) << c.line;
    }
}

TEST(InstrumentTest, LocksTheWindowOutAndGivesItBack) {
    struct Case {
        const char* line;
        bool lockout;
        int error;
    };
    const std::array<Case, 5> cases = {{
        {"SYST:RWL", true, 0},
        {"SYSTEM:RWLOCK;:SYST:LOC", false, 0},
        {"syst:rem", true, 0},
        {"SYST:REM;:SYST:LOCAL", false, 0},
        {"SYST:RWL 1", false, -108},
    }};
    for (const Case& c : cases) {
        Bench bench(testFolder());
        EXPECT_EQ(bench.run(c.line), "") << c.line;
        EXPECT_EQ(bench.model.remoteControl().lockout, c.lockout) << c.line;
        EXPECT_EQ(bench.client.pop().code, c.error) << c.line;
        // Nothing of it needs the generator.
        EXPECT_EQ(bench.generator.receivedLetters(), "") << c.line;
    }
}

TEST(InstrumentTest, TakesASiglentScopesAwgCommandsByTheSameRules) {
    struct Case {
        std::string line;
        std::string response;
        const char* sent;  ///< command letters after the connection
        int error;         ///< the first entry of the queue afterwards
        const char* hint;  ///< what standard error gets, all of it
    };
    const std::string setUp = "C1:OUTP LOAD,50;BSWV WVTP,SINE,PHSE,0,FRQ,15000,AMP,";
    const std::string wave = "C1:BSWV WVTP,SINE,FRQ,";
    // The generator starts with an empty profile: 1000 Hz, 500 mV, sine.
    const std::array<Case, 18> cases = {{
        {"IDN-SGLT-PRI?", "IDN-SGLT-PRI SDG Tavero\n", "", 0, ""},
        {"c1:bswv?", (wave + "1000HZ,AMP,0.5V,OFST,0V,PHSE,0\n"), "", 0, ""},
        {(setUp + "0.8,OFST,0;OUTP ON;:C1:BSWV?;OUTP?"),
         (wave + "15000HZ,AMP,0.8V,OFST,0V,PHSE,0;C1:OUTP ON,LOAD,50\n"), "fgs", 0, ""},
        // Units as Siglent writes them, and a frequency off the 0.25 Hz grid.
        {"C1:BSWV FRQ,1000.13HZ,AMP,0.25V;BSWV?", (wave + "1000.25HZ,AMP,0.25V,OFST,0V,PHSE,0\n"),
         "fg", 0, ""},
        {"C1:BSWV WVTP,RAMP;BSWV?", "C1:BSWV WVTP,RAMP,FRQ,1000HZ,AMP,0.5V,OFST,0V,PHSE,0\n", "s",
         0, ""},
        // What the generator cannot do is refused alone; the rest of the line is sent.
        {(setUp + "2,OFST,0;OUTP ON"), "", "fs", -222,
         "tavero-ctl: the scope asks 2 Vpp; the Tavero gives at most 1 Vpp: set the Bode plot's "
         "amplitude to 1 Vpp or less\n"},
        {"C1:BSWV OFST,0.5V,FRQ,2000", "", "f", -222,
         "tavero-ctl: the scope asks an offset of 0.5 V; the Tavero's output has none: set the "
         "Bode plot's offset to 0 V\n"},
        {"C1:BSWV PHSE,90,AMP,0.3", "", "g", -222,
         "tavero-ctl: the scope asks a phase of 90 deg; the Tavero's output has no phase setting: "
         "set the AWG's phase to 0 in the scope's settings\n"},
        {"C1:BSWV WVTP,NOISE", "", "", -224,
         "tavero-ctl: the scope asks the waveform NOISE; the Tavero gives SINE, SQUARE and RAMP: "
         "set the scope's AWG waveform to SINE\n"},
        {"C1:BSWV FRQ,40MHZ", "", "", -222,
         "tavero-ctl: the scope asks 40000000 Hz; the Tavero gives 0.25 Hz to 30000000 Hz: set "
         "the Bode plot's start and stop frequencies within these\n"},
        {"C2:BSWV FRQ,2000;:FREQ?", "1000.00\n", "", -224,
         "tavero-ctl: the scope drives the AWG's channel C2; the Tavero has one output: choose "
         "channel C1 in the scope's Bode plot settings\n"},
        {"C1:OUTP OFF;OUTP?", "C1:OUTP ON,LOAD,HZ\n", "", -224,
         "tavero-ctl: the scope switches the AWG's output off; the Tavero's output has no switch "
         "and stays on: nothing to set on the scope\n"},
        // Malformed commands are errors without a hint.
        {"C1:BSWV FRQ", "", "", -109, ""},
        {"C1:BSWV AMP,0.8V,HLEV,1", "", "g", -224, ""},
        {"C1:BSWV FRQ,1KV", "", "", -131, ""},
        {"C1:BSWV AMP,-1", "", "", -222, ""},
        {"C1:OUTP LOAD,75", "", "", -224, ""},
        {"C1:OUTP ON,LOAD,HZ;OUTP?", "C1:OUTP ON,LOAD,HZ\n", "", 0, ""},
    }};
    for (const Case& c : cases) {
        Bench bench(testFolder());
        EXPECT_EQ(bench.run(c.line), c.response) << c.line;
        EXPECT_EQ(bench.sentAfterConnect(), c.sent) << c.line;
        EXPECT_EQ(bench.client.pop().code, c.error) << c.line;
        EXPECT_EQ(bench.log.str(), c.hint) << c.line;
    }
}

TEST(InstrumentTest, HintsHowToSetTheScopeOncePerKindNotPerPoint) {
    Bench bench(testFolder());
    for (const char* frequency : {"100", "200", "300"}) {
        bench.run(std::string("C1:BSWV FRQ,") + frequency + ",AMP,2,OFST,1");
    }
    bench.run("C1:BSWV AMP,3");
    // Each point took its frequency; the amplitude and offset were never sent.
    EXPECT_EQ(bench.sentAfterConnect(), "fff");
    EXPECT_EQ(bench.client.size(), 7U);
    const std::string hints = bench.log.str();
    EXPECT_EQ(std::count(hints.begin(), hints.end(), '\n'), 2) << hints;
}

TEST(InstrumentTest, ReportsStatusAndErrorsInTheStandardRegisters) {
    Bench bench(testFolder());
    EXPECT_EQ(bench.run("*ESE 255;*ESE?;*STB?"), "255;0\n");
    bench.run("FREQ 1 KV");
    bench.run("VOLT 2");
    EXPECT_EQ(bench.run("*STB?"), "36\n");  // error queue, event summary; no request enabled
    EXPECT_EQ(bench.run("*SRE 4;*STB?"), "100\n");  // the request follows the enable mask
    EXPECT_EQ(bench.run("*SRE 16;*STB?"), "36\n");
    EXPECT_EQ(bench.run("*ESR?;*ESR?"), "48;0\n");
    EXPECT_EQ(bench.run("SYST:ERR:COUN?"), "2\n");
    EXPECT_EQ(bench.run("SYST:ERR?"), "-131,\"Invalid suffix; KV\"\n");
    EXPECT_EQ(bench.run("SYST:ERR:NEXT?"),
              "-222,\"Data out of range; VOLT: allowed is 0.000 to 1.000 V\"\n");
    EXPECT_EQ(bench.run("SYST:ERR?"), "0,\"No error\"\n");
    bench.run("*OPC");
    EXPECT_EQ(bench.run("*ESR?"), "1\n");
    bench.run("FOO");
    bench.run("BAR");
    EXPECT_EQ(bench.run("SYST:ERR:ALL?"), "-113,\"Undefined header\",-113,\"Undefined header\"\n");
    EXPECT_EQ(bench.run("SYST:ERR:ALL?"), "0,\"No error\"\n");
    bench.run("FOO");
    bench.run("*CLS");
    EXPECT_EQ(bench.run("*STB?;SYST:ERR?"), "0;0,\"No error\"\n");
}

TEST(InstrumentTest, NamesTheHeaderAndTheRangeInTheCommandsUnits) {
    const std::array<std::pair<const char*, const char*>, 11> cases = {{
        {"AM:INT:FREQ 0.5", "AM:INT:FREQ: allowed is 1.0 to 5000.0 Hz"},
        {"VOLT 1.001", "VOLT: allowed is 0.000 to 1.000 V"},
        {"FREQ 40MHZ", "FREQ: allowed is 0.25 to 30000000.00 Hz"},
        {"FREQ 1E999", "FREQ: allowed is 0.25 to 30000000.00 Hz"},
        {"SWE:TIME 15", "SWE:TIME: allowed is 0.05 to 10 s"},
        {"*SAV 51", "*SAV: allowed is 1 to 50"},
        {"PSK:PHAS 400", "PSK:PHAS: allowed is 1 to 359 deg"},
        {"AM:DEPT 101", "AM:DEPT: allowed is 0 to 100 %"},
        {"FREQ:LIM:HIGH 2000;LOW 3000", "FREQ:LIM:LOW: allowed is 0.25 to 2000.00 Hz"},
        // An offset that would need a least synthesiser frequency above the highest.
        {"TAV:PLL:OFFS -4E7", "TAV:PLL:OFFS: allowed is -30000000 to 2000000000 Hz"},
        {"TAV:PLL:FACT 4;OFFS -1E8;FACT 3", "TAV:PLL:FACT: allowed is 4 to 2048"},
    }};
    for (const auto& [line, text] : cases) {
        Bench bench(testFolder());
        bench.run(line);
        EXPECT_EQ(bench.client.pop(),
                  (ErrorEntry{kDataOutOfRange, std::string("Data out of range; ") + text}))
            << line;
    }
    Bench bench(testFolder());
    bench.run("TAV:PLL:FACT 4;OFFS -1E8");
    EXPECT_EQ(bench.run("TAV:PLL:FACT? MIN;OFFS? MIN"), "4;-120000000\n");
}

TEST(InstrumentTest, AnswersInSevenBitAscii) {
    Bench bench(testFolder());
    bench.run("FREQ 1\xff");
    bench.run("TAV:LIST:LOAD \"/nonexistent/n\xc3\xb6.tvr\"");
    bench.generator.unplug();
    bench.run("FREQ 2000");
    EXPECT_EQ(bench.run("SYST:ERR?"), "-131,\"Invalid suffix; \\xff\"\n");
    // What the client sent is escaped, the program's German letters transliterated.
    EXPECT_EQ(bench.run("SYST:ERR?"),
              "121,\"Die Aufgabenliste koennte nicht gelesen werden. /nonexistent/n\\xc3\\xb6.tvr: "
              "not a task list file\"\n");
    const std::string unplugged = bench.run("SYST:ERR?");
    EXPECT_TRUE(unplugged.starts_with("110,\"Es konnte keine Datenverbindung")) << unplugged;
    EXPECT_NE(unplugged.find("Darf Ihr Benutzer es oeffnen?"), std::string::npos) << unplugged;
    EXPECT_TRUE(std::all_of(unplugged.begin(), unplugged.end(), [](char c) {
        return c >= 0x20 && c < 0x7F ? true : c == '\n';
    })) << unplugged;
}

TEST(InstrumentTest, SavesAndRecallsTheWindowsProfiles) {
    Bench bench(testFolder());
    bench.run("FREQ 2500;VOLT 0.25;*SAV 3;*SAV 50");
    auto profiles = store::readProfileFile(bench.profileFile).profiles;
    ASSERT_EQ(profiles.size(), 50U);
    EXPECT_EQ(profiles[2].name, "SCPI 3");
    EXPECT_EQ(profiles[2].settings.frequenz, 250000U);
    EXPECT_EQ(profiles[2].settings.amplitude, 250U);

    // A named profile keeps its name.
    profiles[2].name = "Messung";
    ASSERT_TRUE(store::writeProfileFile(bench.writer, bench.profileFile, profiles));
    bench.run("*RST;*SAV 3");
    EXPECT_EQ(store::readProfileFile(bench.profileFile).profiles[2].name, "Messung");

    bench.run("*RCL 50");
    EXPECT_EQ(bench.generator.settings(), profiles[49].settings);
    EXPECT_EQ(bench.run("FREQ?;VOLT?"), "2500.00;0.250\n");
    EXPECT_EQ(bench.sentAfterConnect(), "fgpp");  // *RST, then the recall of profile 50

    // A value the window refuses is recalled as an empty profile's.
    profiles[4].settings.frequenzhub = std::numeric_limits<std::int64_t>::max();
    ASSERT_TRUE(store::writeProfileFile(bench.writer, bench.profileFile, profiles));
    bench.run("*RCL 5");
    EXPECT_EQ(bench.generator.settings().frequenzhub, 1000000);

    bench.run("*SAV 51");
    EXPECT_EQ(bench.client.pop().code, kDataOutOfRange);
}

TEST(InstrumentTest, ALineThatNeedsTheProfileFileNeverWaitsForAnotherProgramsLock) {
    Bench bench(testFolder());
    bench.run("*SAV 1");  // creates the folder and the file
    const std::string before = store::fileBytes(bench.profileFile);
    const int other = ::open(bench.profileFile.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    const model::Origin origin{model::FrontEnd::kScpi, "test"};
    struct Case {
        const char* line;
        std::optional<std::string> tried;  ///< what tryExecute() gives while the lock is held
    };
    const Case cases[] = {
        {"FREQ?", "1000.00\n"},
        {"FREQ 2000;*SAV 2", std::nullopt},
        {"*RCL 1;FREQ?", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string sent = bench.generator.receivedLetters();
        EXPECT_EQ(bench.instrument.tryExecute(bench.client, c.line, origin), c.tried);
        if (!c.tried) {
            EXPECT_EQ(bench.generator.receivedLetters(), sent) << "nothing of the line is done";
            bench.instrument.execute(bench.client, c.line, origin);
            EXPECT_EQ(bench.client.pop(),
                      (ErrorEntry{kExecutionError,
                                  "Execution error; another program is saving the profile file"}));
        }
        EXPECT_TRUE(bench.client.empty());
    }
    EXPECT_EQ(store::fileBytes(bench.profileFile), before);

    ::close(other);
    EXPECT_EQ(bench.instrument.tryExecute(bench.client, "FREQ 3000;*SAV 2;*RCL 2;FREQ?", origin),
              "3000.00\n");
}

TEST(InstrumentTest, ReportsFailedExchangesAndConnectsAgainWhenTheGeneratorIsBack) {
    Bench bench(testFolder());
    bench.run("*TST?");
    bench.generator.injectFault(sim::Fault::kNak, 'f');
    bench.run("FREQ 2000");
    EXPECT_EQ(bench.run("SYST:ERR?"), "101,\"Antwort nicht OK\"\n");
    // The failure dropped the connection: the next command opens it again and reads the
    // generator's settings.
    EXPECT_EQ(bench.run("FREQ?"), "1000.00\n");
    EXPECT_EQ(bench.generator.receivedLetters(), "xPPfxxP");

    bench.generator.unplug();
    EXPECT_EQ(bench.run("VOLT 0.1;*TST?"), "1\n");
    const ErrorEntry failed = bench.client.pop();
    EXPECT_GT(failed.code, 0);
    EXPECT_FALSE(failed.message.empty());
    EXPECT_EQ(bench.run("FREQ?"), "");
    EXPECT_EQ(bench.client.pop().code, kDeviceNotConnected);

    bench.generator.replug();
    EXPECT_EQ(bench.run("VOLT 0.1;VOLT?"), "0.100\n");
    EXPECT_EQ(bench.generator.settings().amplitude, 100U);
}

TEST(InstrumentTest, PlaysATaskListWhileAnsweringAndStopsItForAChange) {
    Bench bench(testFolder());
    store::TaskList list;
    for (std::uint32_t i = 1; i <= 3; ++i) {
        GeneratorSettings settings = GeneratorSettings::emptyProfile();
        settings.frequenz = i * 100000;
        list.entries.push_back(
            {{settings, "Schritt " + std::to_string(i)}, 2, static_cast<int>(i)});
    }
    const auto path = bench.folder_ / "liste.tvr";
    ASSERT_TRUE(store::writeTaskListFile(bench.writer, path, list));

    EXPECT_EQ(bench.run("TAV:LIST:STAT?;:TAV:LIST:LOAD \"" + path.string() + "\";STAR;STAT?"),
              "0,0;1,1\n");
    EXPECT_EQ(bench.instrument.taskListDue(), 2000ms);
    bench.clock.waitUntil(2000ms);
    bench.instrument.advanceTaskList();
    EXPECT_EQ(bench.run("TAV:LIST:STAT?;:FREQ?"), "1,2;2000.00\n");

    // The steps fall due from the start, however late they are looked at.
    bench.clock.waitUntil(4500ms);
    bench.instrument.advanceTaskList();
    EXPECT_EQ(bench.instrument.taskListDue(), 6000ms);
    bench.run("VOLT 0.1");
    EXPECT_EQ(bench.run("TAV:LIST:STAT?;:SYST:ERR?"), "0,0;120,\"Aufgabenliste angehalten\"\n");
    EXPECT_EQ(bench.sentAfterConnect(), "pppg");

    // A client names the file: a missing one, a folder or a device that never ends is refused.
    for (const std::string& name : {(bench.folder_ / "none.tvr").string(), bench.folder_.string(),
                                    std::string("/dev/zero")}) {
        bench.run("TAV:LIST:LOAD \"" + name + "\"");
        EXPECT_EQ(bench.client.pop().code, kTaskListUnreadable) << name;
    }
}

TEST(InstrumentTest, ATaskListStartsWithEveryValueTheWindowRefusesReplacedAndTold) {
    Bench bench(testFolder());
    store::TaskList list;
    GeneratorSettings loud = GeneratorSettings::emptyProfile();
    loud.amplitude = 5000;
    loud.frequenz = static_cast<std::uint32_t>(-100000);
    list.entries.push_back({{loud, "laut"}, 2, 1});
    const auto path = bench.folder_ / "laut.tvr";
    ASSERT_TRUE(store::writeTaskListFile(bench.writer, path, list));

    bench.run("TAV:LIST:LOAD \"" + path.string() + "\";STAR");
    EXPECT_EQ(bench.generator.settings(), GeneratorSettings::emptyProfile());
    EXPECT_EQ(bench.run("SYST:ERR:COUN?"), "2\n");
    EXPECT_EQ(bench.client.pop().code, kValueReplaced);
    EXPECT_NE(bench.log.str().find("entry 1: laut holds Amplitude=5000"), std::string::npos);
}

}  // namespace
}  // namespace tavero::scpi
