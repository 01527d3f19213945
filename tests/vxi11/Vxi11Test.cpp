// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "DirectFileWriter.h"
#include "FakeRunClock.h"
#include "scpi/Instrument.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "vxi11/CoreService.h"
#include "vxi11/PortMapper.h"
#include "vxi11/RecordReader.h"
#include "vxi11/Xdr.h"

namespace tavero::vxi11 {
namespace {

using namespace std::chrono_literals;

std::string words(std::initializer_list<std::uint32_t> values, std::string_view opaque = {},
                  bool withOpaque = false) {
    XdrWriter out;
    for (const std::uint32_t value : values) {
        out.uint32(value);
    }
    if (withOpaque) {
        out.opaque(opaque);
    }
    return out.take();
}

std::string call(std::uint32_t program, std::uint32_t version, std::uint32_t procedure,
                 const std::string& arguments, std::uint32_t rpcVersion = 2) {
    return words({7, 0, rpcVersion, program, version, procedure, 0, 0, 0, 0}) + arguments;
}

/// A reply read back: its accept status (or 100 + reject status when denied) and the words
/// after it.
struct Reply {
    std::uint32_t status = 0;
    std::vector<std::uint32_t> results;
    std::string tail;  ///< the bytes after the results read as words, for opaque data
};

Reply readReply(const std::string& record, std::size_t resultWords = 0) {
    XdrReader in(record);
    Reply reply;
    EXPECT_EQ(in.uint32(), 7U);
    EXPECT_EQ(in.uint32(), 1U);
    if (in.uint32() == 1) {
        reply.status = 100 + in.uint32();
    } else {
        in.uint32();
        in.opaque(400);
        reply.status = in.uint32();
    }
    for (std::size_t word = 0; word < resultWords && in.remaining() >= 4; ++word) {
        reply.results.push_back(in.uint32());
    }
    try {
        reply.tail = std::string(in.opaque(in.remaining()));
    } catch (const XdrError&) {
        reply.tail = "(no opaque data)";
    }
    return reply;
}

TEST(RecordReaderTest, GathersFragmentsUpToItsBound) {
    const std::string header1 = words({0x80000003});
    struct Case {
        const char* name;
        std::string stream;
        bool complete;
        bool tooLong;
        std::string record;
    };
    const std::vector<Case> cases = {
        {"one fragment", header1 + "abc", true, false, "abc"},
        {"two fragments", words({2}) + "ab" + header1 + "cde", true, false, "abcde"},
        {"empty record", words({0x80000000}), true, false, ""},
        {"a length far over the bound", words({0x7FFFFFFF}), false, true, ""},
        {"the last bit with a length over the bound", words({0x80001000}), false, true, ""},
        {"fragments over the bound together", words({40}) + std::string(40, 'x') + words({40}),
         false, true, ""},
        {"empty fragments that never end", words({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), false,
         true, ""},
        {"a truncated fragment", header1 + "ab", false, false, ""},
        {"an HTTP request", "GET / HTTP/1.1\r\n", false, true, ""},
    };
    for (const Case& test : cases) {
        for (const bool byteByByte : {false, true}) {
            SCOPED_TRACE(std::string(test.name) + (byteByByte ? " byte by byte" : ""));
            RecordReader reader(48);
            std::size_t offered = 0;
            while (offered < test.stream.size() && reader.wanted() > 0) {
                const std::size_t size = byteByByte ? 1 : test.stream.size() - offered;
                const std::size_t taken =
                    reader.feed(std::string_view(test.stream).substr(offered, size));
                ASSERT_LE(taken, size);
                offered += taken;
                if (taken == 0) {
                    break;
                }
            }
            EXPECT_EQ(reader.complete(), test.complete);
            EXPECT_EQ(reader.tooLong(), test.tooLong);
            if (test.complete) {
                EXPECT_EQ(reader.take(), test.record);
                EXPECT_EQ(offered, test.stream.size());
                EXPECT_FALSE(reader.started());
            }
        }
    }
    EXPECT_EQ(markRecord("abc"), header1 + "abc");
}

/// The service on the in-process simulated generator.
class CoreServiceTest : public ::testing::Test {
protected:
    CoreServiceTest() {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        generator.setSettings(GeneratorSettings::emptyProfile());
        generator.setFirmwareVersion(102);
        service.setAbortPort(1234);
    }
    ~CoreServiceTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    Reply core(ClientId client, std::uint32_t procedure, const std::string& arguments,
               std::size_t resultWords = 1) {
        const ServiceOutcome outcome =
            service.callCore(client, call(kCoreProgram, 1, procedure, arguments));
        EXPECT_EQ(outcome.kind, ServiceOutcome::Kind::kReply);
        return readReply(outcome.reply, resultWords);
    }
    std::uint32_t createLink(ClientId client, bool lock = false) {
        const Reply reply = core(client, 10, words({1, lock, 0}, "inst0", true), 4);
        EXPECT_EQ(reply.results.at(0), 0U);
        EXPECT_EQ(reply.results.at(2), 1234U);
        return reply.results.at(1);
    }
    /// device_abort of `link` on the abort channel.
    Reply abortLink(std::uint32_t link) {
        return readReply(service.callAbort(call(kAbortProgram, 1, 1, words({link}))).reply, 1);
    }
    std::uint32_t write(ClientId client, std::uint32_t link, std::string_view data, bool end = true,
                        std::uint32_t flags = 0) {
        return core(client, 11, words({link, 1000, 0, flags | (end ? 8U : 0U)}, data, true), 2)
            .results.at(0);
    }

    std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() /
        (std::string("tavero-vxi11-") +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ctl::FakeRunClock clock;
    sim::SimulatedGenerator generator{[this] { return clock.timePoint(); }};
    sim::SimulatedBridge bridge{generator};
    store::DirectFileWriter writer;
    std::ostringstream diagnostics;
    link::TraceFile trace{folder_ / "out.txt"};
    model::GeneratorModel model{bridge, trace, diagnostics, model::ConnectPolicy::kOnDemand};
    scpi::Instrument instrument{{.generator = model,
                                 .profileFile = folder_ / "Profile.pro",
                                 .fileWriter = writer,
                                 .clock = clock,
                                 .log = diagnostics}};
    CoreService service{instrument, model};
};

TEST_F(CoreServiceTest, AnswersEachLinkAsTheRawSocketAnswersItsClient) {
    const std::uint32_t link = createLink(1);
    const std::uint32_t other = createLink(2);
    EXPECT_NE(link, other);
    struct Step {
        const char* what;
        std::uint32_t procedure;
        std::string arguments;
        std::vector<std::uint32_t> results;  ///< error first
        std::string data;                    ///< opaque data after them
    };
    const std::vector<Step> steps = {
        {"write without END is gathered", 11, words({link, 0, 0, 0}, "FREQ 15", true), {0, 7}, ""},
        {"END completes it", 11, words({link, 0, 0, 8}, "00;FREQ?\n", true), {0, 9}, ""},
        {"read by request size", 12, words({link, 3, 0, 0, 0, 0}), {0, 1}, "150"},
        {"read up to the termination character",
         12,
         words({link, 100, 0, 0, 0x80, '.'}),
         {0, 2},
         "0."},
        {"read the rest with END", 12, words({link, 100, 0, 0, 0, 0}), {0, 4}, "00\n"},
        {"read with nothing to read", 12, words({link, 100, 0, 0, 0, 0}), {15, 0}, ""},
        {"a command error in the link's own queue",
         11,
         words({link, 0, 0, 8}, "BOGUS", true),
         {0, 5},
         ""},
        {"read status byte: error queue and event summary", 13, words({link, 0, 0, 0}), {0, 4}, ""},
        {"the error", 11, words({link, 0, 0, 8}, "SYST:ERR?", true), {0, 9}, ""},
        {"status byte with an answer waiting", 13, words({link, 0, 0, 0}), {0, 0x10}, ""},
        {"device clear drops the answer", 15, words({link, 0, 0, 0}), {0}, ""},
        {"nothing left", 12, words({link, 100, 0, 0, 0, 0}), {15, 0}, ""},
        {"remote", 16, words({link, 0, 0, 0}), {0}, ""},
        {"local", 17, words({link, 0, 0, 0}), {0}, ""},
        {"trigger", 14, words({link, 0, 0, 0}), {0}, ""},
        {"the other link's queue is empty",
         11,
         words({other, 0, 0, 8}, "SYST:ERR?", true),
         {4, 0},
         ""},
        {"a link id never created", 12, words({99, 100, 0, 0, 0, 0}), {4, 0}, ""},
        {"a link id never created, write", 11, words({99, 0, 0, 8}, "*RST", true), {4, 0}, ""},
        {"unlock without the lock", 19, words({link}), {12}, ""},
        {"lock", 18, words({link, 0, 0}), {0}, ""},
        {"enable SRQ", 20, words({link, 1}, "h", true), {8}, ""},
        {"service request on message available",
         11,
         words({link, 0, 0, 8}, "*SRE 16", true),
         {0, 7},
         ""},
        {"an answer to read", 11, words({link, 0, 0, 8}, "FREQ?", true), {0, 5}, ""},
        {"status byte with its request bit, as *STB? sets it",
         13,
         words({link, 0, 0, 0}),
         {0, 0x50},
         ""},
        {"trigger: nothing to start, nothing dropped", 14, words({link, 0, 0, 0}), {0}, ""},
        {"the answer is still there", 12, words({link, 100, 0, 0, 0, 0}), {0, 4}, "1500.00\n"},
        {"and no error was queued", 11, words({link, 0, 0, 8}, "SYST:ERR?", true), {0, 9}, ""},
        {"the error queue's answer",
         12,
         words({link, 100, 0, 0, 0, 0}),
         {0, 4},
         "0,\"No error\"\n"},
        {"interrupt channel", 25, words({0, 0, 0, 0, 0}), {8}, ""},
        {"destroy the link", 23, words({link}), {0}, ""},
        {"destroy it again", 23, words({link}), {4}, ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const Reply reply = core(1, step.procedure, step.arguments, step.results.size());
        EXPECT_EQ(reply.status, 0U);
        EXPECT_EQ(reply.results, step.results);
        if (step.procedure == 12) {
            EXPECT_EQ(reply.tail, step.data);
        }
    }
    // The other link was another client's: the first client could not reach it.
    EXPECT_EQ(write(2, other, "SYST:ERR?"), 0U);
    const Reply error = core(2, 12, words({other, 100, 0, 0, 0, 0}), 2);
    EXPECT_EQ(error.tail, "0,\"No error\"\n");
    EXPECT_EQ(generator.receivedLetters().substr(generator.receivedLetters().size() - 1), "f");
}

TEST_F(CoreServiceTest, SharesOneLockBetweenTheLinks) {
    const std::uint32_t holder = createLink(1, true);
    const std::uint32_t waiter = createLink(2);
    const std::string writeArguments = words({waiter, 0, 500, 8 | 1}, "*IDN?", true);
    const std::string record = call(kCoreProgram, 1, 11, writeArguments);
    EXPECT_EQ(service.callCore(2, record, 100ms).kind, ServiceOutcome::Kind::kWaitForLock);
    const ServiceOutcome timedOut = service.callCore(2, record, 500ms);
    ASSERT_EQ(timedOut.kind, ServiceOutcome::Kind::kReply);
    EXPECT_EQ(readReply(timedOut.reply, 2).results.at(0), 11U);
    EXPECT_EQ(write(2, waiter, "*IDN?"), 11U);  // without waitlock: refused at once
    EXPECT_EQ(core(2, 18, words({waiter, 0, 0})).results.at(0), 11U);
    service.dropClient(1);  // the holder's connection closed: its lock goes with it
    EXPECT_EQ(service.linkCount(), 1U);
    EXPECT_EQ(core(1, 23, words({holder})).results.at(0), 4U);
    const ServiceOutcome granted = service.callCore(2, record, 100ms);
    ASSERT_EQ(granted.kind, ServiceOutcome::Kind::kReply);
    EXPECT_EQ(readReply(granted.reply, 2).results.at(0), 0U);
}

TEST_F(CoreServiceTest, DeviceAbortEndsTheCallThatWaitsForTheLock) {
    createLink(1, true);
    const std::uint32_t waiter = createLink(2);
    // Each waiting call: the error it ends with once aborted, and how many result words it has.
    struct Case {
        const char* what;
        std::uint32_t procedure;
        std::string arguments;
        std::size_t resultWords;
    };
    const std::vector<Case> cases = {
        {"write", 11, words({waiter, 0, 3000, 8 | 1}, "*IDN?", true), 2},
        {"read", 12, words({waiter, 100, 0, 3000, 1, 0}), 3},
        {"lock", 18, words({waiter, 1, 3000}), 1},
        {"read status byte", 13, words({waiter, 1, 3000, 0}), 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const std::string record = call(kCoreProgram, 1, test.procedure, test.arguments);
        // An abort before the call waits aborts nothing.
        EXPECT_EQ(abortLink(waiter).results.at(0), 0U);
        EXPECT_EQ(service.callCore(2, record, 0ms).kind, ServiceOutcome::Kind::kWaitForLock);
        EXPECT_EQ(abortLink(waiter).results.at(0), 0U);
        const ServiceOutcome aborted = service.callCore(2, record, 10ms);
        ASSERT_EQ(aborted.kind, ServiceOutcome::Kind::kReply);
        const Reply reply = readReply(aborted.reply, test.resultWords);
        EXPECT_EQ(reply.results.at(0), 23U);
        // The next call waits again rather than ending with the old abort.
        EXPECT_EQ(service.callCore(2, record, 0ms).kind, ServiceOutcome::Kind::kWaitForLock);
        const ServiceOutcome timedOut = service.callCore(2, record, 3000ms);
        ASSERT_EQ(timedOut.kind, ServiceOutcome::Kind::kReply);
        EXPECT_EQ(readReply(timedOut.reply, 1).results.at(0), 11U);
    }
}

TEST_F(CoreServiceTest, AnswersBadCallsWithTheRpcsOwnErrorsOrACloseAndStaysBounded) {
    const std::uint32_t link = createLink(1);
    struct Case {
        const char* what;
        std::string record;
        ServiceOutcome::Kind kind;
        std::uint32_t status;
    };
    const std::vector<Case> cases = {
        {"unknown procedure", call(kCoreProgram, 1, 21, ""), ServiceOutcome::Kind::kReply, 3},
        {"procedure far out", call(kCoreProgram, 1, 0xFFFFFFFF, ""), ServiceOutcome::Kind::kReply,
         3},
        {"another program", call(kAbortProgram, 1, 0, ""), ServiceOutcome::Kind::kReply, 1},
        {"another version", call(kCoreProgram, 2, 0, ""), ServiceOutcome::Kind::kReply, 2},
        {"another RPC version", call(kCoreProgram, 1, 0, "", 3), ServiceOutcome::Kind::kReply, 100},
        {"truncated write", call(kCoreProgram, 1, 11, words({link, 0, 0, 8, 100}) + "*IDN?"),
         ServiceOutcome::Kind::kReply, 4},
        {"truncated create_link", call(kCoreProgram, 1, 10, words({1, 0})),
         ServiceOutcome::Kind::kReply, 4},
        {"a device name over its bound", call(kCoreProgram, 1, 10, words({1, 0, 0, 100000})),
         ServiceOutcome::Kind::kReply, 4},
        {"null", call(kCoreProgram, 1, 0, ""), ServiceOutcome::Kind::kReply, 0},
        {"a reply instead of a call", words({7, 1, 0, 0, 0, 0}), ServiceOutcome::Kind::kClose, 0},
        {"a truncated header", words({7, 0, 2, kCoreProgram}), ServiceOutcome::Kind::kClose, 0},
        {"an empty record", "", ServiceOutcome::Kind::kClose, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const ServiceOutcome outcome = service.callCore(1, test.record);
        ASSERT_EQ(outcome.kind, test.kind);
        if (test.kind == ServiceOutcome::Kind::kReply) {
            EXPECT_EQ(readReply(outcome.reply).status, test.status);
        }
    }
    // A message beyond its bound is dropped up to its END with an overrun in the queue.
    for (int part = 0; part < 3; ++part) {
        EXPECT_EQ(write(1, link, std::string(2000, ' '), false), 0U);
    }
    EXPECT_EQ(write(1, link, "*IDN?"), 0U);
    EXPECT_EQ(write(1, link, "SYST:ERR?"), 0U);
    EXPECT_EQ(core(1, 12, words({link, 100, 0, 0, 0, 0}), 2).tail,
              "-363,\"Input buffer overrun\"\n");
    // A client holds a bounded number of links.
    for (std::size_t held = 1; held < CoreService::kMaxLinksPerClient; ++held) {
        createLink(1);
    }
    EXPECT_EQ(core(1, 10, words({1, 0, 0}, "inst0", true), 2).results.at(0), 9U);
    // The abort channel answers for links that exist.
    EXPECT_EQ(abortLink(link).results, std::vector<std::uint32_t>{0});
    EXPECT_EQ(abortLink(999).results, std::vector<std::uint32_t>{4});
    EXPECT_EQ(readReply(service.callAbort(call(kAbortProgram, 1, 9, "")).reply).status, 3U);
}

TEST(PortMapperTest, AnswersVersionTwoFromItsMappings) {
    PortMapper mapper(
        {{kCoreProgram, 1, kProtocolTcp, 4321}, {kPortMapperProgram, 2, kProtocolUdp, 111}});
    struct Case {
        const char* what;
        std::string record;
        std::uint32_t status;
        std::vector<std::uint32_t> results;
    };
    const std::vector<Case> cases = {
        {"GETPORT of the core program",
         call(100000, 2, 3, words({kCoreProgram, 1, 6, 0})),
         0,
         {4321}},
        {"GETPORT over UDP", call(100000, 2, 3, words({kCoreProgram, 1, 17, 0})), 0, {0}},
        {"GETPORT of another version", call(100000, 2, 3, words({kCoreProgram, 2, 6, 0})), 0, {0}},
        {"NULL", call(100000, 2, 0, ""), 0, {}},
        {"DUMP",
         call(100000, 2, 4, ""),
         0,
         {1, kCoreProgram, 1, 6, 4321, 1, 100000, 2, 17, 111, 0}},
        {"SET", call(100000, 2, 1, words({5, 1, 6, 7})), 0, {0}},
        {"version 4", call(100000, 4, 3, ""), 2, {2, 2}},
        {"version 3", call(100000, 3, 3, ""), 2, {2, 2}},
        {"CALLIT", call(100000, 2, 5, ""), 3, {}},
        {"truncated GETPORT", call(100000, 2, 3, words({kCoreProgram})), 4, {}},
        {"another program", call(kCoreProgram, 1, 0, ""), 1, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const std::optional<std::string> reply = mapper.answer(test.record);
        ASSERT_TRUE(reply);
        const Reply read = readReply(*reply, test.results.size());
        EXPECT_EQ(read.status, test.status);
        EXPECT_EQ(read.results, test.results);
    }
    EXPECT_FALSE(mapper.answer(words({1, 1})));
}

TEST(PortMapperTest, AnswersAProgramMappedTwiceWithItsPortsInTurn) {
    PortMapper mapper({{kCoreProgram, 1, kProtocolTcp, 4321},
                       {kPortMapperProgram, 2, kProtocolUdp, 111},
                       {kCoreProgram, 1, kProtocolTcp, 4322}});
    const auto getPort = [&mapper](std::uint32_t program) {
        return readReply(*mapper.answer(call(100000, 2, 3, words({program, 1, 6, 0}))), 1)
            .results.at(0);
    };
    // The other program in between does not disturb the turn.
    const std::vector<std::uint32_t> ports = {getPort(kCoreProgram), getPort(kCoreProgram),
                                              getPort(100000), getPort(kCoreProgram)};
    EXPECT_EQ(ports, (std::vector<std::uint32_t>{4321, 4322, 0, 4321}));
}

}  // namespace
}  // namespace tavero::vxi11
