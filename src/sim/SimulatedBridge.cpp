// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimulatedBridge.h"

#include <algorithm>
#include <utility>

#include "core/BuildConfig.h"

namespace tavero::sim {

namespace {

std::size_t roleIndex(SimulatedBridge::Role role) {
    return static_cast<std::size_t>(role);
}

}  // namespace

SimulatedBridge::Identity SimulatedBridge::generatorIdentity() {
    return {"Tavero (simulated)", std::string(kGeneratorVendorId),
            std::string(kGeneratorProductId)};
}

SimulatedBridge::SimulatedBridge(SimulatedGenerator& generator) {
    attach(generator);
}

void SimulatedBridge::attach(SimulatedGenerator& generator, Identity identity) {
    Device& device = devices_.emplace_back();
    device.identity = std::move(identity);
    device.generator = &generator;
}

void SimulatedBridge::attachForeign(Identity identity, std::vector<std::uint8_t> endlessOutput) {
    Device& device = devices_.emplace_back();
    device.identity = std::move(identity);
    device.endlessOutput = std::move(endlessOutput);
}

const SimulatedBridge::LineSettings& SimulatedBridge::lineSettings(std::size_t device) const {
    return devices_.at(device).line;
}

bool SimulatedBridge::isOpen(std::size_t device) const {
    return devices_.at(device).handle.has_value();
}

int SimulatedBridge::callCount(Role role) const {
    return calls_[roleIndex(role)];
}

void SimulatedBridge::scriptResult(Role role, int result, int times) {
    scripts_[roleIndex(role)] = Script{result, std::nullopt, times};
}

void SimulatedBridge::scriptPartialWrite(std::uint32_t acceptedBytes, int times) {
    scripts_[roleIndex(Role::kWrite)] = Script{kSuccess, acceptedBytes, times};
}

std::optional<SimulatedBridge::Script> SimulatedBridge::call(Role role) {
    ++calls_[roleIndex(role)];
    std::optional<Script>& script = scripts_[roleIndex(role)];
    if (!script || script->remaining <= 0) {
        script.reset();
        return std::nullopt;
    }
    Script due = *script;
    if (--script->remaining == 0) {
        script.reset();
    }
    return due;
}

bool SimulatedBridge::present(const Device& device) {
    return device.generator == nullptr || device.generator->pluggedIn();
}

SimulatedBridge::Device* SimulatedBridge::presentDevice(std::uint32_t index) {
    for (Device& device : devices_) {
        if (present(device) && index-- == 0) {
            return &device;
        }
    }
    return nullptr;
}

int SimulatedBridge::ioDevice(Handle handle, Device*& device) {
    const auto it = std::find_if(devices_.begin(), devices_.end(),
                                 [handle](const Device& d) { return d.handle == handle; });
    if (it == devices_.end()) {
        return kInvalidHandle;
    }
    device = &*it;
    // A handle opened before the generator was unplugged stays dead after a replug.
    const bool stale =
        it->generator != nullptr &&
        (!it->generator->pluggedIn() || it->generator->plugInCount() != it->plugInCountAtOpen);
    return stale ? kDeviceIoFailed : kSuccess;
}

void SimulatedBridge::collectReplies(Device& device) {
    if (device.generator == nullptr) {
        return;
    }
    for (Transmission& transmission : device.generator->takeTransmissions()) {
        device.heldBack = device.heldBack || transmission.slow;
        if (!device.heldBack) {
            device.arrived.insert(device.arrived.end(), transmission.bytes.begin(),
                                  transmission.bytes.end());
        }
    }
}

int SimulatedBridge::GetNumDevices(std::uint32_t* count) {
    if (const auto script = call(Role::kGetNumDevices)) {
        return script->result;
    }
    if (count == nullptr) {
        return kInvalidParameter;
    }
    *count = static_cast<std::uint32_t>(std::count_if(devices_.begin(), devices_.end(), present));
    return kSuccess;
}

int SimulatedBridge::GetProductString(std::uint32_t index, IdentityText& text, int kind) {
    if (const auto script = call(Role::kGetProductString)) {
        return script->result;
    }
    const Device* device = presentDevice(index);
    if (device == nullptr) {
        return kDeviceNotFound;
    }
    const std::string* value = nullptr;
    switch (kind) {
        case kDescription:
            value = &device->identity.description;
            break;
        case kVendorId:
            value = &device->identity.vendorId;
            break;
        case kProductId:
            value = &device->identity.productId;
            break;
        default:
            return kInvalidParameter;
    }
    const std::size_t length = std::min(value->size(), text.size() - 1);
    std::copy_n(value->begin(), length, text.begin());
    text[length] = '\0';
    return kSuccess;
}

int SimulatedBridge::OpenDevice(std::uint32_t index, Handle* handle) {
    if (const auto script = call(Role::kOpenDevice)) {
        return script->result;
    }
    if (handle == nullptr) {
        return kInvalidParameter;
    }
    Device* device = presentDevice(index);
    if (device == nullptr) {
        return kDeviceNotFound;
    }
    if (device->handle) {
        return kDeviceIoFailed;
    }
    device->handle = nextHandle_++;
    device->arrived.clear();
    device->heldBack = false;
    device->line = {};
    if (device->generator != nullptr) {
        device->plugInCountAtOpen = device->generator->plugInCount();
        device->generator->portOpened();
    }
    *handle = *device->handle;
    return kSuccess;
}

int SimulatedBridge::CloseDevice(Handle handle) {
    if (const auto script = call(Role::kCloseDevice)) {
        return script->result;
    }
    Device* device = nullptr;
    if (ioDevice(handle, device) == kInvalidHandle) {
        return kInvalidHandle;
    }
    device->handle.reset();
    device->arrived.clear();
    device->heldBack = false;
    return kSuccess;
}

int SimulatedBridge::Read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                          std::uint32_t* countRead) {
    if (const auto script = call(Role::kRead)) {
        if (countRead != nullptr) {
            *countRead = 0;
        }
        return script->result;
    }
    if (countRead == nullptr || (buffer == nullptr && count != 0)) {
        return kInvalidParameter;
    }
    Device* device = nullptr;
    if (const int result = ioDevice(handle, device); result != kSuccess) {
        return result;
    }
    collectReplies(*device);
    if (!device->endlessOutput.empty()) {
        for (std::uint32_t i = 0; i < count; ++i) {
            buffer[i] = device->endlessOutput[device->endlessAt++ % device->endlessOutput.size()];
        }
        *countRead = count;
        return kSuccess;
    }
    const auto delivered =
        static_cast<std::uint32_t>(std::min<std::size_t>(count, device->arrived.size()));
    std::copy_n(device->arrived.begin(), delivered, buffer);
    device->arrived.erase(device->arrived.begin(), device->arrived.begin() + delivered);
    *countRead = delivered;
    return kSuccess;
}

