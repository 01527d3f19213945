// SPDX-License-Identifier: GPL-3.0-or-later
// tavero-sim: the simulated generator on a pseudo-terminal, for demos and end-to-end tests.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/BuildConfig.h"
#include "sim/Fault.h"
#include "sim/SimulatedGenerator.h"

namespace {

using namespace tavero::sim;
using SteadyClock = std::chrono::steady_clock;
using Duration = SteadyClock::duration;

/// 76800 baud with a start and a stop bit around 8 data bits.
constexpr auto kPacedByteTime = std::chrono::nanoseconds(10 * 1'000'000'000LL / 76800);
/// How often a closed terminal is looked at again: its hang-up can not be waited for.
constexpr std::chrono::milliseconds kClosedPortCheck{50};

struct FaultHelp {
    Fault fault;
    std::string_view text;
};

constexpr std::array<FaultHelp, kFaultCount> kFaultHelp = {{
    {Fault::kNoReply, "the command is carried out, no reply is sent"},
    {Fault::kWrongLetter, "the reply echoes the letter with its case changed"},
    {Fault::kNak, "the command is refused: letter and 0x15"},
    {Fault::kBadCrc, "the reply's CRC has every bit flipped"},
    {Fault::kNoise, "bytes without a start byte come before the reply"},
    {Fault::kCutShort, "the reply's last byte is never sent"},
    {Fault::kSlowBytes, "the reply bytes come 1 s apart, slower than any time-out"},
    {Fault::kUnplug,
     "instead of a reply the terminal is closed and tavero-sim ends,\n"
     "                    as a USB device vanishes when unplugged"},
}};

void printHelp() {
    std::printf(
        "Usage: tavero-sim [--pace] [--fault RULE]...\n"
        "Serves a simulated Tavero generator on a pseudo-terminal.\n"
        "\n"
        "It starts with the settings of an empty profile and firmware version 1.20, and\n"
        "answers every command with its letter and 0x06 (P with the version and settings).\n"
        "A command of unknown letter, wrong length or a value out of range is refused with\n"
        "its letter and 0x15. After ! the bootloader ignores the line until the terminal is\n"
        "closed and opened again.\n"
        "\n"
        "The first line on standard output is the terminal to open (e.g. /dev/pts/5). Then\n"
        "one line per event, starting with the seconds since the start:\n"
        "  12.345678 f 00 01 86 A0   a command received: its letter and argument bytes\n"
        "  12.345678 port opened     a client opened the terminal (ends a bootloader)\n"
        "  12.345678 port closed     the last client closed it\n"
        "  12.345678 unplugged       the unplug fault struck\n"
        "\n"
        "Options:\n"
        "  --pace          pace the line at 76800 baud, 10 bits a byte, both ways: a request\n"
        "                  counts from when its last byte would have arrived\n"
        "  --fault RULE    damage replies; may be given several times. RULE is\n"
        "                  KIND[:LETTER[:COUNT]]: LETTER limits it to one command (empty or *\n"
        "                  for every command), COUNT to the next COUNT replies (default: all).\n"
        "                  Examples: no-reply, nak:f, wrong-letter:x:1, noise::3. KIND is:\n");
    for (const FaultHelp& help : kFaultHelp) {
        std::printf("    %-14s  %.*s\n", std::string(faultName(help.fault)).c_str(),
                    static_cast<int>(help.text.size()), help.text.data());
    }
    std::printf(
        "  --help          show this text\n"
        "  --version       show the version\n"
        "\n"
        "tavero-sim ends on SIGINT or SIGTERM.\n");
}

struct Options {
    bool pace = false;
    std::vector<FaultRule> faults;
};

enum class ParseResult { kRun, kExitOk, kExitUsage };

ParseResult parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            printHelp();
            return ParseResult::kExitOk;
        }
        if (arg == "--version") {
            std::printf("tavero-sim %.*s\n", static_cast<int>(tavero::kProgramVersion.size()),
                        tavero::kProgramVersion.data());
            return ParseResult::kExitOk;
        }
        if (arg == "--pace") {
            options.pace = true;
            continue;
        }
        std::optional<std::string_view> rule;
        if (arg == "--fault" && i + 1 < argc) {
            rule = argv[++i];
        } else if (arg.starts_with("--fault=")) {
            rule = arg.substr(std::string_view("--fault=").size());
        }
        const std::optional<FaultRule> parsed = rule ? parseFaultRule(*rule) : std::nullopt;
        if (!parsed) {
            std::fprintf(stderr, "tavero-sim: bad option '%.*s'; see --help\n",
                         static_cast<int>(arg.size()), arg.data());
            return ParseResult::kExitUsage;
        }
        options.faults.push_back(*parsed);
    }
    return ParseResult::kRun;
}

int signalPipe[2] = {-1, -1};

