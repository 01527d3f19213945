// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "link/Com.h"
#include "link/UsbBridge.h"

namespace tavero::link {

/// The port over the USB bridge library: finds the generator among the attached bridges by its
/// USB ids and runs the line at the given rate, 8N1, without handshake.
class ComCP2102 final : public Com {
public:
    /// The serial line settings that are used of the platform's line-settings record.
    struct LineSettings {
        std::uint32_t baudRate = 0;  ///< in bit/s, set by the last open
        std::uint8_t dtrControl = 0;
        std::uint8_t rtsControl = 0;
        std::uint8_t byteSize = 8;
        std::uint8_t parity = 0;    ///< 0 = none
        std::uint8_t stopBits = 0;  ///< 0 = one stop bit
    };

    /// @param bridge the library; not owned, must outlive the port
    explicit ComCP2102(UsbBridge& bridge) : bridge_(bridge) {}
    ~ComCP2102() override;

    ComCP2102(const ComCP2102&) = delete;
    ComCP2102& operator=(const ComCP2102&) = delete;

    bool Setup(std::int32_t value) override;
    bool Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* countRead) override;
    bool Write(const std::uint8_t* buffer, std::uint32_t count) override;
    bool Close() override;
    bool Flush() override;
    bool SetTimeout(std::uint32_t timeoutMs) override;
    bool GetTimeout(std::uint32_t* timeoutMs) override;
    bool Open(std::string_view name, std::uint32_t baudRate, std::uint32_t timeoutMs) override;
    bool IsOpen() const override { return handle_ != UsbBridge::kNoHandle; }

    /// Whether a read, write or flush since the last open found the device gone (unplugged): the
    /// port stays open until closed, but nothing will reach the generator through it.
    bool deviceLost() const { return deviceLost_; }

    /// Opens the first bridge whose vendor and product id texts equal the given ones exactly.
    /// @param vendorId, productId four lower-case hex digits
    /// @param baudRate in bit/s
    /// @param timeoutMs read and write time-out, in ms
    bool OpenById(std::string_view vendorId, std::string_view productId, std::uint32_t baudRate,
                  std::uint32_t timeoutMs);

    const LineSettings& lineSettings() const { return line_; }

private:
    /// Decides from the bridge at `index` whether it is the one; false from the query means the
    /// search gives up.
    using Matcher = std::function<bool(std::uint32_t index, bool& matches)>;

    bool openFirstMatching(const Matcher& matcher, std::uint32_t baudRate, std::uint32_t timeoutMs);
    bool identity(std::uint32_t index, int kind, UsbBridge::IdentityText& text);

    UsbBridge& bridge_;
    /// Notes a library result that says the device is gone.
    int watch(int result);

    UsbBridge::Handle handle_ = UsbBridge::kNoHandle;
    LineSettings line_;
    bool deviceLost_ = false;
};

}  // namespace tavero::link