int SimulatedBridge::Write(Handle handle, const std::uint8_t* buffer, std::uint32_t count,
                           std::uint32_t* countWritten) {
    std::uint32_t accepted = count;
    if (const auto script = call(Role::kWrite)) {
        if (!script->acceptedBytes) {
            if (countWritten != nullptr) {
                *countWritten = 0;
            }
            return script->result;
        }
        accepted = std::min(count, *script->acceptedBytes);
    }
    if (countWritten == nullptr || (buffer == nullptr && count != 0)) {
        return kInvalidParameter;
    }
    Device* device = nullptr;
    if (const int result = ioDevice(handle, device); result != kSuccess) {
        return result;
    }
    if (device->generator != nullptr) {
        device->generator->receive({buffer, accepted});
    }
    *countWritten = accepted;
    return kSuccess;
}

int SimulatedBridge::FlushBuffers(Handle handle, bool /*flushTransmit*/, bool flushReceive) {
    if (const auto script = call(Role::kFlushBuffers)) {
        return script->result;
    }
    Device* device = nullptr;
    if (const int result = ioDevice(handle, device); result != kSuccess) {
        return result;
    }
    // Written bytes reach the generator at once, so only the receive side can hold anything.
    if (flushReceive) {
        collectReplies(*device);
        device->arrived.clear();
        device->heldBack = false;
    }
    return kSuccess;
}

int SimulatedBridge::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) {
    if (const auto script = call(Role::kSetTimeouts)) {
        return script->result;
    }
    readTimeoutMs_ = readTimeoutMs;
    writeTimeoutMs_ = writeTimeoutMs;
    return kSuccess;
}

int SimulatedBridge::GetTimeouts(std::uint32_t* readTimeoutMs, std::uint32_t* writeTimeoutMs) {
    if (const auto script = call(Role::kGetTimeouts)) {
        return script->result;
    }
    if (readTimeoutMs == nullptr || writeTimeoutMs == nullptr) {
        return kInvalidParameter;
    }
    *readTimeoutMs = readTimeoutMs_;
    *writeTimeoutMs = writeTimeoutMs_;
    return kSuccess;
}

int SimulatedBridge::SetBaudRate(Handle handle, std::uint32_t baudRate) {
    if (const auto script = call(Role::kSetBaudRate)) {
        return script->result;
    }
    Device* device = nullptr;
    if (const int result = ioDevice(handle, device); result != kSuccess) {
        return result;
    }
    device->line.baudRate = baudRate;
    return kSuccess;
}

int SimulatedBridge::SetLineControl(Handle handle, std::uint16_t lineControl) {
    if (const auto script = call(Role::kSetLineControl)) {
        return script->result;
    }
    Device* device = nullptr;
    if (const int result = ioDevice(handle, device); result != kSuccess) {
        return result;
    }
    device->line.lineControl = lineControl;
    return kSuccess;
}

int SimulatedBridge::SetFlowControl(Handle handle, std::uint8_t ctsCode, std::uint8_t rtsCode,
                                    std::uint8_t dtrCode, std::uint8_t dsrCode,
                                    std::uint8_t dcdCode, bool softwareFlow) {
    if (const auto script = call(Role::kSetFlowControl)) {
        return script->result;
    }
    Device* device = nullptr;
    if (const int result = ioDevice(handle, device); result != kSuccess) {
        return result;
    }
    device->line.flowControl =
        FlowControl{ctsCode, rtsCode, dtrCode, dsrCode, dcdCode, softwareFlow};
    return kSuccess;
}

}  // namespace tavero::sim
