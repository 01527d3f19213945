// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/BuildConfig.h"
#include "sim/FrameEncoder.h"
#include "sim/SimulatedBridge.h"

namespace tavero::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using link::UsbBridge;
using Role = SimulatedBridge::Role;

class SimulatedBridgeTest : public testing::Test {
protected:
    UsbBridge::Handle open(std::uint32_t index = 0) {
        UsbBridge::Handle handle = UsbBridge::kNoHandle;
        EXPECT_EQ(bridge.OpenDevice(index, &handle), UsbBridge::kSuccess);
        return handle;
    }

    int send(UsbBridge::Handle handle, const Bytes& payload) {
        const Bytes frame = encodeFrame(payload);
        std::uint32_t written = 0;
        const int result =
            bridge.Write(handle, frame.data(), static_cast<std::uint32_t>(frame.size()), &written);
        EXPECT_EQ(written, result == UsbBridge::kSuccess ? frame.size() : 0U);
        return result;
    }

    /// Reads one byte at a time, as the frame codec does, until a read delivers nothing.
    Bytes readAll(UsbBridge::Handle handle) {
        Bytes got;
        std::uint8_t byte = 0;
        std::uint32_t count = 0;
        while (bridge.Read(handle, &byte, 1, &count) == UsbBridge::kSuccess && count == 1) {
            got.push_back(byte);
        }
        return got;
    }

    std::string identity(std::uint32_t index, int kind) {
        UsbBridge::IdentityText text{};
        if (bridge.GetProductString(index, text, kind) != UsbBridge::kSuccess) {
            return "(failed)";
        }
        return text.data();
    }

    Bytes parameterFrame() const {
        Bytes reply = {'P', 0x00, 0x78};
        const SettingsImage image = toSettingsImage(generator.settings());
        reply.insert(reply.end(), image.begin(), image.end());
        return encodeFrame(reply);
    }

    std::uint32_t deviceCount() {
        std::uint32_t count = 99;
        EXPECT_EQ(bridge.GetNumDevices(&count), UsbBridge::kSuccess);
        return count;
    }

    SimulatedGenerator generator;
    SimulatedBridge bridge{generator};
};

TEST_F(SimulatedBridgeTest, PresentsTheGeneratorWithItsIdentity) {
    EXPECT_EQ(deviceCount(), 1U);
    EXPECT_EQ(identity(0, UsbBridge::kDescription), "Tavero (simulated)");
    EXPECT_EQ(identity(0, UsbBridge::kVendorId), kGeneratorVendorId);
    EXPECT_EQ(identity(0, UsbBridge::kProductId), kGeneratorProductId);
    UsbBridge::IdentityText text{};
    EXPECT_EQ(bridge.GetProductString(0, text, 2), UsbBridge::kInvalidParameter);
    EXPECT_EQ(bridge.GetProductString(1, text, UsbBridge::kVendorId), UsbBridge::kDeviceNotFound);
    UsbBridge::Handle handle = UsbBridge::kNoHandle;
    EXPECT_EQ(bridge.OpenDevice(1, &handle), UsbBridge::kDeviceNotFound);
}

TEST_F(SimulatedBridgeTest, CarriesAnExchangeAndReadsZeroBytesWhenNothingWaits) {
    const UsbBridge::Handle handle = open();
    EXPECT_EQ(send(handle, {'x', 1}), UsbBridge::kSuccess);
    EXPECT_EQ(readAll(handle), encodeFrame(Bytes{'x', 0x06}));

    std::uint8_t buffer[4] = {};
    std::uint32_t count = 99;
    EXPECT_EQ(bridge.Read(handle, buffer, 4, &count), UsbBridge::kSuccess);
    EXPECT_EQ(count, 0U);
    EXPECT_TRUE(generator.connected());
    EXPECT_EQ(generator.receivedLetters(), "x");
}

TEST_F(SimulatedBridgeTest, KeepsTimeoutsLibraryWideAndRecordsTheLineSettings) {
    EXPECT_EQ(bridge.SetTimeouts(500, 700), UsbBridge::kSuccess);
    const UsbBridge::Handle handle = open();
    std::uint32_t readMs = 0;
    std::uint32_t writeMs = 0;
    EXPECT_EQ(bridge.GetTimeouts(&readMs, &writeMs), UsbBridge::kSuccess);
    EXPECT_EQ(readMs, 500U);
    EXPECT_EQ(writeMs, 700U);

    EXPECT_EQ(bridge.SetBaudRate(handle, 76800), UsbBridge::kSuccess);
    EXPECT_EQ(bridge.SetLineControl(handle, 0x0800), UsbBridge::kSuccess);
    EXPECT_EQ(bridge.SetFlowControl(handle, 0, 0, 0, 0, 0, false), UsbBridge::kSuccess);
    const SimulatedBridge::LineSettings& line = bridge.lineSettings(0);
    EXPECT_EQ(line.baudRate, 76800U);
    EXPECT_EQ(line.lineControl, 0x0800);
    EXPECT_EQ(line.flowControl, SimulatedBridge::FlowControl{});

    EXPECT_EQ(bridge.CloseDevice(handle), UsbBridge::kSuccess);
    open();
    EXPECT_FALSE(bridge.lineSettings(0).baudRate.has_value());
}

