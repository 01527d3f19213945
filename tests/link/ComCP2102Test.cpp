// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "link/ComCP2102.h"

namespace tavero::link {
namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;
using ::testing::SetArgPointee;

class MockUsbBridge : public UsbBridge {
public:
    MOCK_METHOD(int, GetNumDevices, (std::uint32_t*), (override));
    MOCK_METHOD(int, GetProductString, (std::uint32_t, IdentityText&, int), (override));
    MOCK_METHOD(int, OpenDevice, (std::uint32_t, Handle*), (override));
    MOCK_METHOD(int, CloseDevice, (Handle), (override));
    MOCK_METHOD(int, Read, (Handle, std::uint8_t*, std::uint32_t, std::uint32_t*), (override));
    MOCK_METHOD(int, Write, (Handle, const std::uint8_t*, std::uint32_t, std::uint32_t*),
                (override));
    MOCK_METHOD(int, FlushBuffers, (Handle, bool, bool), (override));
    MOCK_METHOD(int, SetTimeouts, (std::uint32_t, std::uint32_t), (override));
    MOCK_METHOD(int, GetTimeouts, (std::uint32_t*, std::uint32_t*), (override));
    MOCK_METHOD(int, SetBaudRate, (Handle, std::uint32_t), (override));
    MOCK_METHOD(int, SetLineControl, (Handle, std::uint16_t), (override));
    MOCK_METHOD(int, SetFlowControl,
                (Handle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t,
                 bool),
                (override));
};

struct Attached {
    std::string vendor;
    std::string product;
    std::string description;
};

/// A mock that presents the given bridges and succeeds at every role by default.
class ComCP2102Test : public ::testing::Test {
protected:
    void present(std::vector<Attached> bridges) {
        bridges_ = std::move(bridges);
        ON_CALL(bridge_, GetNumDevices(_))
            .WillByDefault(DoAll(SetArgPointee<0>(static_cast<std::uint32_t>(bridges_.size())),
                                 Return(UsbBridge::kSuccess)));
        ON_CALL(bridge_, GetProductString(_, _, _))
            .WillByDefault(
                Invoke([this](std::uint32_t index, UsbBridge::IdentityText& text, int kind) {
                    const Attached& b = bridges_.at(index);
                    const std::string& s = kind == UsbBridge::kVendorId    ? b.vendor
                                           : kind == UsbBridge::kProductId ? b.product
                                                                           : b.description;
                    std::memcpy(text.data(), s.c_str(), s.size() + 1);
                    return UsbBridge::kSuccess;
                }));
        ON_CALL(bridge_, OpenDevice(_, _))
            .WillByDefault(Invoke([](std::uint32_t index, UsbBridge::Handle* handle) {
                *handle = 100 + index;
                return UsbBridge::kSuccess;
            }));
    }

