// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PacketLink.h"

#include <array>
#include <cstdio>
#include <utility>

#include "link/Com.h"
#include "link/Connection.h"

namespace tavero::link {

namespace {

constexpr std::uint8_t kStart = 0x02;
constexpr std::uint8_t kEscape = 0x10;
constexpr std::uint8_t kEscapeBit = 0x80;

/// Line bits per byte: a start and a stop bit around eight data bits.
constexpr std::uint32_t kBitsPerByte = 10;

/// The longest frame a buffer of `size` bytes can take: the start byte and every other byte
/// escaped.
constexpr std::uint64_t longestFrameBytes(std::uint32_t size) {
    return 1 + 2 * static_cast<std::uint64_t>(size);
}

std::chrono::microseconds wireTime(std::uint64_t bytes) {
    return std::chrono::microseconds(bytes * kBitsPerByte * 1'000'000 / kGeneratorBaudRate);
}

// One fixed-format line for the diagnostic stream.
template <typename... Args>
void printf_to(std::ostream& out, const char* format, Args... args) {
    std::array<char, 64> line{};
    const int n = std::snprintf(line.data(), line.size(), format, args...);
    if (n > 0) {
        out.write(line.data(), std::min<std::streamsize>(n, line.size() - 1));
    }
}

}  // namespace

PacketLink::PacketLink(TraceFile& trace, std::ostream& diagnostics, Clock clock)
    : trace_(trace), diagnostics_(diagnostics), clock_(std::move(clock)) {}

std::string_view PacketLink::statusText(std::uint8_t status) {
    static constexpr std::array<std::string_view, 8> kTexts = {
        "Kein Fehler.",
        "SetCom wurde nicht aufgerufen.",
        "Verbindung nicht hergestellt.",
        "Keine Daten empfangen.",
        "Datenlänge zu groß.",
        "Datenpuffer zu klein.",
        "Checksumme falsch.",
        "Fehler bei der Übertragung.",
    };
    return status < kTexts.size() ? kTexts[status] : "Unbekannter Fehler";
}

bool PacketLink::portReady() {
    if (port_ == nullptr) {
        status_ = kNoCom;
        return false;
    }
    if (!port_->IsOpen()) {
        status_ = kNotConnected;
        return false;
    }
    return true;
}

void PacketLink::putByte(std::uint8_t byte) {
    frame_.push_back(byte);
    crc_.update(byte);
}

void PacketLink::putStuffed(std::uint8_t byte) {
    if (byte == kEscape || byte == kStart) {
        putByte(kEscape);
        byte |= kEscapeBit;
    }
    putByte(byte);
}

bool PacketLink::Send(const std::uint8_t* data, std::uint32_t length, std::uint32_t timeoutMs) {
    status_ = kTransferError;
    if (!portReady()) {
        return false;
    }
    std::uint32_t keptTimeoutMs = 0;
    if (timeoutMs != 0) {
        if (!port_->GetTimeout(&keptTimeoutMs) || !port_->SetTimeout(timeoutMs)) {
            return false;
        }
    }

    frame_.clear();
    crc_.reset();
    putByte(kStart);
    putStuffed(address_);
    putStuffed(static_cast<std::uint8_t>(length & 0xFF));
    putStuffed(static_cast<std::uint8_t>((length >> 8) & 0xFF));
    for (std::uint32_t i = 0; i < (length & 0xFFFF); ++i) {
        putStuffed(data[i]);
    }
    const std::uint16_t crc = crc_.finish();
    putStuffed(static_cast<std::uint8_t>(crc & 0xFF));
    putStuffed(static_cast<std::uint8_t>(crc >> 8));
    // The whole frame is traced before any of it goes to the port, and goes in one write: a
    // byte a write lets the frame's bytes straggle when the machine is busy, each a transfer
    // of its own on a USB bridge.
    trace_.append(frame_);
    const bool written = port_->Write(frame_.data(), static_cast<std::uint32_t>(frame_.size()));

    // The kept time-out is put back after a failed write as well, so a failure never leaves
    // the port with another caller's time-out.
    if (timeoutMs != 0 && !port_->SetTimeout(keptTimeoutMs)) {
        return false;
    }
    if (!written) {
        return false;
    }
    status_ = kOk;
    return true;
}

bool PacketLink::boundNextRead(std::chrono::steady_clock::time_point deadline,
                               std::uint32_t timeoutMs, bool& shortened) {
    const auto remaining = deadline - clock_();
    if (remaining <= std::chrono::steady_clock::duration::zero()) {
        return false;
    }
    const auto remainingMs = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
    if (std::cmp_less(remainingMs, timeoutMs)) {
        port_->SetTimeout(static_cast<std::uint32_t>(remainingMs));
        shortened = true;
    }
    return true;
}

bool PacketLink::Receive(std::uint8_t* buffer, std::uint32_t size, std::uint32_t* count,
                         std::uint32_t timeoutMs) {
    status_ = kOk;
    if (!portReady()) {
        return false;
    }
    std::uint32_t keptTimeoutMs = 0;
    port_->GetTimeout(&keptTimeoutMs);
    if (timeoutMs != 0) {
        port_->SetTimeout(timeoutMs);
    }
    const std::uint32_t readTimeoutMs = timeoutMs != 0 ? timeoutMs : keptTimeoutMs;
    const std::uint64_t longestFrame = longestFrameBytes(size);
    const auto deadline =
        clock_() + std::chrono::milliseconds(readTimeoutMs) + wireTime(longestFrame);
    bool shortened = false;

    std::uint32_t stored = 0;
    bool started = false;
    bool escape = false;
    bool done = false;
    std::uint32_t declaredLength = 0;
    std::uint16_t expectedCrc = 0;
    bool crcComputed = false;
    std::uint32_t got = 0;
    std::uint64_t skipped = 0;
    std::uint8_t byte = 0;

    const auto readByte = [&] {
        if (!boundNextRead(deadline, readTimeoutMs, shortened)) {
            status_ = kNoData;
            return false;
        }
        return port_->Read(&byte, 1, &got);
    };

    crc_.reset();
    bool ok = readByte();
    while (ok && got != 0 && !done) {
        if (byte == kStart && !started) {
            started = true;
            *count = 0;
            stored = 0;
            crcComputed = false;
            crc_.reset();
            crc_.update(kStart);
        } else if (started) {
            if (escape) {
                buffer[stored++] = byte & 0x7F;
                ++*count;
                escape = false;
            } else if (byte == kEscape) {
                escape = true;
            } else {
                buffer[stored++] = byte;
                ++*count;
            }
            crc_.update(byte);

            if (stored == 3) {
                declaredLength = buffer[1] + 256U * buffer[2];
            } else if (stored == declaredLength + 3 && stored > 3 && !crcComputed) {
                expectedCrc = crc_.finish();
                crcComputed = true;
            } else if (stored >= declaredLength + 5 && stored > 3 && crcComputed) {
                const std::uint8_t low = buffer[declaredLength + 3];
                const std::uint8_t high = buffer[declaredLength + 4];
                if (expectedCrc == low + 256U * high) {
                    printf_to(diagnostics_, "Empfangen %d\n", static_cast<int>(declaredLength));
                    for (std::uint32_t i = 3; i < declaredLength + 3; ++i) {
                        printf_to(diagnostics_, "0x%02x ", static_cast<unsigned>(buffer[i]));
                    }
                    // Each report is flushed whole, so a reader of a pipe sees it at once.
                    diagnostics_ << '\n' << std::flush;
                    done = true;
                } else {
                    printf_to(diagnostics_, "Checksumme fehlerhaft: 0x%02x 0x%02x -> 0x%04x\n",
                              static_cast<unsigned>(low), static_cast<unsigned>(high),
                              static_cast<unsigned>(expectedCrc));
                    diagnostics_.flush();
                    ok = false;
                    status_ = kChecksumWrong;
                }
            }
        } else if (++skipped > longestFrame) {
            // A device that talks without frames (a GPS module, a board printing its log).
            ok = false;
            status_ = kTransferError;
        }
        if (stored >= size && !done) {
            ok = false;
            status_ = kBufferTooSmall;
        }
        if (ok && !done) {
            ok = readByte();
        }
    }

    if (timeoutMs != 0 || shortened) {
        port_->SetTimeout(keptTimeoutMs);
    }
    if (!done) {
        if (got == 0) {
            status_ = kNoData;
        } else if (status_ == kOk) {
            status_ = kTransferError;
        }
    }
    return done;
}

}  // namespace tavero::link
