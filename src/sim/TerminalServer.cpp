// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/TerminalServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/NumberText.h"

namespace tavero::sim {

namespace {

using SteadyClock = TerminalServer::SteadyClock;

/// How often a closed terminal is looked at again: its hang-up can not be waited for.
constexpr std::chrono::milliseconds kClosedPortCheck{50};

bool makeRaw(const char* slavePath) {
    const int slave = open(slavePath, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        return false;
    }
    termios settings{};
    bool raw = tcgetattr(slave, &settings) == 0;
    if (raw) {
        cfmakeraw(&settings);
        raw = tcsetattr(slave, TCSANOW, &settings) == 0;
    }
    close(slave);
    return raw;
}

std::string hex(std::uint8_t value, const char* prefix) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%s%02X", prefix, value);
    return text.data();
}

std::string commandText(const ReceivedCommand& command) {
    const auto letter = static_cast<unsigned char>(command.letter);
    std::string line =
        std::isgraph(letter) != 0 ? std::string(1, command.letter) : hex(letter, "0x");
    for (const std::uint8_t b : command.arguments) {
        line += hex(b, " ");
    }
    return line;
}

}  // namespace

int openRawTerminal(std::string& slavePath) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        return -1;
    }
    if (grantpt(master) == 0 && unlockpt(master) == 0) {
        if (const char* name = ptsname(master)) {
            slavePath = name;
            // The slave keeps these settings after we close it, as long as the master is open.
            if (makeRaw(name)) {
                return master;
            }
        }
    }
    const int saved = errno;
    close(master);
    errno = saved;
    return -1;
}

TerminalServer::TerminalServer(int master, int stop, const Options& options, std::FILE* log)
    : master_(master),
      stop_(stop),
      pace_(options.pace),
      log_(log),
      chatterBytes_(options.chatterBytes),
      settingsWatcher_(options.settingsWatcher) {
    for (const FaultRule& rule : options.faults) {
        generator_.injectFault(rule.kind, rule.letter, rule.count);
    }
}

bool TerminalServer::run() {
    for (;;) {
        const short master = static_cast<short>(POLLIN | (chatterDue() ? POLLOUT : 0));
        std::array<pollfd, 2> fds{{{stop_, POLLIN, 0}, {master_, master, 0}}};
        const nfds_t count = portOpen_ ? 2 : 1;
        const std::optional<timespec> wait = pollTimeout();
        if (ppoll(fds.data(), count, wait ? &*wait : nullptr, nullptr) < 0 && errno != EINTR) {
            return false;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            logDropped();
            return true;
        }
        if (!portOpen_) {
            checkOpened();
        }
        if (portOpen_ && !serviceMaster()) {
            return false;
        }
        deliverArrived();
        if (!generator_.pluggedIn()) {
            logEvent("unplugged", SteadyClock::now());
            return true;
        }
        writeDue();
        if (portOpen_ && chatterDue() && (fds[1].revents & POLLOUT) != 0) {
            writeChatter();
        }
    }
}

