// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComCP2102.h"

#include <cstring>

namespace tavero::link {

namespace {

bool isReadSuccess(int result) {
    return result == UsbBridge::kSuccess || result == UsbBridge::kRxQueueNotReady ||
           result == UsbBridge::kReadTimedOut;
}

std::string_view terminated(const UsbBridge::IdentityText& text) {
    return {text.data(), ::strnlen(text.data(), text.size())};
}

}  // namespace

ComCP2102::~ComCP2102() {
    if (IsOpen()) {
        bridge_.CloseDevice(handle_);
    }
}

bool ComCP2102::Setup(std::int32_t /*value*/) {
    return true;
}

bool ComCP2102::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* countRead) {
    if (!IsOpen()) {
        return false;
    }
    std::uint32_t read = 0;
    if (!isReadSuccess(watch(bridge_.Read(handle_, buffer, count, &read)))) {
        return false;
    }
    if (countRead != nullptr) {
        *countRead = read;
    }
    return true;
}

bool ComCP2102::Write(const std::uint8_t* buffer, std::uint32_t count) {
    if (!IsOpen()) {
        return false;
    }
    std::uint32_t written = 0;
    return watch(bridge_.Write(handle_, buffer, count, &written)) == UsbBridge::kSuccess &&
           written == count;
}

int ComCP2102::watch(int result) {
    deviceLost_ = deviceLost_ || result == UsbBridge::kDeviceIoFailed;
    return result;
}

bool ComCP2102::Close() {
    if (!IsOpen()) {
        return false;
    }
    bridge_.CloseDevice(handle_);
    handle_ = UsbBridge::kNoHandle;
    return true;
}

bool ComCP2102::Flush() {
    return IsOpen() && watch(bridge_.FlushBuffers(handle_, true, true)) == UsbBridge::kSuccess;
}

bool ComCP2102::SetTimeout(std::uint32_t timeoutMs) {
    return bridge_.SetTimeouts(timeoutMs, timeoutMs) == UsbBridge::kSuccess;
}

bool ComCP2102::GetTimeout(std::uint32_t* timeoutMs) {
    std::uint32_t readMs = 0;
    std::uint32_t writeMs = 0;
    if (bridge_.GetTimeouts(&readMs, &writeMs) != UsbBridge::kSuccess) {
        return false;
    }
    *timeoutMs = readMs;
    return true;
}

bool ComCP2102::identity(std::uint32_t index, int kind, UsbBridge::IdentityText& text) {
    text.fill('\0');
    return bridge_.GetProductString(index, text, kind) == UsbBridge::kSuccess;
}

bool ComCP2102::Open(std::string_view name, std::uint32_t baudRate, std::uint32_t timeoutMs) {
    return openFirstMatching(
        [&](std::uint32_t index, bool& matches) {
            UsbBridge::IdentityText description{};
            if (!identity(index, UsbBridge::kDescription, description)) {
                return false;
            }
            matches = terminated(description) == name;
            return true;
        },
        baudRate, timeoutMs);
}

bool ComCP2102::OpenById(std::string_view vendorId, std::string_view productId,
                         std::uint32_t baudRate, std::uint32_t timeoutMs) {
    return openFirstMatching(
        [&](std::uint32_t index, bool& matches) {
            UsbBridge::IdentityText vendor{};
            UsbBridge::IdentityText product{};
            if (!identity(index, UsbBridge::kVendorId, vendor) ||
                !identity(index, UsbBridge::kProductId, product)) {
                return false;
            }
            matches = terminated(vendor) == vendorId && terminated(product) == productId;
            return true;
        },
        baudRate, timeoutMs);
}

bool ComCP2102::openFirstMatching(const Matcher& matcher, std::uint32_t baudRate,
                                  std::uint32_t timeoutMs) {
    if (IsOpen()) {
        return false;
    }
    std::uint32_t bridges = 0;
    if (bridge_.GetNumDevices(&bridges) == UsbBridge::kSuccess) {
        for (std::uint32_t index = 0; index < bridges; ++index) {
            bool matches = false;
            if (!matcher(index, matches)) {
                return false;
            }
            if (matches) {
                if (bridge_.OpenDevice(index, &handle_) != UsbBridge::kSuccess) {
                    handle_ = UsbBridge::kNoHandle;
                }
                break;
            }
        }
    }
    if (!IsOpen()) {
        return false;
    }
    deviceLost_ = false;

    line_.baudRate = baudRate;
    const auto lineControl =
        static_cast<std::uint16_t>(line_.stopBits + 16 * line_.parity + 256 * line_.byteSize);
    const bool setUp = bridge_.SetBaudRate(handle_, baudRate) == UsbBridge::kSuccess &&
                       bridge_.SetLineControl(handle_, lineControl) == UsbBridge::kSuccess &&
                       bridge_.SetFlowControl(handle_, 0, line_.rtsControl, line_.dtrControl, 0, 0,
                                              false) == UsbBridge::kSuccess &&
                       SetTimeout(timeoutMs);
    if (!setUp) {
        bridge_.CloseDevice(handle_);
        handle_ = UsbBridge::kNoHandle;
        return false;
    }
    return true;
}

}  // namespace tavero::link