TEST_F(SimulatedBridgeTest, RefusesHandlesThatAreNotOpen) {
    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    const UsbBridge::Handle never = 12345;
    EXPECT_EQ(bridge.Read(never, &byte, 1, &count), UsbBridge::kInvalidHandle);
    EXPECT_EQ(bridge.Write(never, &byte, 1, &count), UsbBridge::kInvalidHandle);
    EXPECT_EQ(bridge.FlushBuffers(never, true, true), UsbBridge::kInvalidHandle);
    EXPECT_EQ(bridge.SetBaudRate(never, 76800), UsbBridge::kInvalidHandle);
    EXPECT_EQ(bridge.CloseDevice(never), UsbBridge::kInvalidHandle);

    const UsbBridge::Handle handle = open();
    UsbBridge::Handle second = UsbBridge::kNoHandle;
    EXPECT_EQ(bridge.OpenDevice(0, &second), UsbBridge::kDeviceIoFailed);
    EXPECT_EQ(bridge.CloseDevice(handle), UsbBridge::kSuccess);
    EXPECT_EQ(bridge.Read(handle, &byte, 1, &count), UsbBridge::kInvalidHandle);
    EXPECT_FALSE(bridge.isOpen(0));
}

TEST_F(SimulatedBridgeTest, SlowBytesNeverArriveAndHoldBackLaterOnesUntilAFlush) {
    const UsbBridge::Handle handle = open();
    send(handle, {'P'});
    EXPECT_EQ(bridge.FlushBuffers(handle, true, true), UsbBridge::kSuccess);
    EXPECT_TRUE(readAll(handle).empty());
    generator.injectFault(Fault::kSlowBytes);
    send(handle, {'s', 1});
    EXPECT_TRUE(readAll(handle).empty());
    send(handle, {'s', 2});
    EXPECT_TRUE(readAll(handle).empty());
    bridge.FlushBuffers(handle, true, true);
    send(handle, {'s', 3});
    EXPECT_EQ(readAll(handle), encodeFrame(Bytes{'s', 0x06}));
}

TEST_F(SimulatedBridgeTest, UnpluggedGeneratorVanishesAndItsOldHandleStaysDead) {
    const UsbBridge::Handle handle = open();
    generator.injectFault(Fault::kUnplug, 'g');
    send(handle, {'g', 0x01, 0xF4});
    EXPECT_FALSE(generator.pluggedIn());
    EXPECT_EQ(deviceCount(), 0U);

    std::uint8_t byte = 0;
    std::uint32_t count = 0;
    EXPECT_EQ(bridge.Read(handle, &byte, 1, &count), UsbBridge::kDeviceIoFailed);
    EXPECT_EQ(bridge.Write(handle, &byte, 1, &count), UsbBridge::kDeviceIoFailed);
    UsbBridge::Handle other = UsbBridge::kNoHandle;
    EXPECT_EQ(bridge.OpenDevice(0, &other), UsbBridge::kDeviceNotFound);

    generator.replug();
    EXPECT_EQ(deviceCount(), 1U);
    EXPECT_EQ(bridge.Read(handle, &byte, 1, &count), UsbBridge::kDeviceIoFailed);
    EXPECT_EQ(bridge.CloseDevice(handle), UsbBridge::kSuccess);
    const UsbBridge::Handle fresh = open();
    send(fresh, {'P'});
    EXPECT_EQ(readAll(fresh), parameterFrame());
}

TEST_F(SimulatedBridgeTest, ReopeningThePortEndsTheBootloader) {
    const UsbBridge::Handle handle = open();
    send(handle, {'!'});
    send(handle, {'P'});
    EXPECT_TRUE(readAll(handle).empty());
    bridge.CloseDevice(handle);
    const UsbBridge::Handle again = open();
    send(again, {'x', 1});
    EXPECT_EQ(readAll(again), encodeFrame(Bytes{'x', 0x06}));
}

