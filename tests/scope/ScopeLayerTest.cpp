// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "measure/Oscilloscope.h"
#include "scope/KeysightScope.h"
#include "scope/ResourceName.h"
#include "scope/RigolScope.h"
#include "scope/ScopeModel.h"
#include "scope/ScpiPort.h"
#include "scope/ScpiText.h"
#include "scope/SiglentScope.h"

namespace tavero::scope {
namespace {

using measure::ScopeError;

/// Answers each query from a script, in pieces of `pieceBytes`; records every command.
class ScriptedTransport final : public Transport {
public:
    explicit ScriptedTransport(std::map<std::string, std::string> answers,
                               std::size_t pieceBytes = 1000)
        : answers_(std::move(answers)), pieceBytes_(pieceBytes) {}

    void send(std::string_view message) override {
        std::string command(message.substr(0, message.size() - 1));
        sent->push_back(command);
        const auto answer = answers_.find(command);
        if (answer != answers_.end()) {
            for (std::size_t at = 0; at < answer->second.size(); at += pieceBytes_) {
                pending_.push_back(answer->second.substr(at, pieceBytes_));
            }
        }
    }
    std::string receive(std::chrono::milliseconds) override {
        if (pending_.empty()) {
            throw ScopeError(ScopeError::Kind::kTimeout, "nothing");
        }
        std::string piece = pending_.front();
        pending_.pop_front();
        return piece;
    }
    /// Comes in after the next query's answer was asked for, as a late answer would.
    void arriveLate(std::string text) { pending_.push_back(std::move(text)); }

