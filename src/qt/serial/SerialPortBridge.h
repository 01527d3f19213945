// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPortInfo>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "link/UsbBridge.h"

class QSerialPort;

namespace tavero::qt {

/// The USB bridge roles over the operating system's serial driver. Lists the USB serial ports
/// that report vendor and product ids, or presents one explicitly given device as the
/// generator. An open port holds an exclusive lock on its device, and what the device sends
/// while no read or write is under way is thrown away.
class SerialPortBridge final : public link::UsbBridge {
public:
    /// Lists the attached USB serial ports.
    SerialPortBridge();
    /// Presents `devicePath` (e.g. a pseudo-terminal) as the one bridge, with the generator's ids.
    explicit SerialPortBridge(const QString& devicePath);
    ~SerialPortBridge() override;

    SerialPortBridge(const SerialPortBridge&) = delete;
    SerialPortBridge& operator=(const SerialPortBridge&) = delete;

    /// The devices this bridge would look for the generator on, by their canonical paths: the
    /// explicit one, or else every USB serial port with the generator's ids.
    QStringList generatorDevicePaths() const;
    /// The canonical path of the device open; empty while none is.
    QString openDevicePath() const;

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
    struct Listed {
        QString portName;  ///< device name or path
        QString description;
        QString vendorId;   ///< four lower-case hex digits
        QString productId;  ///< four lower-case hex digits
    };

    QSerialPort* port(Handle handle) const;

    /// Counts a read or write under way for as long as it lives: what arrives meanwhile may
    /// be the reply.
    class CallUnderWay {
    public:
        explicit CallUnderWay(int& count) : count_(count) { ++count_; }
        ~CallUnderWay() { --count_; }
        CallUnderWay(const CallUnderWay&) = delete;
        CallUnderWay& operator=(const CallUnderWay&) = delete;

    private:
        int& count_;
    };

    std::optional<QString> explicitPath_;
    QList<Listed> listed_;
    std::map<Handle, std::unique_ptr<QSerialPort>> open_;
    std::map<Handle, QString> openPaths_;  ///< canonical
    Handle nextHandle_ = 1;
    int callsUnderWay_ = 0;
    std::uint32_t readTimeoutMs_ = 500;
    std::uint32_t writeTimeoutMs_ = 500;
};

}  // namespace tavero::qt
