// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/serial/SerialPortBridge.h"

#include <sys/file.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/BuildConfig.h"

namespace tavero::qt {

namespace {

QString hexId(quint16 id) {
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// A device by the path that every other name of it (a symlink, /dev/serial/by-id/...)
/// resolves to; the path itself when it does not exist.
QString canonicalPath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

// Line-control codes of the bridge library.
std::optional<QSerialPort::DataBits> dataBits(int code) {
    switch (code) {
        case 5:
            return QSerialPort::Data5;
        case 6:
            return QSerialPort::Data6;
        case 7:
            return QSerialPort::Data7;
        case 8:
            return QSerialPort::Data8;
        default:
            return std::nullopt;
    }
}

std::optional<QSerialPort::Parity> parity(int code) {
    constexpr QSerialPort::Parity kParities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                 QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                 QSerialPort::SpaceParity};
    return code < 5 ? std::optional(kParities[code]) : std::nullopt;
}

std::optional<QSerialPort::StopBits> stopBits(int code) {
    constexpr QSerialPort::StopBits kStopBits[] = {
        QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};
    return code < 3 ? std::optional(kStopBits[code]) : std::nullopt;
}

// Handshake codes above 1 hand the line to the hardware; 0 and 1 are static levels.
constexpr std::uint8_t kHandshake = 2;
constexpr std::uint8_t kLineActive = 1;

// A device that vanished (unplugged) fails reads and writes with a read or resource error
// (a pseudo-terminal whose far end closed: a read error); the caller must learn that it is
// gone rather than wait for replies that can not come.
int ioFailure(const QSerialPort& serial, int otherwise) {
    constexpr QSerialPort::SerialPortError kGone[] = {
        QSerialPort::ResourceError, QSerialPort::ReadError, QSerialPort::WriteError};
    return std::find(std::begin(kGone), std::end(kGone), serial.error()) != std::end(kGone)
               ? link::UsbBridge::kDeviceIoFailed
               : otherwise;
}

}  // namespace

SerialPortBridge::SerialPortBridge() = default;

SerialPortBridge::SerialPortBridge(const QString& devicePath) : explicitPath_(devicePath) {}

SerialPortBridge::~SerialPortBridge() = default;

QSerialPort* SerialPortBridge::port(Handle handle) const {
    const auto it = open_.find(handle);
    return it == open_.end() ? nullptr : it->second.get();
}

int SerialPortBridge::GetNumDevices(std::uint32_t* count) {
    listed_.clear();
    if (explicitPath_) {
        listed_.append({*explicitPath_, *explicitPath_, toQString(kGeneratorVendorId),
                        toQString(kGeneratorProductId)});
    } else {
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
                listed_.append({info.systemLocation(), info.description(),
                                hexId(info.vendorIdentifier()), hexId(info.productIdentifier())});
            }
        }
    }
    *count = static_cast<std::uint32_t>(listed_.size());
    return kSuccess;
}

int SerialPortBridge::GetProductString(std::uint32_t index, IdentityText& text, int kind) {
    if (index >= static_cast<std::uint32_t>(listed_.size())) {
        return kDeviceNotFound;
    }
    const Listed& entry = listed_[static_cast<qsizetype>(index)];
    QString value;
    switch (kind) {
        case kDescription:
            value = entry.description;
            break;
        case kVendorId:
            value = entry.vendorId;
            break;
        case kProductId:
            value = entry.productId;
            break;
        default:
            return kInvalidParameter;
    }
    const QByteArray bytes = value.toUtf8().left(static_cast<qsizetype>(text.size() - 1));
    std::memcpy(text.data(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
    text[static_cast<std::size_t>(bytes.size())] = '\0';
    return kSuccess;
}

int SerialPortBridge::OpenDevice(std::uint32_t index, Handle* handle) {
    if (index >= static_cast<std::uint32_t>(listed_.size())) {
        return kDeviceNotFound;
    }
    auto serial = std::make_unique<QSerialPort>(listed_[static_cast<qsizetype>(index)].portName);
    if (!serial->open(QIODevice::ReadWrite)) {
        return kDeviceNotFound;
    }
    // Qt's lock goes by the name and its exclusive mode does not hold for root: a second path
    // to the same device (a symlink, /dev/serial/by-id/...) would get past both. A lock on the
    // open device itself is the device's whatever its name; closing the port releases it.
    if (::flock(static_cast<int>(serial->handle()), LOCK_EX | LOCK_NB) != 0) {
        return kDeviceNotFound;
    }
    // The reply of an exchange is read while a call waits for it; what the device sends at any
    // other time (an adapter of the same ids printing its log) reaches the event loop, and is
    // thrown away there instead of piling up.
    QObject::connect(serial.get(), &QIODevice::readyRead, serial.get(), [this, raw = serial.get()] {
        if (callsUnderWay_ == 0) {
            raw->skip(raw->bytesAvailable());
        }
    });
    *handle = nextHandle_++;
    open_.emplace(*handle, std::move(serial));
    openPaths_.emplace(*handle, canonicalPath(listed_[static_cast<qsizetype>(index)].portName));
    return kSuccess;
}

int SerialPortBridge::CloseDevice(Handle handle) {
    openPaths_.erase(handle);
    return open_.erase(handle) != 0 ? kSuccess : kInvalidHandle;
}

QStringList SerialPortBridge::generatorDevicePaths() const {
    if (explicitPath_) {
        return {canonicalPath(*explicitPath_)};
    }
    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.hasVendorIdentifier() && info.hasProductIdentifier() &&
            hexId(info.vendorIdentifier()) == toQString(kGeneratorVendorId) &&
            hexId(info.productIdentifier()) == toQString(kGeneratorProductId)) {
            paths.append(canonicalPath(info.systemLocation()));
        }
    }
    return paths;
}