    std::shared_ptr<std::vector<std::string>> sent = std::make_shared<std::vector<std::string>>();

private:
    std::map<std::string, std::string> answers_;
    std::size_t pieceBytes_;
    std::deque<std::string> pending_;
};

TEST(ResourceName, ReadsTheVisaFormsItKnows) {
    const auto vxi11 = [](std::string host, std::string device) {
        Resource r;
        r.host = std::move(host);
        r.device = std::move(device);
        return r;
    };
    Resource socket;
    socket.kind = Resource::Kind::kSocket;
    socket.host = "10.0.0.7";
    socket.port = 5555;
    Resource usb;
    usb.kind = Resource::Kind::kUsbtmc;
    usb.path = "/dev/usbtmc0";
    const std::vector<std::pair<std::string, std::optional<Resource>>> cases = {
        {"TCPIP::192.168.1.5::INSTR", vxi11("192.168.1.5", "inst0")},
        {"tcpip0::scope.lan::inst1::instr", vxi11("scope.lan", "inst1")},
        {"TCPIP::10.0.0.7::5555::SOCKET", socket},
        {"/dev/usbtmc0", usb},
        {"TCPIP::10.0.0.7::0::SOCKET", std::nullopt},
        {"TCPIP::10.0.0.7::99999::SOCKET", std::nullopt},
        {"TCPIP::::INSTR", std::nullopt},
        {"USB0::0x1AB1::0x04CE::INSTR", std::nullopt},
        {"/dev/usbtmc", std::nullopt},
        {"192.168.1.5", std::nullopt},
    };
    for (const auto& [name, resource] : cases) {
        EXPECT_EQ(parseResource(name), resource) << name;
    }
}

TEST(ScopeModel, ChoosesTheDialectFromTheIdentity) {
    const std::vector<std::pair<std::string, Dialect>> cases = {
        {"RIGOL TECHNOLOGIES,DS1104Z,DS1ZA1234,00.04.04.SP4", Dialect::kRigol},
        {"RIGOL TECHNOLOGIES,MSO5074,MS5A1,00.01.03", Dialect::kRigol},
        {"RIGOL TECHNOLOGIES,DHO804,DHO8A1,00.01.01", Dialect::kRigolDho},
        {"Siglent Technologies,SDS1202X-E,SDS1E1,8.2.6.1.37R9", Dialect::kSiglent},
        {"Siglent Technologies,SDS2104X Plus,SDS2P1,1.3.9R6", Dialect::kSiglentMeasure},
        {"Siglent Technologies,SDS1104X HD,SDS1H1,1.1.3", Dialect::kSiglentMeasure},
        {"KEYSIGHT TECHNOLOGIES,DSO-X 2024A,MY1,02.50", Dialect::kKeysight},
        {"AGILENT TECHNOLOGIES,DSO-X 3034A,MY2,02.40", Dialect::kKeysight},
        {"OWON,XDS3102,1,V1.0", Dialect::kGeneric},
    };
    for (const auto& [identity, dialect] : cases) {
        EXPECT_EQ(identifyScope(identity).dialect, dialect) << identity;
    }
    EXPECT_FALSE(identifyScope("OWON,XDS3102").limits.measures);
    EXPECT_EQ(identifyScope("Siglent Technologies,SDS1202X-E,x,y").limits.horizontalDivisions, 14);
}

TEST(ScpiText, ReadsMeasurementsAndTellsInvalidOnesApart) {
    const std::vector<std::tuple<std::string, std::string, std::optional<double>>> cases = {
        {"1.000000e+00", "", 1.0},
        {"9.9E37", "", std::nullopt},
        {"9.900000E+37", "", std::nullopt},
        {"C1:PAVA PKPK,2.04E-01V", "PKPK,", 0.204},
        {"\x01"
         "C1:PAVA PKPK,****",
         "PKPK,", std::nullopt},
        {"C1-C2:MEAD PHA,-45.30degree", "PHA,", -45.3},
        {"+2.5E+02", "", 250.0},
        {"****", "", std::nullopt},
        {"junk", "PKPK,", std::nullopt},
    };
    for (const auto& [answer, marker, value] : cases) {
        EXPECT_EQ(measurementValue(answer, marker), value) << answer;
    }
    EXPECT_EQ(scpiNumber(0.002), "0.002");
    EXPECT_EQ(scpiNumber(5e-9), "5e-09");
}

TEST(ScpiPort, AssemblesAnswersFromPiecesAndPassesOverJunk) {
    ScriptedTransport transport({{"A?", std::string("\n\0 1.5\r\n", 8)},
                                 {"B?", "C1:WF DAT2,#18ABCDEFGH\n\n"},
                                 {"C?", "#40003xyz"},
                                 {"D?", "next\n"}},
                                3);
    ScpiPort port(transport);
    EXPECT_EQ(port.query("A?"), "1.5");
    EXPECT_EQ(port.queryBlock("B?"), "ABCDEFGH");
    EXPECT_EQ(port.queryBlock("C?"), "xyz");
    // An answer that came too late is not taken for the next one.
    EXPECT_THROW(port.query("X?"), ScopeError);
    transport.arriveLate("late\n");
    EXPECT_EQ(port.query("D?"), "next");
}

/// The commands a driver sends for one look at a channel, and how it reads the answers.
struct DialectCase {
    const char* name;
    std::function<std::unique_ptr<measure::Oscilloscope>(std::unique_ptr<Transport>)> make;
    std::map<std::string, std::string> answers;
    std::optional<double> peakToPeak;
    std::optional<double> phase;
    std::vector<double> traceVolts;
    bool clipped;
    double intervalSeconds;
};

TEST(ScopeDrivers, AskTheirDialectsQuestionsReadTheAnswersAndGiveBackTheSettings) {
    const measure::ScopeLimits rigolLimits = identifyScope("RIGOL,DS1104Z").limits;
    const measure::ScopeLimits siglentLimits = identifyScope("Siglent,SDS1202X-E").limits;
    const measure::ScopeLimits keysightLimits = identifyScope("KEYSIGHT,DSO-X 2024A").limits;
    // Rigol: 0.1 V a code around code 127; Keysight: around 128 with an origin of 0.5 V.
    const std::string rigolPreamble = "0,0,3,1,1.0e-06,-6.0e-04,0,0.1,0,127";
    const std::string keysightPreamble = "0,0,3,1,1.0e-06,-5.0e-04,0,0.1,0.5,128";
    const std::vector<DialectCase> cases = {
        {"Rigol",
         [&](auto t) { return std::make_unique<RigolScope>(std::move(t), rigolLimits, "RPHase"); },
         {{":MEASure:ITEM? VPP,CHANnel2", "2.040000e-01\n"},
          {":MEASure:ITEM? RPHase,CHANnel1,CHANnel2", "4.500000e+01\n"},
          {":WAVeform:PREamble?", rigolPreamble + "\n"},
          {":WAVeform:DATA?", std::string("#13\x7f\x80\xff", 6) + "\n"}},
         0.204,
         45.0,
         {0.0, 0.1, 12.8},
         true,
         1e-6},
        {"Siglent",
         [&](auto t) { return std::make_unique<SiglentScope>(std::move(t), siglentLimits, false); },
         {{"C2:PAVA? PKPK", std::string("\0\nC2:PAVA PKPK,2.04E-01V\n", 25)},
          {"C1-C2:MEAD? PHA", "C1-C2:MEAD PHA,250.00degree\n"},
          {"SARA?", "SARA 1.00E+06Sa\n"},
          {"C2:WF? DAT2", std::string("C2:WF DAT2,#13\x19\x00\xe7\n\n", 19)}},
         0.204,
         250.0,
         {1.0, 0.0, -1.0},
         false,
         1e-6},
        {"Siglent measure set",
         [&](auto t) { return std::make_unique<SiglentScope>(std::move(t), siglentLimits, true); },
         {{":MEASure:ADVanced:P2:VALue?", "2.04E-01\n"},
          {":MEASure:ADVanced:P3:VALue?", "****\n"},
          {"SARA?", "SARA 1.00E+06Sa\n"},
          {"C2:WF? DAT2", std::string("C2:WF DAT2,#13\x7f\x00\x80\n\n", 19)}},
         0.204,
         std::nullopt,
         {5.08, 0.0, -5.12},
         true,
         1e-6},
        {"Keysight",
         [&](auto t) {
             return std::make_unique<KeysightScope>(std::move(t), keysightLimits, true);
         },
         {{":MEASure:VPP? CHANnel2", "+2.04E-01\n"},
          {":MEASure:PHASe? CHANnel1,CHANnel2", "9.9E+37\n"},
          {":WAVeform:PREamble?", keysightPreamble + "\n"},
          {":WAVeform:DATA?", std::string("#13\x80\x81\x00", 6) + "\n"}},
         0.204,
         std::nullopt,
         {0.5, 0.6, -12.3},
         true,
         1e-6},
    };
    for (DialectCase c : cases) {
        // Every settings query is answered with a value the restore must send back.
        auto transport = std::make_unique<ScriptedTransport>(c.answers);
        const auto sent = transport->sent;
        std::unique_ptr<measure::Oscilloscope> scope = c.make(std::move(transport));
        EXPECT_EQ(scope->peakToPeak(2), c.peakToPeak) << c.name;
        EXPECT_EQ(scope->phaseLag(1, 2), c.phase) << c.name;
        scope->setVerticalScale(2, 2.0);  // Siglent: 25 codes a division, so 0.08 V a code
        scope->setTimebase(1e-4 / 14);
        const measure::Waveform trace = scope->waveform(2);
        ASSERT_EQ(trace.volts.size(), c.traceVolts.size()) << c.name;
        for (std::size_t i = 0; i < trace.volts.size(); ++i) {
            EXPECT_NEAR(trace.volts[i], c.traceVolts[i] * (c.name[0] == 'S' ? 2.0 : 1.0), 1e-9)
                << c.name << " " << i;
        }
        EXPECT_EQ(trace.clipped, c.clipped) << c.name;
        EXPECT_NEAR(trace.sampleIntervalSeconds, c.intervalSeconds, 1e-12) << c.name;
        EXPECT_FALSE(sent->empty()) << c.name;
    }
}

TEST(ScopeDrivers, GiveBackEverySettingTheyChangedInReverseOrderAndRun) {
    std::map<std::string, std::string> answers = {{":CHANnel1:SCALe?", "5.0e-01\n"},
                                                  {":CHANnel2:SCALe?", "1.0e+00\n"},
                                                  {":TIMebase:MAIN:SCALe?", "1.0e-03\n"},
                                                  {":TRIGger:EDGE:SOURce?", "CHAN3\n"}};
    for (const char* other :
         {":CHANnel1:DISPlay?", ":CHANnel1:COUPling?", ":CHANnel1:OFFSet?", ":CHANnel2:DISPlay?",
          ":CHANnel2:COUPling?", ":CHANnel2:OFFSet?", ":TIMebase:MAIN:OFFSet?", ":TRIGger:SWEep?",
          ":TRIGger:EDGE:LEVel?", ":WAVeform:MODE?", ":WAVeform:FORMat?"}) {
        answers[other] = "x\n";
    }
    auto transport = std::make_unique<ScriptedTransport>(answers);
    const auto sent = transport->sent;
    RigolScope scope(std::move(transport), identifyScope("RIGOL,DS1104Z").limits, "RPHase");
    scope.prepare(1, 2);
    scope.setVerticalScale(2, 0.01);
    sent->clear();
    scope.restore();
    ASSERT_EQ(sent->size(), 16U);
    EXPECT_EQ(sent->back(), ":RUN");
    EXPECT_EQ((*sent)[sent->size() - 2], ":CHANnel1:DISPlay x");
    EXPECT_NE(std::find(sent->begin(), sent->end(), ":CHANnel2:SCALe 1.0e+00"), sent->end());
    EXPECT_NE(std::find(sent->begin(), sent->end(), ":TRIGger:EDGE:SOURce CHAN3"), sent->end());
}

}  // namespace
}  // namespace tavero::scope