// Waits until the next paced byte is due, to the nanosecond, so that pacing stays as exact as
// the wire it stands for.
std::optional<timespec> TerminalServer::pollTimeout() const {
    std::optional<SteadyClock::time_point> next;
    for (const auto* queue : {&incoming_, &outgoing_}) {
        if (!queue->empty() && (!next || queue->front().due < *next)) {
            next = queue->front().due;
        }
    }
    Duration wait = next ? std::max(Duration::zero(), *next - SteadyClock::now()) : Duration::max();
    if (!portOpen_) {
        wait = std::min<Duration>(wait, kClosedPortCheck);
    }
    if (wait == Duration::max()) {
        return std::nullopt;
    }
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
    return timespec{static_cast<time_t>(nanoseconds / 1'000'000'000),
                    static_cast<long>(nanoseconds % 1'000'000'000)};
}

void TerminalServer::checkOpened() {
    pollfd fd{master_, POLLIN, 0};
    if (poll(&fd, 1, 0) < 0) {
        return;
    }
    // While no client holds the slave side the master reports a hang-up; data waiting means a
    // client was there, even if it has closed again since.
    if ((fd.revents & POLLHUP) == 0 || (fd.revents & POLLIN) != 0) {
        portOpen_ = true;
        generator_.portOpened();
        logEvent("port opened", SteadyClock::now());
    }
}

bool TerminalServer::serviceMaster() {
    pollfd fd{master_, POLLIN, 0};
    if (poll(&fd, 1, 0) < 0) {
        return errno == EINTR;
    }
    if ((fd.revents & POLLIN) != 0) {
        std::array<std::uint8_t, 256> buffer{};
        const ssize_t got = read(master_, buffer.data(), buffer.size());
        if (got > 0) {
            noteDropped(schedule(incoming_, incomingLineFree_,
                                 {buffer.data(), static_cast<std::size_t>(got)},
                                 pace_ ? kPacedByteTime : Duration::zero(), SteadyClock::now()));
            return true;
        }
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            return true;
        }
        if (got < 0 && errno != EIO) {
            return false;
        }
    } else if ((fd.revents & (POLLHUP | POLLERR)) == 0) {
        return true;
    }
    // Like the bridge, drop what was under way in either direction.
    logDropped();
    portOpen_ = false;
    incoming_.clear();
    outgoing_.clear();
    logEvent("port closed", SteadyClock::now());
    return true;
}

std::size_t TerminalServer::schedule(Line& line, SteadyClock::time_point& lineFree,
                                     std::span<const std::uint8_t> bytes, Duration gap,
                                     SteadyClock::time_point start) {
    lineFree = std::max(lineFree, start);
    const std::size_t room = kLineQueueLimit - std::min(kLineQueueLimit, line.size());
    const std::size_t taken = std::min(room, bytes.size());
    for (const std::uint8_t b : bytes.first(taken)) {
        lineFree += gap;
        line.push_back({lineFree, b});
    }
    peakQueued_ = std::max(peakQueued_, line.size());
    return bytes.size() - taken;
}

void TerminalServer::deliverArrived() {
    const auto now = SteadyClock::now();
    // The generator answers when the request's last byte arrived on the simulated line, not
    // when this loop woke up to see it, so a late wake-up does not delay the reply.
    SteadyClock::time_point arrived = now;
    while (!incoming_.empty() && incoming_.front().due <= now) {
        arrived = incoming_.front().due;
        const std::uint8_t byte = incoming_.front().byte;
        incoming_.pop_front();
        generator_.receive({&byte, 1});
    }
    // Logged and forgotten, so that a flood of commands does not pile up in memory.
    for (const ReceivedCommand& command : generator_.received()) {
        logEvent(commandText(command), command.time);
        if (command.letter == 'P' && !chatterStarted_) {
            chatterStarted_ = true;
            chatterLeft_ = chatterBytes_;
        }
    }
    if (settingsWatcher_ && !generator_.received().empty()) {
        settingsWatcher_(generator_.settings(), generator_.received().back().time);
    }
    generator_.clearReceived();
    for (const Transmission& reply : generator_.takeTransmissions()) {
        const Duration gap = reply.slow ? Duration(Transmission::kSlowByteGap)
                             : pace_    ? Duration(kPacedByteTime)
                                        : Duration::zero();
        noteDropped(schedule(outgoing_, outgoingLineFree_, reply.bytes, gap, arrived));
    }
}

void TerminalServer::writeDue() {
    const auto now = SteadyClock::now();
    std::vector<std::uint8_t> due;
    while (!outgoing_.empty() && outgoing_.front().due <= now) {
        due.push_back(outgoing_.front().byte);
        outgoing_.pop_front();
    }
    std::size_t done = 0;
    while (done < due.size()) {
        const ssize_t put = write(master_, due.data() + done, due.size() - done);
        if (put < 0 && errno != EINTR) {
            return;
        }
        done += put > 0 ? static_cast<std::size_t>(put) : 0;
    }
}

bool TerminalServer::chatterDue() const {
    return chatterLeft_ != 0 && outgoing_.empty();
}

void TerminalServer::writeChatter() {
    static const std::array<char, 4096> chunk = [] {
        constexpr std::string_view kLine = "[  12.345] sensor: reading 0815 ok\r\n";
        std::array<char, 4096> lines{};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            lines[i] = kLine[i % kLine.size()];
        }
        return lines;
    }();
    // Non-blocking, so that a client that has stopped reading can not stall the simulator.
    const int flags = fcntl(master_, F_GETFL);
    fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    const ssize_t put = write(master_, chunk.data(), std::min(chunk.size(), chatterLeft_));
    fcntl(master_, F_SETFL, flags);
    if (put > 0) {
        chatterLeft_ -= static_cast<std::size_t>(put);
        if (chatterLeft_ == 0) {
            logEvent("chattered " + std::to_string(chatterBytes_), SteadyClock::now());
        }
    }
}

void TerminalServer::noteDropped(std::size_t bytes) {
    if (bytes != 0) {
        dropped_ += bytes;
    } else {
        logDropped();
    }
}

void TerminalServer::logDropped() {
    if (dropped_ != 0) {
        logEvent("dropped " + std::to_string(dropped_), SteadyClock::now());
        dropped_ = 0;
    }
}

void TerminalServer::logEvent(const std::string& what, SteadyClock::time_point time) {
    // Locale-free: a program that serves the terminal may have set a locale with a decimal comma.
    const std::string line =
        formatFixed(std::chrono::duration<double>(time - start_).count(), 6) + ' ' + what + '\n';
    std::fputs(line.c_str(), log_);
    std::fflush(log_);
}

}  // namespace tavero::sim