QString SerialPortBridge::openDevicePath() const {
    return openPaths_.empty() ? QString() : openPaths_.rbegin()->second;
}

int SerialPortBridge::Read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                           std::uint32_t* countRead) {
    QSerialPort* serial = port(handle);
    if (serial == nullptr) {
        return kInvalidHandle;
    }
    const CallUnderWay call(callsUnderWay_);
    *countRead = 0;
    // The time-out bounds the wait for the first byte; the bytes of a reply follow each other
    // closely, and the frame codec reads one at a time anyway.
    if (serial->bytesAvailable() == 0 &&
        !serial->waitForReadyRead(static_cast<int>(readTimeoutMs_))) {
        return serial->error() == QSerialPort::TimeoutError ||
                       serial->error() == QSerialPort::NoError
                   ? kReadTimedOut
                   : ioFailure(*serial, kReadError);
    }
    const qint64 got = serial->read(reinterpret_cast<char*>(buffer), count);
    if (got < 0) {
        return ioFailure(*serial, kReadError);
    }
    *countRead = static_cast<std::uint32_t>(got);
    return kSuccess;
}

int SerialPortBridge::Write(Handle handle, const std::uint8_t* buffer, std::uint32_t count,
                            std::uint32_t* countWritten) {
    QSerialPort* serial = port(handle);
    if (serial == nullptr) {
        return kInvalidHandle;
    }
    const CallUnderWay call(callsUnderWay_);
    *countWritten = 0;
    const qint64 queued = serial->write(reinterpret_cast<const char*>(buffer), count);
    if (queued < 0) {
        return ioFailure(*serial, kWriteError);
    }
    // The driver almost always takes the bytes at once; only a full transmit queue is waited
    // for, so a frame's bytes follow each other without a wake-up of their own.
    serial->flush();
    const QDeadlineTimer deadline(static_cast<qint64>(writeTimeoutMs_));
    while (serial->bytesToWrite() > 0) {
        if (!serial->waitForBytesWritten(
                static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) {
            break;
        }
    }
    const qint64 pending = serial->bytesToWrite();
    *countWritten = static_cast<std::uint32_t>(queued - pending);
    return pending == 0 && queued == count ? kSuccess : ioFailure(*serial, kWriteTimedOut);
}

int SerialPortBridge::FlushBuffers(Handle handle, bool flushTransmit, bool flushReceive) {
    QSerialPort* serial = port(handle);
    if (serial == nullptr) {
        return kInvalidHandle;
    }
    QSerialPort::Directions directions;
    if (flushTransmit) {
        directions |= QSerialPort::Output;
    }
    if (flushReceive) {
        directions |= QSerialPort::Input;
    }
    return serial->clear(directions) ? kSuccess : kDeviceIoFailed;
}

int SerialPortBridge::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) {
    readTimeoutMs_ = readTimeoutMs;
    writeTimeoutMs_ = writeTimeoutMs;
    return kSuccess;
}

int SerialPortBridge::GetTimeouts(std::uint32_t* readTimeoutMs, std::uint32_t* writeTimeoutMs) {
    *readTimeoutMs = readTimeoutMs_;
    *writeTimeoutMs = writeTimeoutMs_;
    return kSuccess;
}

int SerialPortBridge::SetBaudRate(Handle handle, std::uint32_t baudRate) {
    QSerialPort* serial = port(handle);
    if (serial == nullptr) {
        return kInvalidHandle;
    }
    return serial->setBaudRate(static_cast<qint32>(baudRate)) ? kSuccess : kInvalidBaudRate;
}

int SerialPortBridge::SetLineControl(Handle handle, std::uint16_t lineControl) {
    QSerialPort* serial = port(handle);
    if (serial == nullptr) {
        return kInvalidHandle;
    }
    const auto bits = dataBits(lineControl >> 8);
    const auto par = parity((lineControl >> 4) & 0x0F);
    const auto stop = stopBits(lineControl & 0x0F);
    if (!bits || !par || !stop) {
        return kInvalidParameter;
    }
    return serial->setDataBits(*bits) && serial->setParity(*par) && serial->setStopBits(*stop)
               ? kSuccess
               : kDeviceIoFailed;
}

int SerialPortBridge::SetFlowControl(Handle handle, std::uint8_t ctsCode, std::uint8_t rtsCode,
                                     std::uint8_t dtrCode, std::uint8_t dsrCode,
                                     std::uint8_t dcdCode, bool softwareFlow) {
    QSerialPort* serial = port(handle);
    if (serial == nullptr) {
        return kInvalidHandle;
    }
    const bool hardware = ctsCode >= kHandshake || rtsCode >= kHandshake || dtrCode >= kHandshake ||
                          dsrCode >= kHandshake || dcdCode >= kHandshake;
    const QSerialPort::FlowControl flow = hardware       ? QSerialPort::HardwareControl
                                          : softwareFlow ? QSerialPort::SoftwareControl
                                                         : QSerialPort::NoFlowControl;
    if (!serial->setFlowControl(flow)) {
        return kDeviceIoFailed;
    }
    // Linux raises both lines on open; the generator sees them as the codes ask. A device
    // without modem lines (a pseudo-terminal) refuses the request, and has nothing to hold.
    if (rtsCode < kHandshake && !hardware) {
        serial->setRequestToSend(rtsCode == kLineActive);
    }
    if (dtrCode < kHandshake) {
        serial->setDataTerminalReady(dtrCode == kLineActive);
    }
    serial->clearError();
    return kSuccess;
}

}  // namespace tavero::qt
