// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "sim/FrameCrc.h"
#include "sim/FrameDecoder.h"
#include "sim/FrameEncoder.h"

namespace tavero::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(SimFrameCrc, CheckValueOverTheNineDigits) {
    constexpr std::string_view digits = "123456789";
    const Bytes bytes(digits.begin(), digits.end());
    EXPECT_EQ(FrameCrc::of(bytes), 0x9ECF);
}

struct WorkedFrame {
    const char* what;
    Bytes payload;
    Bytes line;
};

// Independent vectors: frames worked out by hand for the generator's protocol.
const std::vector<WorkedFrame>& workedFrames() {
    static const std::vector<WorkedFrame> frames = {
        {"s 2: length and payload escaped",
         {0x73, 0x02},
         {0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0x10, 0x82, 0xFE, 0xF7}},
        {"x 1", {0x78, 0x01}, {0x02, 0x00, 0x10, 0x82, 0x00, 0x78, 0x01, 0x93, 0x6D}},
        {"P", {0x50}, {0x02, 0x00, 0x01, 0x00, 0x50, 0x04, 0xD9}},
        {"d 0x1000: payload 0x10 escaped",
         {0x64, 0x10, 0x00},
         {0x02, 0x00, 0x03, 0x00, 0x64, 0x10, 0x90, 0x00, 0xB7, 0x97}},
        {"s 0xC1: CRC byte escaped",
         {0x73, 0xC1},
         {0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0xC1, 0x10, 0x90, 0xD5}},
        {"reply to s", {0x73, 0x06}, {0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0x06, 0x81, 0x57}},
        {"f 100000",
         {0x66, 0x00, 0x01, 0x86, 0xA0},
         {0x02, 0x00, 0x05, 0x00, 0x66, 0x00, 0x01, 0x86, 0xA0, 0x7A, 0xEE}},
        {"g 500", {0x67, 0x01, 0xF4}, {0x02, 0x00, 0x03, 0x00, 0x67, 0x01, 0xF4, 0x73, 0x51}},
        {"o -1",
         {0x6F, 0xFF, 0xFF, 0xFF, 0xFF},
         {0x02, 0x00, 0x05, 0x00, 0x6F, 0xFF, 0xFF, 0xFF, 0xFF, 0x35, 0x7A}},
        {"e 1", {0x65, 0x01}, {0x02, 0x00, 0x10, 0x82, 0x00, 0x65, 0x01, 0x93, 0x23}},
        {"!", {0x21}, {0x02, 0x00, 0x01, 0x00, 0x21, 0x22, 0xD8}},
    };
    return frames;
}

/// Feeds bytes and collects every event with the payload of each frame found.
struct Decoded {
    std::vector<Bytes> frames;
    int rejected = 0;
};

Decoded decode(FrameDecoder& decoder, const Bytes& line) {
    Decoded result;
    for (const std::uint8_t b : line) {
        switch (decoder.feed(b)) {
            case FrameDecoder::Event::kFrame:
                result.frames.push_back(decoder.payload());
                break;
            case FrameDecoder::Event::kRejected:
                ++result.rejected;
                break;
            case FrameDecoder::Event::kNone:
                break;
        }
    }
    return result;
}

TEST(SimFrameCodec, EncodesWorkedFramesByteForByteAndDecodesThemBack) {
    for (const WorkedFrame& frame : workedFrames()) {
        SCOPED_TRACE(frame.what);
        const Bytes line = encodeFrame(frame.payload);
        EXPECT_EQ(line, frame.line);
        FrameDecoder decoder;
        const Decoded decoded = decode(decoder, line);
        ASSERT_EQ(decoded.frames.size(), 1U);
        EXPECT_EQ(decoded.frames[0], frame.payload);
        EXPECT_EQ(decoder.address(), 0x00);
    }
}

TEST(SimFrameCodec, Byte0x90GoesUnescapedAndComesBackAs0x90) {
    const Bytes line = encodeFrame(Bytes{0x90});
    EXPECT_EQ(line[4], 0x90);
    FrameDecoder decoder;
    EXPECT_EQ(decode(decoder, line).frames, std::vector<Bytes>{Bytes{0x90}});
}

TEST(SimFrameCodec, DamagedCrcIsRejected) {
    const Bytes payload = {0x73, 0xC1};  // CRC 0xD510: its damaged form 0x2AEF needs no escape
    const Bytes line = encodeFrame(payload, 0xFFFF);
    EXPECT_EQ(line, (Bytes{0x02, 0x00, 0x10, 0x82, 0x00, 0x73, 0xC1, 0xEF, 0x2A}));
    FrameDecoder decoder;
    const Decoded decoded = decode(decoder, line);
    EXPECT_TRUE(decoded.frames.empty());
    EXPECT_EQ(decoded.rejected, 1);
}

TEST(SimFrameDecoder, SkipsNoiseAndRestartsAtEveryStartByte) {
    Bytes line = {0x00, 0xFF, 0x10, 0x90, 0x55};  // noise, an escape byte among it
    const Bytes cut = encodeFrame(Bytes{0x66, 0x00, 0x01, 0x86, 0xA0});
    line.insert(line.end(), cut.begin(), cut.end() - 3);  // cut off before its CRC
    const Bytes whole = encodeFrame(Bytes{0x50});
    line.insert(line.end(), whole.begin(), whole.end());

    FrameDecoder decoder;
    const Decoded decoded = decode(decoder, line);
    EXPECT_EQ(decoded.frames, std::vector<Bytes>{Bytes{0x50}});
    EXPECT_EQ(decoded.rejected, 0);
}

TEST(SimFrameDecoder, RejectsOneChangedPayloadByteAndGoesOn) {
    Bytes line = encodeFrame(Bytes{0x73, 0x06});
    line[6] = 0x07;
    const Bytes next = encodeFrame(Bytes{0x50});
    line.insert(line.end(), next.begin(), next.end());

    FrameDecoder decoder;
    const Decoded decoded = decode(decoder, line);
    EXPECT_EQ(decoded.rejected, 1);
    EXPECT_EQ(decoded.frames, std::vector<Bytes>{Bytes{0x50}});
}

TEST(SimFrameDecoder, RejectsTooLongADeclaredLengthWithoutWaitingForIt) {
    FrameDecoder decoder;
    const Decoded decoded = decode(decoder, Bytes{0x02, 0x00, 0xFF, 0xFF});
    EXPECT_EQ(decoded.rejected, 1);
    // Hunting again: payload bytes of the dropped frame are ignored.
    EXPECT_TRUE(decode(decoder, Bytes{0x50, 0x04, 0xD9}).frames.empty());
}

}  // namespace
}  // namespace tavero::sim