extern "C" void onStopSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool installStopSignals() {
    if (pipe(signalPipe) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    // A reader of our standard output that goes away must not kill us mid-reply.
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0 &&
           sigaction(SIGPIPE, &ignore, nullptr) == 0;
}

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

/// Opens the master side of a new pseudo-terminal whose slave side is raw: no echo, no line
/// editing, no translation, so every byte passes as it is.
int openTerminal(std::string& slavePath) {
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
    close(master);
    return -1;
}

struct TimedByte {
    SteadyClock::time_point due;
    std::uint8_t byte;
};

class TerminalServer {
public:
    TerminalServer(int master, const Options& options) : master_(master), pace_(options.pace) {
        for (const FaultRule& rule : options.faults) {
            generator_.injectFault(rule.kind, rule.letter, rule.count);
        }
    }

    /// Serves until a stop signal or an unplug. False on a failure of the terminal.
    bool run() {
        for (;;) {
            std::array<pollfd, 2> fds{{{signalPipe[0], POLLIN, 0}, {master_, POLLIN, 0}}};
            const nfds_t count = portOpen_ ? 2 : 1;
            const std::optional<timespec> wait = pollTimeout();
            if (ppoll(fds.data(), count, wait ? &*wait : nullptr, nullptr) < 0 && errno != EINTR) {
                return false;
            }
            if ((fds[0].revents & POLLIN) != 0) {
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
                logEvent("unplugged");
                return true;
            }
            writeDue();
        }
    }

private:
    /// How long to wait for the line: until the next paced byte is due, to the nanosecond, so
    /// that pacing stays as exact as the wire it stands for.
    std::optional<timespec> pollTimeout() const {
        std::optional<SteadyClock::time_point> next;
        for (const auto* queue : {&incoming_, &outgoing_}) {
            if (!queue->empty() && (!next || queue->front().due < *next)) {
                next = queue->front().due;
            }
        }
        Duration wait =
            next ? std::max(Duration::zero(), *next - SteadyClock::now()) : Duration::max();
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

    void checkOpened() {
        pollfd fd{master_, POLLIN, 0};
        if (poll(&fd, 1, 0) < 0) {
            return;
        }
        // While no client holds the slave side the master reports a hang-up; data waiting
        // means a client was there, even if it has closed again since.
        if ((fd.revents & POLLHUP) == 0 || (fd.revents & POLLIN) != 0) {
            portOpen_ = true;
            generator_.portOpened();
            logEvent("port opened");
        }
    }

    bool serviceMaster() {
        pollfd fd{master_, POLLIN, 0};
        if (poll(&fd, 1, 0) < 0) {
            return errno == EINTR;
        }
        if ((fd.revents & POLLIN) != 0) {
            std::array<std::uint8_t, 256> buffer{};
            const ssize_t got = read(master_, buffer.data(), buffer.size());
            if (got > 0) {
                schedule(incoming_, incomingLineFree_,
                         {buffer.data(), static_cast<std::size_t>(got)},
                         pace_ ? kPacedByteTime : Duration::zero(), SteadyClock::now());
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
        portOpen_ = false;
        incoming_.clear();
        outgoing_.clear();
        logEvent("port closed");
        return true;
    }

    /// Puts bytes on a simulated line: each one `gap` after the previous, the first `gap` after
    /// `start` at the earliest.
    static void schedule(std::deque<TimedByte>& line, SteadyClock::time_point& lineFree,
                         std::span<const std::uint8_t> bytes, Duration gap,
                         SteadyClock::time_point start) {
        lineFree = std::max(lineFree, start);
        for (const std::uint8_t b : bytes) {
            lineFree += gap;
            line.push_back({lineFree, b});
        }
    }

    void deliverArrived() {
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
        for (; logged_ < generator_.received().size(); ++logged_) {
            logCommand(generator_.received()[logged_]);
        }
        for (const Transmission& reply : generator_.takeTransmissions()) {
            const Duration gap = reply.slow ? Duration(Transmission::kSlowByteGap)
                                 : pace_    ? Duration(kPacedByteTime)
                                            : Duration::zero();
            schedule(outgoing_, outgoingLineFree_, reply.bytes, gap, arrived);
        }
    }

    void writeDue() {
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

    double secondsSinceStart(SteadyClock::time_point time) const {
        return std::chrono::duration<double>(time - start_).count();
    }

    void logEvent(const char* what) {
        std::printf("%.6f %s\n", secondsSinceStart(SteadyClock::now()), what);
        std::fflush(stdout);
    }

    void logCommand(const ReceivedCommand& command) {
        std::string line;
        const auto letter = static_cast<unsigned char>(command.letter);
        if (std::isgraph(letter) != 0) {
            line = std::string(1, command.letter);
        } else {
            line = hex(letter, "0x");
        }
        for (const std::uint8_t b : command.arguments) {
            line += hex(b, " ");
        }
        std::printf("%.6f %s\n", secondsSinceStart(command.time), line.c_str());
        std::fflush(stdout);
    }

    static std::string hex(std::uint8_t value, const char* prefix) {
        std::array<char, 8> text{};
        std::snprintf(text.data(), text.size(), "%s%02X", prefix, value);
        return text.data();
    }

    int master_;
    bool pace_;
    SimulatedGenerator generator_;
    SteadyClock::time_point start_ = SteadyClock::now();
    bool portOpen_ = false;
    std::deque<TimedByte> incoming_;
    std::deque<TimedByte> outgoing_;
    SteadyClock::time_point incomingLineFree_;
    SteadyClock::time_point outgoingLineFree_;
    std::size_t logged_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    switch (parseOptions(argc, argv, options)) {
        case ParseResult::kExitOk:
            return EXIT_SUCCESS;
        case ParseResult::kExitUsage:
            return 2;
        case ParseResult::kRun:
            break;
    }
    if (!installStopSignals()) {
        std::perror("tavero-sim: signals");
        return EXIT_FAILURE;
    }
    std::string slavePath;
    const int master = openTerminal(slavePath);
    if (master < 0) {
        std::perror("tavero-sim: pseudo-terminal");
        return EXIT_FAILURE;
    }
    std::printf("%s\n", slavePath.c_str());
    std::fflush(stdout);

    TerminalServer server(master, options);
    const bool ok = server.run();
    close(master);
    if (!ok) {
        std::perror("tavero-sim: terminal");
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
