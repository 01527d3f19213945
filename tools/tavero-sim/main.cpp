// SPDX-License-Identifier: GPL-3.0-or-later
// tavero-sim: the simulated generator on a pseudo-terminal, for demos and end-to-end tests.

#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "core/BuildConfig.h"
#include "core/GeneratorSettings.h"
#include "sim/Fault.h"
#include "sim/TerminalServer.h"
#include "sim/scope/Circuit.h"
#include "sim/scope/DriveHistory.h"
#include "sim/scope/ScopeDialect.h"
#include "sim/scope/ScopeServer.h"

namespace {

using namespace tavero::sim;

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
        "Usage: tavero-sim [--pace] [--fault RULE]... [--chatter BYTES]\n"
        "                  [--scope KIND [--dut CIRCUIT] [SCOPE OPTIONS]]\n"
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
        "  12.345678 dropped 4096    bytes the paced line could not take in time, thrown away\n"
        "  12.345678 unplugged       the unplug fault struck\n"
        "  12.345678 chattered 4096  the log text of --chatter has all been written\n"
        "\n"
        "Options:\n"
        "  --pace          pace the line at 76800 baud, 10 bits a byte, both ways: a request\n"
        "                  counts from when its last byte would have arrived; what comes\n"
        "                  faster than the line takes is held up to 4096 bytes, then dropped\n"
        "  --fault RULE    damage replies; may be given several times. RULE is\n"
        "                  KIND[:LETTER[:COUNT]]: LETTER limits it to one command (empty or *\n"
        "                  for every command), COUNT to the next COUNT replies (default: all).\n"
        "                  Examples: no-reply, nak:f, wrong-letter:x:1, noise::3. KIND is:\n");
    for (const FaultHelp& help : kFaultHelp) {
        std::printf("    %-14s  %.*s\n", std::string(faultName(help.fault)).c_str(),
                    static_cast<int>(help.text.size()), help.text.data());
    }
    std::printf(
        "  --chatter BYTES after the reply to the first P, send BYTES bytes of log text\n"
        "                  lines, unpaced, as an adapter of the same ids that prints its\n"
        "                  log would\n"
        "\n"
        "A simulated oscilloscope can watch the generator's output (channel 1) and the output of\n"
        "a modelled circuit fed by it (channel 2), for frequency response sweeps:\n"
        "  --scope KIND    serve it as KIND: rigol (a DS1104Z), siglent (an SDS1202X-E) or\n"
        "                  siglent-plus (an SDS2104X Plus); the second line on standard output\n"
        "                  then names its raw socket, e.g. scope TCPIP::127.0.0.1::5025::SOCKET\n"
        "  --scope-listen HOST:PORT\n"
        "                  where its raw socket listens (default 127.0.0.1:0, a free port)\n"
        "  --scope-vxi11   serve it over VXI-11 too, with a port mapper of its own on port 111\n"
        "                  (needs it free, and root or a network namespace); a third line names\n"
        "                  it, e.g. scope TCPIP::127.0.0.1::INSTR\n"
        "  --dut CIRCUIT   the circuit: through (default), lowpass, highpass or bandpass, with\n"
        "                  values as in lowpass:r=1k,c=100n or bandpass:r=100,l=10m,c=100n\n"
        "                  (defaults 1 kOhm, 100 nF, 10 mH); g=GAIN adds an amplifier after it\n"
        "  --scope-noise DIVISIONS\n"
        "                  the traces' noise, standard deviation in divisions (default 0.02)\n"
        "  --scope-measure-ms MS\n"
        "                  each measurement or trace takes the scope MS before it answers\n"
        "  --scope-drop-after N\n"
        "                  after N measurements or traces the scope drops off the network,\n"
        "                  as one unplugged mid-sweep does; logs \"scope dropped\"\n"
        "  --help          show this text\n"
        "  --version       show the version\n"
        "\n"
        "tavero-sim ends on SIGINT or SIGTERM.\n");
}

enum class ParseResult { kRun, kExitOk, kExitUsage };

std::optional<std::size_t> byteCount(std::string_view text) {
    std::size_t bytes = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bytes);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return bytes;
}

/// What the options ask of the simulated scope.
struct ScopeChoice {
    std::optional<ScopeKind> kind;
    Circuit circuit;
    double noiseDivisions = 0.02;
    ScopeServerOptions server;
};

std::optional<double> decimal(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty() || value < 0) {
        return std::nullopt;
    }
    return value;
}