TEST_F(SimulatedBridgeTest, ScriptedResultsReplaceTheCallsEffect) {
    const UsbBridge::Handle handle = open();
    bridge.scriptResult(Role::kSetBaudRate, UsbBridge::kInvalidBaudRate);
    EXPECT_EQ(bridge.SetBaudRate(handle, 76800), UsbBridge::kInvalidBaudRate);
    EXPECT_FALSE(bridge.lineSettings(0).baudRate.has_value());
    EXPECT_EQ(bridge.SetBaudRate(handle, 76800), UsbBridge::kSuccess);
    EXPECT_EQ(bridge.callCount(Role::kSetBaudRate), 2);

    bridge.scriptResult(Role::kRead, UsbBridge::kReadTimedOut, 2);
    std::uint8_t byte = 0;
    std::uint32_t count = 99;
    EXPECT_EQ(bridge.Read(handle, &byte, 1, &count), UsbBridge::kReadTimedOut);
    EXPECT_EQ(count, 0U);
    EXPECT_EQ(bridge.Read(handle, &byte, 1, &count), UsbBridge::kReadTimedOut);
    EXPECT_EQ(bridge.Read(handle, &byte, 1, &count), UsbBridge::kSuccess);

    bridge.scriptResult(Role::kGetNumDevices, UsbBridge::kDeviceNotFound);
    std::uint32_t devices = 99;
    EXPECT_EQ(bridge.GetNumDevices(&devices), UsbBridge::kDeviceNotFound);
    EXPECT_EQ(devices, 99U);
}

TEST_F(SimulatedBridgeTest, PartialWriteFeedsOnlyTheAcceptedBytes) {
    const UsbBridge::Handle handle = open();
    const Bytes frame = encodeFrame(Bytes{'P'});
    bridge.scriptPartialWrite(3);
    std::uint32_t written = 0;
    EXPECT_EQ(
        bridge.Write(handle, frame.data(), static_cast<std::uint32_t>(frame.size()), &written),
        UsbBridge::kSuccess);
    EXPECT_EQ(written, 3U);
    EXPECT_TRUE(readAll(handle).empty());
    // The rest completes the frame: the first three bytes did reach the generator.
    EXPECT_EQ(bridge.Write(handle, frame.data() + 3, static_cast<std::uint32_t>(frame.size() - 3),
                           &written),
              UsbBridge::kSuccess);
    EXPECT_EQ(readAll(handle), parameterFrame());
}

TEST(SimulatedBridgeDevices, PresentsSeveralBridgesInAttachOrder) {
    SimulatedGenerator first;
    SimulatedGenerator second;
    SimulatedBridge bridge;
    bridge.attachForeign({"CP2102 USB to UART Bridge Controller", "10C4", "EA60"});
    bridge.attach(first);
    bridge.attach(second,
                  {"Tavero 2", std::string(kGeneratorVendorId), std::string(kGeneratorProductId)});

    std::uint32_t count = 0;
    ASSERT_EQ(bridge.GetNumDevices(&count), UsbBridge::kSuccess);
    EXPECT_EQ(count, 3U);
    UsbBridge::IdentityText text{};
    ASSERT_EQ(bridge.GetProductString(0, text, UsbBridge::kVendorId), UsbBridge::kSuccess);
    EXPECT_EQ(std::string(text.data()), "10C4");
    ASSERT_EQ(bridge.GetProductString(2, text, UsbBridge::kDescription), UsbBridge::kSuccess);
    EXPECT_EQ(std::string(text.data()), "Tavero 2");

    // The foreign device swallows what it is sent and never answers.
    UsbBridge::Handle foreign = UsbBridge::kNoHandle;
    ASSERT_EQ(bridge.OpenDevice(0, &foreign), UsbBridge::kSuccess);
    const Bytes frame = encodeFrame(Bytes{'P'});
    std::uint32_t moved = 0;
    EXPECT_EQ(bridge.Write(foreign, frame.data(), static_cast<std::uint32_t>(frame.size()), &moved),
              UsbBridge::kSuccess);
    std::uint8_t byte = 0;
    EXPECT_EQ(bridge.Read(foreign, &byte, 1, &moved), UsbBridge::kSuccess);
    EXPECT_EQ(moved, 0U);

    UsbBridge::Handle handle = UsbBridge::kNoHandle;
    ASSERT_EQ(bridge.OpenDevice(1, &handle), UsbBridge::kSuccess);
    bridge.Write(handle, frame.data(), static_cast<std::uint32_t>(frame.size()), &moved);
    EXPECT_EQ(first.receivedLetters(), "P");
    EXPECT_EQ(second.receivedLetters(), "");
    EXPECT_TRUE(bridge.isOpen(1));
    EXPECT_FALSE(bridge.isOpen(2));

    // An unplugged generator leaves no gap: the next one moves up an index.
    first.unplug();
    ASSERT_EQ(bridge.GetProductString(1, text, UsbBridge::kDescription), UsbBridge::kSuccess);
    EXPECT_EQ(std::string(text.data()), "Tavero 2");
}

}  // namespace
}  // namespace tavero::sim
