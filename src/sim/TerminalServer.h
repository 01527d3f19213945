// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <time.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/Fault.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::sim {

/// Opens the master side of a new pseudo-terminal whose slave side is raw: no echo, no line
/// editing, no translation, so every byte passes as it is. -1 on failure, with errno set.
/// @param slavePath receives the terminal a client opens, e.g. /dev/pts/5
int openRawTerminal(std::string& slavePath);

/// Serves a simulated generator on the master side of a pseudo-terminal: what a client writes
/// to the slave side reaches the generator, its replies go back, optionally paced like the
/// real line. Logs one line per event, starting with the seconds since the start:
///   12.345678 f 00 01 86 A0   a command received: its letter and argument bytes
///   12.345678 port opened     a client opened the terminal (ends a bootloader)
///   12.345678 port closed     the last client closed it
///   12.345678 dropped 4096    bytes the paced line could not take in time, thrown away
///   12.345678 unplugged       the unplug fault struck
///   12.345678 chattered 4096  the log text asked for has all been written
class TerminalServer {
public:
    using SteadyClock = std::chrono::steady_clock;

    struct Options {
        /// Pace the line at 76800 baud, 10 bits a byte, both ways.
        bool pace = false;
        std::vector<FaultRule> faults;
        /// Bytes of log text sent after the reply to the first P, as an adapter of the same ids
        /// that prints its log would; unpaced, as fast as the client reads them.
        std::size_t chatterBytes = 0;
        /// Told the generator's settings after the commands of each read from the line, with
        /// the time the last of them came in (a simulated scope watches the output so).
        std::function<void(const GeneratorSettings&, SteadyClock::time_point)> settingsWatcher = {};
    };

    /// One byte on the paced line: 76800 baud with a start and a stop bit around 8 data bits.
    static constexpr std::chrono::nanoseconds kPacedByteTime{10 * 1'000'000'000LL / 76800};

    /// Bytes one direction of the paced line holds at most, as a serial driver's buffer does;
    /// whatever comes on top of them is dropped, and the drop logged.
    static constexpr std::size_t kLineQueueLimit = 4096;

    /// @param master the master side, open and owned by the caller
    /// @param stop readable when serving must end (e.g. the self-pipe of a signal handler)
    /// @param log where the event lines go
    TerminalServer(int master, int stop, const Options& options, std::FILE* log);

    /// Serves until `stop` is readable or an unplug. False on a failure of the terminal, with
    /// errno set.
    bool run();

    /// The most bytes either direction of the line held at once.
    std::size_t peakQueuedBytes() const { return peakQueued_; }

private:
    struct TimedByte {
        SteadyClock::time_point due;
        std::uint8_t byte;
    };
    using Line = std::deque<TimedByte>;
    using Duration = SteadyClock::duration;

    std::optional<timespec> pollTimeout() const;
    void checkOpened();
    bool serviceMaster();
    /// Puts bytes on a simulated line: each one `gap` after the previous, the first `gap`
    /// after `start` at the earliest. Returns how many did not fit.
    std::size_t schedule(Line& line, SteadyClock::time_point& lineFree,
                         std::span<const std::uint8_t> bytes, Duration gap,
                         SteadyClock::time_point start);
    void deliverArrived();
    void writeDue();
    /// Whether log text is waiting to go out behind the replies.
    bool chatterDue() const;
    /// Writes as much of the log text as the terminal takes now.
    void writeChatter();
    /// Counts dropped bytes; one line tells how many once a run of drops has ended.
    void noteDropped(std::size_t bytes);
    void logDropped();
    void logEvent(const std::string& what, SteadyClock::time_point time);

    int master_;
    int stop_;
    bool pace_;
    std::FILE* log_;
    SimulatedGenerator generator_;
    SteadyClock::time_point start_ = SteadyClock::now();
    bool portOpen_ = false;
    Line incoming_;
    Line outgoing_;
    SteadyClock::time_point incomingLineFree_;
    SteadyClock::time_point outgoingLineFree_;
    std::size_t peakQueued_ = 0;
    std::size_t dropped_ = 0;
    std::size_t chatterBytes_;
    std::function<void(const GeneratorSettings&, SteadyClock::time_point)> settingsWatcher_;
    std::size_t chatterLeft_ = 0;
    bool chatterStarted_ = false;
};

}  // namespace tavero::sim