    NiceMock<MockUsbBridge> bridge_;
    std::vector<Attached> bridges_;
    ComCP2102 port_{bridge_};
};

TEST_F(ComCP2102Test, OpensTheMatchingBridgeAndSetsUpTheLine) {
    present({{"10c4", "ea61", "other"}, {"10c4", "ea60", "gen"}});
    EXPECT_CALL(bridge_, OpenDevice(1, _));
    EXPECT_CALL(bridge_, SetBaudRate(101, 76800));
    EXPECT_CALL(bridge_, SetLineControl(101, 0x0800));
    EXPECT_CALL(bridge_, SetFlowControl(101, 0, 0, 0, 0, 0, false));
    EXPECT_CALL(bridge_, SetTimeouts(500, 500));
    EXPECT_TRUE(port_.OpenById("10c4", "ea60", 76800, 500));
    EXPECT_TRUE(port_.IsOpen());
    EXPECT_EQ(port_.lineSettings().baudRate, 76800U);
}

TEST_F(ComCP2102Test, NoMatchingBridgeLeavesThePortClosed) {
    struct Case {
        const char* name;
        std::vector<Attached> bridges;
    };
    const std::vector<Case> cases = {
        {"no bridge", {}},
        {"other product", {{"10c4", "ea61", ""}}},
        {"other vendor", {{"10c5", "ea60", ""}}},
        {"vendor in capitals", {{"10C4", "ea60", ""}}},
        {"product in capitals", {{"10c4", "EA60", ""}}},
        {"longer id", {{"10c4x", "ea60", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        present(c.bridges);
        EXPECT_CALL(bridge_, OpenDevice(_, _)).Times(0);
        EXPECT_FALSE(port_.OpenById("10c4", "ea60", 76800, 500));
        EXPECT_FALSE(port_.IsOpen());
        ::testing::Mock::VerifyAndClearExpectations(&bridge_);
    }
}

TEST_F(ComCP2102Test, LowestIndexWinsAmongTwoGenerators) {
    present({{"10c4", "ea60", "a"}, {"10c4", "ea60", "b"}});
    EXPECT_CALL(bridge_, OpenDevice(0, _));
    EXPECT_CALL(bridge_, OpenDevice(1, _)).Times(0);
    EXPECT_TRUE(port_.OpenById("10c4", "ea60", 76800, 500));
}

TEST_F(ComCP2102Test, FailedIdentityQueryEndsTheSearch) {
    present({{"10c4", "ea61", ""}, {"10c4", "ea60", ""}});
    EXPECT_CALL(bridge_, GetProductString(_, _, _)).Times(::testing::AnyNumber());
    EXPECT_CALL(bridge_, GetProductString(0, _, UsbBridge::kProductId))
        .WillOnce(Return(UsbBridge::kDeviceNotFound));
    EXPECT_FALSE(port_.OpenById("10c4", "ea60", 76800, 500));
    EXPECT_FALSE(port_.IsOpen());
}

TEST_F(ComCP2102Test, FailedCountSearchesNothing) {
    present({{"10c4", "ea60", ""}});
    EXPECT_CALL(bridge_, GetNumDevices(_)).WillOnce(Return(UsbBridge::kDeviceNotFound));
    EXPECT_CALL(bridge_, GetProductString(_, _, _)).Times(0);
    EXPECT_FALSE(port_.OpenById("10c4", "ea60", 76800, 500));
}

TEST_F(ComCP2102Test, OpenOnAnOpenPortLeavesItAlone) {
    present({{"10c4", "ea60", ""}});
    ASSERT_TRUE(port_.OpenById("10c4", "ea60", 76800, 500));
    EXPECT_CALL(bridge_, GetNumDevices(_)).Times(0);
    EXPECT_CALL(bridge_, CloseDevice(_)).Times(0);
    EXPECT_FALSE(port_.OpenById("10c4", "ea60", 76800, 500));
    EXPECT_TRUE(port_.IsOpen());
    ::testing::Mock::VerifyAndClearExpectations(&bridge_);
}

TEST_F(ComCP2102Test, FailedSetupClosesTheDeviceAndAllowsANewSearch) {
    present({{"10c4", "ea60", ""}});
    EXPECT_CALL(bridge_, SetBaudRate(_, _))
        .WillOnce(Return(UsbBridge::kInvalidBaudRate))
        .WillOnce(Return(UsbBridge::kSuccess));
    EXPECT_CALL(bridge_, CloseDevice(100));
    EXPECT_FALSE(port_.OpenById("10c4", "ea60", 76800, 500));
    EXPECT_FALSE(port_.IsOpen());
    EXPECT_CALL(bridge_, GetNumDevices(_));
    EXPECT_TRUE(port_.OpenById("10c4", "ea60", 76800, 500));
    ::testing::Mock::VerifyAndClearExpectations(&bridge_);
}

TEST_F(ComCP2102Test, FailedTimeoutSetupClosesTheDevice) {
    present({{"10c4", "ea60", ""}});
    EXPECT_CALL(bridge_, SetTimeouts(_, _)).WillOnce(Return(UsbBridge::kInvalidParameter));
    EXPECT_CALL(bridge_, CloseDevice(100));
    EXPECT_FALSE(port_.OpenById("10c4", "ea60", 76800, 500));
    EXPECT_FALSE(port_.IsOpen());
}

TEST_F(ComCP2102Test, FailedOpenLeavesThePortClosed) {
    present({{"10c4", "ea60", ""}});
    EXPECT_CALL(bridge_, OpenDevice(0, _))
        .WillOnce(
            DoAll(SetArgPointee<1>(UsbBridge::Handle{7}), Return(UsbBridge::kDeviceNotFound)));
    EXPECT_FALSE(port_.OpenById("10c4", "ea60", 76800, 500));
    EXPECT_FALSE(port_.IsOpen());
}

TEST_F(ComCP2102Test, OpenByDescriptionComparesKindOne) {
    present({{"10c4", "ea60", "CP2102 USB to UART"}, {"10c4", "ea60", "Tavero"}});
    EXPECT_CALL(bridge_, OpenDevice(1, _));
    EXPECT_TRUE(port_.Open("Tavero", 76800, 500));
}

TEST_F(ComCP2102Test, ClosedPortMakesNoLibraryCall) {
    EXPECT_CALL(bridge_, CloseDevice(_)).Times(0);
    EXPECT_CALL(bridge_, Read(_, _, _, _)).Times(0);
    EXPECT_CALL(bridge_, Write(_, _, _, _)).Times(0);
    EXPECT_CALL(bridge_, FlushBuffers(_, _, _)).Times(0);
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    EXPECT_FALSE(port_.Close());
    EXPECT_FALSE(port_.Read(&byte, 1, &count));
    EXPECT_FALSE(port_.Write(&byte, 1));
    EXPECT_FALSE(port_.Flush());
    EXPECT_TRUE(port_.Setup(0));
}

TEST_F(ComCP2102Test, TimeoutsBelongToTheLibraryAndWorkWhileClosed) {
    EXPECT_CALL(bridge_, SetTimeouts(700, 700)).WillOnce(Return(UsbBridge::kSuccess));
    EXPECT_CALL(bridge_, GetTimeouts(_, _))
        .WillOnce(DoAll(SetArgPointee<0>(700U), SetArgPointee<1>(9U), Return(UsbBridge::kSuccess)))
        .WillOnce(Return(UsbBridge::kInvalidParameter));
    EXPECT_TRUE(port_.SetTimeout(700));
    std::uint32_t timeoutMs = 0;
    EXPECT_TRUE(port_.GetTimeout(&timeoutMs));
    EXPECT_EQ(timeoutMs, 700U);
    EXPECT_FALSE(port_.GetTimeout(&timeoutMs));
}

class OpenComCP2102Test : public ComCP2102Test {
protected:
    void SetUp() override {
        present({{"10c4", "ea60", ""}});
        ASSERT_TRUE(port_.OpenById("10c4", "ea60", 76800, 500));
    }
};

TEST_F(OpenComCP2102Test, ReadCountsTimeoutAndQueueNotReadyAsSuccess) {
    struct Case {
        int result;
        std::uint32_t delivered;
        bool ok;
    };
    for (const Case c :
         {Case{UsbBridge::kSuccess, 1, true}, Case{UsbBridge::kRxQueueNotReady, 0, true},
          Case{UsbBridge::kReadTimedOut, 0, true}, Case{UsbBridge::kReadError, 0, false},
          Case{UsbBridge::kDeviceIoFailed, 1, false}}) {
        SCOPED_TRACE(c.result);
        EXPECT_CALL(bridge_, Read(100, _, 1, _))
            .WillOnce(DoAll(SetArgPointee<3>(c.delivered), Return(c.result)));
        std::uint8_t byte = 0;
        std::uint32_t count = 99;
        EXPECT_EQ(port_.Read(&byte, 1, &count), c.ok);
        EXPECT_EQ(count, c.ok ? c.delivered : 99U);  // untouched on failure
    }
}

TEST_F(OpenComCP2102Test, WriteNeedsEveryByteAccepted) {
    const std::uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_CALL(bridge_, Write(100, _, 4, _))
        .WillOnce(DoAll(SetArgPointee<3>(4U), Return(UsbBridge::kSuccess)))
        .WillOnce(DoAll(SetArgPointee<3>(3U), Return(UsbBridge::kSuccess)))
        .WillOnce(DoAll(SetArgPointee<3>(4U), Return(UsbBridge::kWriteTimedOut)));
    EXPECT_TRUE(port_.Write(bytes, 4));
    EXPECT_FALSE(port_.Write(bytes, 4));
    EXPECT_FALSE(port_.Write(bytes, 4));
    EXPECT_TRUE(port_.IsOpen());  // a failed write does not close the port
}

TEST_F(OpenComCP2102Test, FlushesBothDirectionsAndClosesOnce) {
    EXPECT_CALL(bridge_, FlushBuffers(100, true, true)).WillOnce(Return(UsbBridge::kSuccess));
    EXPECT_TRUE(port_.Flush());
    EXPECT_CALL(bridge_, CloseDevice(100)).WillOnce(Return(UsbBridge::kInvalidHandle));
    EXPECT_TRUE(port_.Close());
    EXPECT_FALSE(port_.IsOpen());
}

TEST(ComCP2102Lifetime, DestructorClosesAnOpenDevice) {
    NiceMock<MockUsbBridge> bridge;
    ON_CALL(bridge, GetNumDevices(_)).WillByDefault(DoAll(SetArgPointee<0>(1U), Return(0)));
    ON_CALL(bridge, GetProductString(_, _, _))
        .WillByDefault(Invoke([](std::uint32_t, UsbBridge::IdentityText& text, int kind) {
            std::strcpy(text.data(), kind == UsbBridge::kVendorId ? "10c4" : "ea60");
            return 0;
        }));
    ON_CALL(bridge, OpenDevice(_, _))
        .WillByDefault(DoAll(SetArgPointee<1>(UsbBridge::Handle{5}), Return(0)));
    EXPECT_CALL(bridge, CloseDevice(5));
    {
        ComCP2102 port(bridge);
        ASSERT_TRUE(port.OpenById("10c4", "ea60", 76800, 500));
    }
}

}  // namespace
}  // namespace tavero::link
