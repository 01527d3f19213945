// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "FakeCom.h"
#include "ReferenceFrame.h"
#include "link/FrameCrc.h"
#include "link/PacketLink.h"
#include "link/TraceFile.h"

namespace tavero::link {
namespace {

using testing::FakeCom;
using Bytes = std::vector<std::uint8_t>;

// Each case gets its own folder for the trace file and its own link writing there.
class PacketLinkTest : public ::testing::Test {
protected:
    PacketLinkTest() {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        link_.SetCom(&com_);
    }
    ~PacketLinkTest() override { std::filesystem::remove_all(folder_); }

    PacketLink& link() { return link_; }

    Bytes trace() const { return fileBytes(folder_ / "out.txt"); }

    static Bytes fileBytes(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    const std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() /
        ("tavero-link-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::ostringstream diagnostics_;
    FakeCom com_;
    TraceFile trace_{folder_ / "out.txt"};
    PacketLink link_{trace_, diagnostics_};
};

struct WorkedFrame {
    const char* name;
    Bytes payload;
    Bytes line;
};

const std::vector<WorkedFrame> kWorkedFrames = {
    {"s_with_2", {0x73, 0x02}, {0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0x10, 0x82, 0xFE, 0xF7}},
    {"connect", {0x78, 0x01}, {0x02, 0x00, 0x10, 0x82, 0x00, 0x78, 0x01, 0x93, 0x6D}},
    {"parameter_read", {0x50}, {0x02, 0x00, 0x01, 0x00, 0x50, 0x04, 0xD9}},
    {"d_with_escape",
     {0x64, 0x10, 0x00},
     {0x02, 0x00, 0x03, 0x00, 0x64, 0x10, 0x90, 0x00, 0xB7, 0x97}},
    {"crc_escaped", {0x73, 0xC1}, {0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0xC1, 0x10, 0x90, 0xD5}},
    {"reply_s", {0x73, 0x06}, {0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0x06, 0x81, 0x57}},
    {"f_1000Hz",
     {0x66, 0x00, 0x01, 0x86, 0xA0},
     {0x02, 0x00, 0x05, 0x00, 0x66, 0x00, 0x01, 0x86, 0xA0, 0x7A, 0xEE}},
    {"g_500mV", {0x67, 0x01, 0xF4}, {0x02, 0x00, 0x03, 0x00, 0x67, 0x01, 0xF4, 0x73, 0x51}},
    {"o_minus_1",
     {0x6F, 0xFF, 0xFF, 0xFF, 0xFF},
     {0x02, 0x00, 0x05, 0x00, 0x6F, 0xFF, 0xFF, 0xFF, 0xFF, 0x35, 0x7A}},
    {"e_sweep", {0x65, 0x01}, {0x02, 0x00, 0x10, 0x82, 0x00, 0x65, 0x01, 0x93, 0x23}},
    {"payload_0x90_unchanged", {0x73, 0x90}, testing::referenceFrame({0x73, 0x90})},
};

TEST(FrameCrc, CheckValueOfTheNineDigits) {
    FrameCrc crc;
    crc.reset();
    for (const char c : std::string("123456789")) {
        crc.update(static_cast<std::uint8_t>(c));
    }
    EXPECT_EQ(crc.finish(), 0x9ECF);
    EXPECT_EQ(testing::referenceCrc(Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0x9ECF);
}

TEST_F(PacketLinkTest, WorkedFramesGoOnTheLineAndIntoTheTraceByteForByte) {
    Bytes allSent;
    for (const WorkedFrame& frame : kWorkedFrames) {
        SCOPED_TRACE(frame.name);
        const std::size_t before = com_.written().size();
        ASSERT_TRUE(link().Send(frame.payload.data(),
                                static_cast<std::uint32_t>(frame.payload.size()), 500));
        EXPECT_EQ(link().status(), PacketLink::kOk);
        EXPECT_EQ(Bytes(com_.written().begin() + static_cast<std::ptrdiff_t>(before),
                        com_.written().end()),
                  frame.line);
        allSent.insert(allSent.end(), frame.line.begin(), frame.line.end());
    }
    // The trace grows across frames.
    EXPECT_EQ(trace(), allSent);
}

TEST_F(PacketLinkTest, WorkedFramesAreReceivedBack) {
    for (const WorkedFrame& frame : kWorkedFrames) {
        SCOPED_TRACE(frame.name);
        com_.serveNow(frame.line);
        std::array<std::uint8_t, 80> buffer{};
        std::uint32_t count = 0;
        ASSERT_TRUE(link().Receive(buffer.data(), 80, &count, 500));
        ASSERT_EQ(count, frame.payload.size() + 5);
        EXPECT_EQ(Bytes(buffer.begin() + 3,
                        buffer.begin() + 3 + static_cast<std::ptrdiff_t>(frame.payload.size())),
                  frame.payload);
    }
}

TEST_F(PacketLinkTest, NoiseBeforeTheStartIsSkippedAndTheFrameIsPrinted) {
    com_.serveNow(
        {0xFF, 0x00, 0x55, 0x10, 0x82, 0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0x06, 0x81, 0x57});
    std::array<std::uint8_t, 80> buffer{};
    std::uint32_t count = 0;
    ASSERT_TRUE(link().Receive(buffer.data(), 80, &count, 500));
    EXPECT_EQ(count, 7U);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 7),
              (Bytes{0x00, 0x02, 0x00, 0x73, 0x06, 0x81, 0x57}));
    EXPECT_EQ(diagnostics_.str(), "Empfangen 2\n0x73 0x06 \n");
    EXPECT_EQ(link().status(), PacketLink::kOk);
}

TEST_F(PacketLinkTest, ChangedPayloadByteFailsTheChecksum) {
    Bytes line = {0x02, 0x00, 0x10, 0x82, 0x00, 0x74, 0x06, 0x81, 0x57};
    Bytes changedFrame(line.begin(), line.end() - 2);
    const std::uint16_t computed = testing::referenceCrc(changedFrame);
    com_.serveNow(line);
    std::array<std::uint8_t, 80> buffer{};
    std::uint32_t count = 0;
    EXPECT_FALSE(link().Receive(buffer.data(), 80, &count, 500));
    EXPECT_EQ(link().status(), PacketLink::kChecksumWrong);
    char expected[64];
    std::snprintf(expected, sizeof expected, "Checksumme fehlerhaft: 0x81 0x57 -> 0x%04x\n",
                  computed);
    EXPECT_EQ(diagnostics_.str(), expected);
}

TEST_F(PacketLinkTest, ReplyWhoseChecksumIsZeroIsAccepted) {
    // Search a payload whose CRC is 0x0000 with the independent reference.
    Bytes payload;
    for (unsigned v = 0; v < 0x10000 && payload.empty(); ++v) {
        const Bytes candidate = {0x73, static_cast<std::uint8_t>(v >> 8),
                                 static_cast<std::uint8_t>(v)};
        const Bytes line = testing::referenceFrame(candidate);
        if (line[line.size() - 1] == 0 && line[line.size() - 2] == 0) {
            payload = candidate;
        }
    }
    ASSERT_FALSE(payload.empty());
    com_.serveNow(testing::referenceFrame(payload));
    std::array<std::uint8_t, 80> buffer{};
    std::uint32_t count = 0;
    EXPECT_TRUE(link().Receive(buffer.data(), 80, &count, 500));
    EXPECT_EQ(buffer[count - 2], 0);
    EXPECT_EQ(buffer[count - 1], 0);
}

TEST_F(PacketLinkTest, ReceiveEndsWithTheRightStatus) {
    struct Case {
        const char* name;
        Bytes line;
        std::optional<std::size_t> readFailsAfter;
        std::uint8_t status;
    };
    const std::vector<Case> cases = {
        {"nothing at all", {}, std::nullopt, PacketLink::kNoData},
        {"first read fails", {}, 0, PacketLink::kNoData},
        {"cut short", {0x02, 0x00, 0x10, 0x82, 0x00, 0x73}, std::nullopt, PacketLink::kNoData},
        {"read fails mid frame",
         {0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0x06},
         4,
         PacketLink::kTransferError},
        {"declared length zero never completes",
         {0x02, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56},
         std::nullopt,
         PacketLink::kNoData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeCom com;
        com.serveNow(c.line);
        if (c.readFailsAfter) {
            com.failReadAfter(*c.readFailsAfter);
        }
        link().SetCom(&com);
        std::array<std::uint8_t, 80> buffer{};
        std::uint32_t count = 0;
        EXPECT_FALSE(link().Receive(buffer.data(), 80, &count, 500));
        EXPECT_EQ(link().status(), c.status);
    }
}

TEST_F(PacketLinkTest, FrameLongerThanTheBufferStopsAtExactlyItsSize) {
    Bytes line = {0x02, 0x00, 0x50, 0x00};  // declares 80 payload bytes
    line.resize(line.size() + 100, 0x41);
    com_.serveNow(line);
    std::array<std::uint8_t, 40> buffer{};
    buffer.fill(0xEE);
    std::uint32_t count = 0;
    EXPECT_FALSE(link().Receive(buffer.data(), 32, &count, 500));
    EXPECT_EQ(link().status(), PacketLink::kBufferTooSmall);
    EXPECT_EQ(count, 32U);
    EXPECT_EQ(buffer[31], 0x41);
    EXPECT_EQ(buffer[32], 0xEE);  // nothing written past the size given
}

// A device that never stops talking: it repeats `pattern`, one byte every `gap` on a clock of
// its own, and a read that would wait longer than the time-out delivers nothing. It gives up
// after a million bytes, so that a receive without a bound ends the test instead of hanging it.
class EndlessCom final : public FakeCom {
public:
    using Clock = std::chrono::steady_clock;

    EndlessCom(Bytes pattern, std::chrono::milliseconds gap)
        : pattern_(std::move(pattern)), gap_(gap) {}

    Clock::time_point now() const { return now_; }
    std::size_t delivered() const { return delivered_; }
    bool exhausted() const { return delivered_ >= kGiveUpAfter; }

    bool Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* countRead) override {
        *countRead = 0;
        if (exhausted()) {
            return false;
        }
        if (gap_ > std::chrono::milliseconds(timeoutMs())) {
            now_ += std::chrono::milliseconds(timeoutMs());
            return true;
        }
        now_ += gap_;
        for (; *countRead < count; ++*countRead) {
            buffer[*countRead] = pattern_[delivered_++ % pattern_.size()];
        }
        return true;
    }

private:
    static constexpr std::size_t kGiveUpAfter = 1'000'000;
    Bytes pattern_;
    std::chrono::milliseconds gap_;
    Clock::time_point now_;
    std::size_t delivered_ = 0;
};

// The time-out plus the wire time of the longest frame a buffer of `size` takes, and the port's
// time-out granularity of 1 ms for the last read.
std::chrono::microseconds receiveBound(std::uint32_t timeoutMs, std::uint32_t size) {
    return std::chrono::milliseconds(timeoutMs + 1) +
           std::chrono::microseconds((1 + 2 * std::uint64_t{size}) * 10 * 1'000'000 / 76800);
}

TEST_F(PacketLinkTest, ReceiveFromADeviceThatNeverStopsEndsWithinItsBound) {
    struct Case {
        const char* name;
        Bytes pattern;
        std::chrono::milliseconds gap;
        std::uint32_t timeoutMs;
        std::uint8_t status;
    };
    const Bytes reply = {0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0x06, 0x81, 0x57};
    const std::vector<Case> cases = {
        {"text without a start byte",
         {'$', 'G', 'P', '\r', '\n'},
         {},
         500,
         PacketLink::kTransferError},
        {"reply bytes 0.45 s apart", reply, std::chrono::milliseconds(450), 500,
         PacketLink::kNoData},
        {"reset reply bytes 0.65 s apart", reply, std::chrono::milliseconds(650), 700,
         PacketLink::kNoData},
        {"one start byte, then text", {0x02, 'a', 'b'}, {}, 500, PacketLink::kBufferTooSmall},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EndlessCom com(c.pattern, c.gap);
        PacketLink link(trace_, diagnostics_, [&com] { return com.now(); });
        link.SetCom(&com);
        std::array<std::uint8_t, 80> buffer{};
        std::uint32_t count = 0;
        EXPECT_FALSE(link.Receive(buffer.data(), 80, &count, c.timeoutMs));
        EXPECT_FALSE(com.exhausted());
        EXPECT_LE(com.delivered(), 2 * (1 + 2 * 80) + 2);  // two of the longest frames
        EXPECT_EQ(link.status(), c.status);
        EXPECT_LE(com.now() - EndlessCom::Clock::time_point{}, receiveBound(c.timeoutMs, 80));
        EXPECT_EQ(com.timeoutMs(), 500U);
    }
}

TEST_F(PacketLinkTest, LaterStartByteInsideAFrameIsData) {
    // A raw 0x02 after the start is stored: the length reads as 0x0202 and the frame never ends.
    com_.serveNow({0x02, 0x00, 0x02, 0x02, 0x73});
    std::array<std::uint8_t, 80> buffer{};
    std::uint32_t count = 0;
    EXPECT_FALSE(link().Receive(buffer.data(), 80, &count, 500));
    EXPECT_EQ(count, 4U);
    EXPECT_EQ(buffer[1], 0x02);
    EXPECT_EQ(buffer[2], 0x02);
}

TEST_F(PacketLinkTest, WithoutPortOrWithClosedPortNothingHappens) {
    PacketLink unattached(trace_, diagnostics_);
    const std::uint8_t payload[] = {0x50};
    std::array<std::uint8_t, 80> buffer{};
    std::uint32_t count = 0;
    EXPECT_FALSE(unattached.Send(payload, 1, 500));
    EXPECT_EQ(unattached.status(), PacketLink::kNoCom);
    EXPECT_FALSE(unattached.Receive(buffer.data(), 80, &count, 500));
    EXPECT_EQ(unattached.status(), PacketLink::kNoCom);

    com_.Close();
    EXPECT_FALSE(link().Send(payload, 1, 500));
    EXPECT_EQ(link().status(), PacketLink::kNotConnected);
    EXPECT_FALSE(link().Receive(buffer.data(), 80, &count, 500));
    EXPECT_EQ(link().status(), PacketLink::kNotConnected);
    EXPECT_TRUE(trace().empty());
}

TEST_F(PacketLinkTest, TimeoutIsRestoredAfterEveryCall) {
    std::array<std::uint8_t, 80> buffer{};
    std::uint32_t count = 0;
    EXPECT_FALSE(link().Receive(buffer.data(), 80, &count, 700));
    EXPECT_EQ(com_.timeoutMs(), 500U);

    com_.serveNow({0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0x06, 0x81, 0x57});
    EXPECT_TRUE(link().Receive(buffer.data(), 80, &count, 700));
    EXPECT_EQ(com_.timeoutMs(), 500U);

    const std::uint8_t payload[] = {0x50};
    com_.failWriteAt(com_.written().size() + 3);
    EXPECT_FALSE(link().Send(payload, 1, 700));
    EXPECT_EQ(com_.timeoutMs(), 500U);
}

TEST_F(PacketLinkTest, FailedWriteStopsTheFrameAndLeavesStatusSeven) {
    const std::uint8_t payload[] = {0x66, 0x00, 0x01, 0x86, 0xA0};
    com_.failWriteAt(4);
    EXPECT_FALSE(link().Send(payload, 5, 500));
    EXPECT_EQ(link().status(), PacketLink::kTransferError);
    EXPECT_EQ(com_.written(), (Bytes{0x02, 0x00, 0x05, 0x00}));
    // The whole frame is traced before any of it is written.
    EXPECT_EQ(trace(), (Bytes{0x02, 0x00, 0x05, 0x00, 0x66, 0x00, 0x01, 0x86, 0xA0, 0x7A, 0xEE}));
}

TEST_F(PacketLinkTest, ATraceThatCannotBeWrittenIsReportedOnceAndTheFramesGoOn) {
    struct Case {
        const char* name;
        std::filesystem::path path;
        int error;
        bool readerWaits;  ///< a reader holds the FIFO open
    };
    const std::filesystem::path fifo = folder_ / "fifo.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder_ / "folder.txt");
    const std::vector<Case> cases = {
        {"missing folder", folder_ / "missing-folder" / "out.txt", ENOENT, false},
        {"FIFO without a reader", fifo, TraceFile::kNotRegularFile, false},
        {"FIFO with a reader", fifo, TraceFile::kNotRegularFile, true},
        {"folder", folder_ / "folder.txt", TraceFile::kNotRegularFile, false},
    };
    const Bytes frame = {0x02, 0x00, 0x01, 0x00, 0x50, 0x04, 0xD9};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int reader = c.readerWaits ? ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
        std::vector<int> reported;
        TraceFile trace(c.path, [&reported](int error) { reported.push_back(error); });
        PacketLink untraced(trace, diagnostics_);
        FakeCom com;
        untraced.SetCom(&com);
        const std::uint8_t payload[] = {0x50};
        EXPECT_TRUE(untraced.Send(payload, 1, 500));
        EXPECT_TRUE(untraced.Send(payload, 1, 500));
        Bytes twice = frame;
        twice.insert(twice.end(), frame.begin(), frame.end());
        EXPECT_EQ(com.written(), twice);
        EXPECT_EQ(reported, std::vector<int>{c.error});
        if (reader >= 0) {
            std::array<char, 16> got{};
            EXPECT_LT(::read(reader, got.data(), got.size()), 1);
            ::close(reader);
        }
    }
}

TEST_F(PacketLinkTest, AnEmptyTracePathKeepsNoTrace) {
    std::vector<int> reported;
    TraceFile none({}, [&reported](int error) { reported.push_back(error); });
    PacketLink untraced(none, diagnostics_);
    untraced.SetCom(&com_);
    const std::uint8_t payload[] = {0x50};
    EXPECT_TRUE(untraced.Send(payload, 1, 500));
    EXPECT_TRUE(reported.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST(PacketLinkStatus, TextsAreFixed) {
    EXPECT_EQ(PacketLink::statusText(0), "Kein Fehler.");
    EXPECT_EQ(PacketLink::statusText(4), "Datenlänge zu groß.");
    EXPECT_EQ(PacketLink::statusText(7), "Fehler bei der Übertragung.");
    EXPECT_EQ(PacketLink::statusText(8), "Unbekannter Fehler");
}

}  // namespace
}  // namespace tavero::link
