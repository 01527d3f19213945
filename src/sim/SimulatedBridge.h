// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "link/UsbBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::sim {

/// The USB bridge library in-process, with simulated generators (and, for tests, other
/// devices) attached. Nothing blocks: a read delivers what has arrived and otherwise 0 bytes,
/// as a time-out would, so slow reply bytes never arrive within a read.
///
/// The attached generators must outlive the bridge.
class SimulatedBridge final : public link::UsbBridge {
public:
    /// The identity strings of one attached bridge.
    struct Identity {
        std::string description;  ///< kind 1
        std::string vendorId;     ///< kind 3, as four hex digits
        std::string productId;    ///< kind 4, as four hex digits
    };

    /// The library's roles, for counting calls and scripting results.
    enum class Role : std::uint8_t {
        kGetNumDevices,
        kGetProductString,
        kOpenDevice,
        kCloseDevice,
        kRead,
        kWrite,
        kFlushBuffers,
        kSetTimeouts,
        kGetTimeouts,
        kSetBaudRate,
        kSetLineControl,
        kSetFlowControl,
    };
    static constexpr std::size_t kRoleCount = 12;

    struct FlowControl {
        std::uint8_t ctsCode = 0;
        std::uint8_t rtsCode = 0;
        std::uint8_t dtrCode = 0;
        std::uint8_t dsrCode = 0;
        std::uint8_t dcdCode = 0;
        bool softwareFlow = false;

        friend bool operator==(const FlowControl&, const FlowControl&) = default;
    };

    /// What was set on one device since it was last opened; empty until set.
    struct LineSettings {
        std::optional<std::uint32_t> baudRate;
        std::optional<std::uint16_t> lineControl;
        std::optional<FlowControl> flowControl;
    };

    /// The generator's ids and the description "Tavero (simulated)".
    static Identity generatorIdentity();

    SimulatedBridge() = default;
    /// One bridge: this generator with its own ids.
    explicit SimulatedBridge(SimulatedGenerator& generator);

    /// Attaches a generator behind the next library index.
    void attach(SimulatedGenerator& generator, Identity identity = generatorIdentity());
    /// Attaches a device that takes every byte and never answers; with `endlessOutput` it
    /// talks without pause instead, every read filled with that text over and over (another
    /// adapter with the same ids carrying a GPS module or a board's log).
    void attachForeign(Identity identity, std::vector<std::uint8_t> endlessOutput = {});

    /// The settings of the device attached `device`-th (counting from 0).
    const LineSettings& lineSettings(std::size_t device) const;
    bool isOpen(std::size_t device) const;
    /// Calls of `role` so far, scripted ones included.
    int callCount(Role role) const;

    /// The next `times` calls of `role` return `result` and do nothing else (a read or write
    /// reports 0 bytes).
    void scriptResult(Role role, int result, int times = 1);
    /// The next `times` writes take only the first `acceptedBytes` bytes and report success.
    void scriptPartialWrite(std::uint32_t acceptedBytes, int times = 1);

    int GetNumDevices(std::uint32_t* count) override;
    int GetProductString(std::uint32_t index, IdentityText& text, int kind) override;
    int OpenDevice(std::uint32_t index, Handle* handle) override;
    int CloseDevice(Handle handle) override;
    int Read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
             std::uint32_t* countRead) override;
    int Write(Handle handle, const std::uint8_t* buffer, std::uint32_t count,
              std::uint32_t* countWritten) override;
    int FlushBuffers(Handle handle, bool flushTransmit, bool flushReceive) override;
    int SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override;
    int GetTimeouts(std::uint32_t* readTimeoutMs, std::uint32_t* writeTimeoutMs) override;
    int SetBaudRate(Handle handle, std::uint32_t baudRate) override;
    int SetLineControl(Handle handle, std::uint16_t lineControl) override;
    int SetFlowControl(Handle handle, std::uint8_t ctsCode, std::uint8_t rtsCode,
                       std::uint8_t dtrCode, std::uint8_t dsrCode, std::uint8_t dcdCode,
                       bool softwareFlow) override;

private:
    struct Device {
        Identity identity;
        SimulatedGenerator* generator = nullptr;  ///< null for a foreign device
        std::optional<Handle> handle;
        std::uint32_t plugInCountAtOpen = 0;
        std::deque<std::uint8_t> arrived;         ///< reply bytes a read can deliver
        std::vector<std::uint8_t> endlessOutput;  ///< a foreign device's text, repeated
        std::size_t endlessAt = 0;
        bool heldBack = false;  ///< slow bytes are under way: nothing more arrives until a flush
        LineSettings line;
    };

    struct Script {
        int result = kSuccess;
        std::optional<std::uint32_t> acceptedBytes;  ///< a partial write
        int remaining = 0;
    };

    /// Counts the call and hands out a scripted result for it, if one is due.
    std::optional<Script> call(Role role);
    static bool present(const Device& device);
    Device* presentDevice(std::uint32_t index);
    /// The device behind an open handle and the result for I/O on it.
    int ioDevice(Handle handle, Device*& device);
    static void collectReplies(Device& device);

    std::vector<Device> devices_;
    std::array<int, kRoleCount> calls_{};
    std::array<std::optional<Script>, kRoleCount> scripts_{};
    Handle nextHandle_ = 1;
    std::uint32_t readTimeoutMs_ = 0;
    std::uint32_t writeTimeoutMs_ = 0;
};

}  // namespace tavero::sim