/// Takes one of the scope's options and its value; false when `arg` is none of them or its
/// value cannot be read, after saying why.
bool parseScopeOption(std::string_view arg, const char* value, ScopeChoice& scope) {
    const std::string_view text = value == nullptr ? "" : value;
    bool ok = value != nullptr;
    if (arg == "--scope") {
        scope.kind = parseScopeKind(text);
        ok = ok && scope.kind;
    } else if (arg == "--dut") {
        const std::optional<Circuit> circuit = parseCircuit(text);
        ok = ok && circuit;
        scope.circuit = circuit.value_or(Circuit{});
    } else if (arg == "--scope-noise") {
        const std::optional<double> noise = decimal(text);
        ok = ok && noise;
        scope.noiseDivisions = noise.value_or(0);
    } else if (arg == "--scope-measure-ms" || arg == "--scope-drop-after") {
        const std::optional<std::size_t> count = byteCount(text);
        ok = ok && count;
        if (arg == "--scope-drop-after") {
            scope.server.dropAfter = count.value_or(0);
        } else {
            scope.server.measureTime =
                std::chrono::milliseconds(static_cast<std::int64_t>(count.value_or(0)));
        }
    } else if (arg == "--scope-listen") {
        const std::size_t colon = text.rfind(':');
        const std::optional<std::size_t> port =
            colon == std::string_view::npos ? std::nullopt : byteCount(text.substr(colon + 1));
        ok = ok && port && *port <= 65535;
        if (ok) {
            scope.server.host = std::string(text.substr(0, colon));
            scope.server.socketPort = static_cast<std::uint16_t>(*port);
        }
    }
    if (!ok) {
        std::fprintf(stderr, "tavero-sim: %.*s needs a value it can read; see --help\n",
                     static_cast<int>(arg.size()), arg.data());
    }
    return ok;
}

ParseResult parseOptions(int argc, char** argv, TerminalServer::Options& options,
                         ScopeChoice& scope) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--scope-vxi11") {
            scope.server.vxi11 = true;
            continue;
        }
        if (arg == "--scope" || arg == "--dut" || arg.starts_with("--scope-")) {
            if (!parseScopeOption(arg, i + 1 < argc ? argv[++i] : nullptr, scope)) {
                return ParseResult::kExitUsage;
            }
            continue;
        }
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
        if (arg == "--chatter") {
            const std::optional<std::size_t> bytes =
                i + 1 < argc ? byteCount(argv[++i]) : std::nullopt;
            if (!bytes) {
                std::fprintf(stderr, "tavero-sim: --chatter needs a number of bytes; see --help\n");
                return ParseResult::kExitUsage;
            }
            options.chatterBytes = *bytes;
            continue;
        }
        std::optional<std::string_view> rule;
        if (arg == "--fault" && i + 1 < argc) {
            rule = argv[++i];
        } else if (arg.starts_with("--fault=")) {
            rule = arg.substr(std::string_view("--fault=").size());
        }
        if (!rule) {
            std::fprintf(stderr, "tavero-sim: bad option '%.*s'; see --help\n",
                         static_cast<int>(arg.size()), arg.data());
            return ParseResult::kExitUsage;
        }
        const std::optional<FaultRule> parsed = parseFaultRule(*rule);
        if (!parsed) {
            std::fprintf(stderr, "tavero-sim: cannot read the fault rule '%.*s'; see --help\n",
                         static_cast<int>(rule->size()), rule->data());
            return ParseResult::kExitUsage;
        }
        options.faults.push_back(*parsed);
    }
    return ParseResult::kRun;
}

int signalPipe[2] = {-1, -1};
/// Tells the scope's thread to end.
int scopeStopPipe[2] = {-1, -1};

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

}  // namespace

int main(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    TerminalServer::Options options;
    ScopeChoice scopeChoice;
    switch (parseOptions(argc, argv, options, scopeChoice)) {
        case ParseResult::kExitOk:
            return EXIT_SUCCESS;
        case ParseResult::kExitUsage:
            return 2;
        case ParseResult::kRun:
            break;
    }
    if (!installStopSignals() || pipe(scopeStopPipe) != 0) {
        std::perror("tavero-sim: signals");
        return EXIT_FAILURE;
    }
    DriveHistory drive;
    drive.record(tavero::GeneratorSettings::emptyProfile(), start);
    options.settingsWatcher = [&drive](const tavero::GeneratorSettings& settings,
                                       std::chrono::steady_clock::time_point when) {
        drive.record(settings, when);
    };
    ScopeInstrument scope;
    std::unique_ptr<ScopeServer> scopeServer;
    if (scopeChoice.kind) {
        scope = makeScopeInstrument(*scopeChoice.kind, drive, scopeChoice.circuit,
                                    scopeChoice.noiseDivisions);
        scopeServer =
            std::make_unique<ScopeServer>(*scope.dialect, scopeChoice.server, stdout, start);
        if (!scopeServer->listen()) {
            std::perror("tavero-sim: scope");
            return EXIT_FAILURE;
        }
    }
    std::string slavePath;
    const int master = openRawTerminal(slavePath);
    if (master < 0) {
        std::perror("tavero-sim: pseudo-terminal");
        return EXIT_FAILURE;
    }
    std::printf("%s\n", slavePath.c_str());
    std::thread scopeThread;
    if (scopeServer) {
        const std::string& host = scopeChoice.server.host;
        std::printf("scope TCPIP::%s::%u::SOCKET\n", host.c_str(), scopeServer->socketPort());
        if (scopeChoice.server.vxi11) {
            std::printf("scope TCPIP::%s::INSTR\n", host.c_str());
        }
        std::printf("%.6f scope: %s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                    circuitText(scopeChoice.circuit).c_str());
        scopeThread = std::thread([&scopeServer] { scopeServer->run(scopeStopPipe[0]); });
    }
    std::fflush(stdout);

    TerminalServer server(master, signalPipe[0], options, stdout);
    const bool ok = server.run();
    const int error = errno;
    close(master);
    if (scopeThread.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(scopeStopPipe[1], &byte, 1);
        scopeThread.join();
    }
    if (!ok) {
        errno = error;
        std::perror("tavero-sim: terminal");
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
