// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/CommandTable.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tavero::ctl {

namespace {

constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

constexpr std::array<CommandInfo, 12> kCommands = {{
    {"read", 0, 0, kFlagJson, "read [--json]",
     "print the firmware version and the generator's settings",
     "Connects, reads the generator's stored settings (P) and prints the firmware version,\n"
     "then one Key=value line per setting with the keys and in the order of the profile\n"
     "file, each an integer in the field's unit (frequencies in 0.01 Hz).\n"
     "\n"
     "--json  one JSON object instead: the same keys with integer values, and\n"
     "        Firmwareversion as a number (1.20).\n"},
    {"set", 1, kAny, 0, "set KEY=VALUE...", "change settings and send each group touched",
     "Reads the generator's settings, applies each KEY=VALUE (a profile-file key and an\n"
     "integer in the field's unit, e.g. Frequenz in 0.01 Hz) and sends each group of\n"
     "settings touched, once. A value the window would refuse is refused before anything is\n"
     "sent; a new limit or PLL stage moves Frequenz and Minimalfrequenz along as the window\n"
     "does.\n"},
    {"profiles", 0, 0, 0, "profiles", "list the stored profiles",
     "Prints one line per stored profile as the window's drop-down list shows it, e.g.\n"
     "\"1: -- leeres Profil --\". Needs no generator. A missing profile file is created with\n"
     "50 empty profiles first, as the window does when it starts.\n"},
    {"profile", 1, 1, kFlagJson, "profile N [--json]", "print the settings and name of profile N",
     "Prints the settings of profile N (counting from 1) as Key=value lines in the order of\n"
     "the profile file, then its name as Name=... Needs no generator.\n"
     "\n"
     "--json  one JSON object instead: the same keys with integer values, and Name as a\n"
     "        string.\n"},
    {"load", 1, 1, 0, "load N", "send the settings of profile N to the generator",
     "Sends the settings of profile N (counting from 1) to the generator as a whole (p), as\n"
     "the window's \"Laden\" does.\n"},
    {"store", 2, 2, 0, "store N NAME", "store the generator's settings in profile N",
     "Reads the generator's settings (P) and stores them in profile N (counting from 1)\n"
     "under NAME, rewriting the profile file as the window's \"Speichern\" does. The file is\n"
     "replaced as a whole, so an interrupted store leaves the old one. NAME may be empty; it\n"
     "must fit the file's Windows-1252 text and hold no control characters. Write -- before\n"
     "a NAME that starts with --.\n"
     "\n"
     "A window that is open keeps the profiles it read when it started: it shows the new\n"
     "profile after its next start, and its own next store overwrites it.\n"},
    {"play", 1, 1, kFlagLoop | kFlagOnce | kFlagTrace | kFlagNoTrace,
     "play FILE [--loop | --once] [--trace FILE | --no-trace]", "play a task list file",
     "Plays a task list file (.tvr) as the window's task list does: the first entry goes to\n"
     "the generator at once (p), each further one when the hold time of the entry before\n"
     "has run out. The steps fall due in whole seconds counted from the start, so a slow\n"
     "exchange never shifts the later ones. An entry held 0 s is held 1 s. For each entry\n"
     "sent one line: its place in the list, its name and its hold time, as in\n"
     "\"2: Sinus 1 kHz, Dauer: 5 s\".\n"
     "\n"
     "The run loops when the file's \"Schleife\" is set. An option overrides the file:\n"
     "--loop  loop even when the file does not say so\n"
     "--once  play the list once even when the file says loop\n"
     "Without a loop the run ends when the last entry's hold time has run out.\n"
     "\n"
     "SIGINT, SIGTERM or SIGHUP stops the run after the exchange under way, with status\n"
     "130, 143 or 129; the generator keeps the last entry sent. So does a blocked standard\n"
     "output. When its reader has gone (play ... | head -1), the run stops before the next\n"
     "entry.\n"},
    {"reset", 0, 0, kFlagYes | kFlagJson, "reset --yes [--json]",
     "restore the generator's factory settings",
     "Restores the generator's factory settings (r), waits 1 s for it to finish, then reads\n"
     "and prints its settings as read does (also with --json). Without --yes nothing is\n"
     "sent and the status is 2.\n"},
    {"bootloader", 0, 0, kFlagYes, "bootloader --yes", "start the generator's firmware bootloader",
     "Starts the generator's firmware bootloader (!) and closes the port without a\n"
     "disconnect notice. The generator then takes no commands until it is unplugged and\n"
     "plugged in again. Without --yes nothing is sent and the status is 2.\n"},
    {"serve", 0, 0,
     kFlagListen | kFlagAnnounce | kFlagTrace | kFlagNoTrace | kFlagVxi11AlternatePorts |
         kFlagHttp | kFlagHttpPasswordFile,
     "serve [--listen HOST:PORT] [--http [HOST:]PORT [--http-password-file FILE]]\n"
     "      [--announce] [--vxi11-alternate-ports] [--trace FILE | --no-trace]",
     "serve the generator as a SCPI instrument on TCP",
     "Connects to the generator and serves it as a SCPI instrument on a TCP socket (raw\n"
     "socket, one command per line) and over VXI-11 until SIGINT, SIGTERM or SIGHUP, for\n"
     "PyVISA, PyMeasure, lxi-tools and the like: TCPIP::HOST::PORT::SOCKET or\n"
     "TCPIP::HOST::INSTR.\n"
     "Every value is checked with the window's rules; the profiles of *SAV and *RCL are the\n"
     "window's. The first line on standard output names the address listened on. The command\n"
     "tree and the error codes are in tavero-ctl(1).\n"
     "\n"
     "--listen HOST:PORT  the address to listen on, by default 127.0.0.1:5025; port 0 lets\n"
     "                    the system choose. VXI-11 and its port mapper listen on the same\n"
     "                    host. 0.0.0.0:5025 or [::]:5025 opens the generator to the\n"
     "                    network: no service asks for a password, so anyone who can reach\n"
     "                    the ports can drive it, and serve warns of it.\n"
     "--announce          announce the instrument by multicast DNS through the Avahi daemon\n"
     "                    (_lxi._tcp, _vxi-11._tcp, _scpi-raw._tcp) on the network of\n"
     "                    --listen; says why when nothing can be announced. With --http,\n"
     "                    _lxi._tcp names the page's port.\n"
     "--vxi11-alternate-ports\n"
     "                    answer the port mapper's GETPORT with two VXI-11 ports in turn,\n"
     "                    for Siglent oscilloscopes whose older firmware needs a new port\n"
     "                    for every link; needs port 111 and no rpcbind running.\n"
     "--http [HOST:]PORT  also serve the front panel page for browsers on PORT, on the host\n"
     "                    of --listen unless HOST is given: http://HOST:PORT/, with the\n"
     "                    LXI identification at /lxi/identification\n"
     "--http-password-file FILE\n"
     "                    the page asks for the password in the first line of FILE before\n"
     "                    any change; without TLS it crosses the network in clear\n"},
    {"bode", 0, 0, kFlagSweep | kFlagJson | kFlagTrace | kFlagNoTrace,
     "bode --scope RESOURCE --from HZ --to HZ\n"
     "      [--points-per-decade N | --points N --linear] [--amplitude MV]\n"
     "      [--input CH] [--output CH] [--method measure|capture] [--settle MS]\n"
     "      [--csv FILE] [--json] [--trace FILE | --no-trace]",
     "measure a circuit's frequency response with an oscilloscope",
     "Sweeps the generator's sine across a circuit and measures its output against its input\n"
     "with an oscilloscope on the network or USB: the magnitude in dB and the phase in\n"
     "degrees (-180 to 180, output against input) at each frequency. The scope is driven in\n"
     "the dialect its *IDN? names: Rigol DS1000Z, MSO5000, DHO800/900; Siglent SDS (both\n"
     "command sets); Keysight InfiniiVision; any other SCPI scope through capture alone.\n"
     "At each frequency the circuit is let settle (the --settle time or 10 periods, whichever\n"
     "is longer), both channels are ranged on the 1-2-5 steps to about 6 divisions, clipped\n"
     "traces ranged again, and a new acquisition is taken. A point the scope cannot measure\n"
     "is kept with its reason in place of a value.\n"
     "\n"
     "--scope RESOURCE    TCPIP::HOST::INSTR (VXI-11), TCPIP::HOST::PORT::SOCKET, or\n"
     "                    /dev/usbtmcN (Linux's usbtmc driver)\n"
     "--from HZ, --to HZ  the first and last frequency, 0.25 Hz to 30 MHz\n"
     "--points-per-decade N\n"
     "                    logarithmic steps, N a decade (default 10)\n"
     "--points N --linear N frequencies evenly spaced\n"
     "--amplitude MV      the generator's amplitude, peak-to-peak (default 1000)\n"
     "--input CH          the scope channel at the circuit's input (default 1)\n"
     "--output CH         the scope channel at its output (default 2)\n"
     "--method METHOD     capture (default): both traces read, a Hann-windowed DFT at the\n"
     "                    drive frequency; measure: the scope's own peak-to-peak and phase\n"
     "--settle MS         the least wait after each frequency change (default 5)\n"
     "--csv FILE          write the table to FILE (replaced whole) instead of standard\n"
     "                    output\n"
     "--json              print one JSON object at the end instead of the table\n"
     "\n"
     "The table has the header frequency_hz,magnitude_db,phase_deg,status, one line a point,\n"
     "status ok or the reason it has no value: clipped, below-resolution,\n"
     "invalid-measurement, too-few-samples-per-period, scope-timeout. Progress goes to\n"
     "standard error, a line a point, then the -3 dB points and the phase there.\n"
     "\n"
     "SIGINT, SIGTERM or SIGHUP ends the sweep after the point under way; the points so far\n"
     "written, the generator and the scope get back the settings the sweep changed, and the\n"
     "status is 130, 143 or 129. A scope that stops answering or drops off ends it too, with the\n"
     "points so far written and status 1.\n"},

    {"help", 0, 1, 0, "help [COMMAND]", "show this text, or the text of one command",
     "Shows the overview, or the text of COMMAND (the same as COMMAND --help).\n"},
}};

struct FlagOption {
    CommandFlag flag;
    std::string_view option;
};

constexpr std::array<FlagOption, 11> kFlagOptions = {{
    {kFlagJson, "--json"},
    {kFlagYes, "--yes"},
    {kFlagLoop, "--loop"},
    {kFlagOnce, "--once"},
    {kFlagListen, "--listen"},
    {kFlagTrace, "--trace"},
    {kFlagNoTrace, "--no-trace"},
    {kFlagAnnounce, "--announce"},
    {kFlagVxi11AlternatePorts, "--vxi11-alternate-ports"},
    {kFlagHttp, "--http"},
    {kFlagHttpPasswordFile, "--http-password-file"},
}};

struct SweepOption {
    std::string_view option;
    bool takesValue;
};

constexpr std::array<SweepOption, 12> kSweepOptions = {{
    {"--scope", true},
    {"--from", true},
    {"--to", true},
    {"--points-per-decade", true},
    {"--points", true},
    {"--linear", false},
    {"--amplitude", true},
    {"--input", true},
    {"--output", true},
    {"--method", true},
    {"--settle", true},
    {"--csv", true},
}};

/// The paragraph of every command that takes the trace options.
constexpr std::string_view kTraceOptionsHelp =
    "\n"
    "Every byte sent to the generator is appended to out.txt in the working folder, as the\n"
    "window does: about 11 bytes a setting changed, 58 a task list entry or profile sent,\n"
    "some 1 MB a day at one command a second.\n"
    "--trace FILE  append to FILE instead; a regular file, or one that does not exist yet\n"
    "--no-trace    keep no trace\n";

/// Where the overview's command summaries start.
constexpr std::size_t kSummaryColumn = 31;

}  // namespace

std::span<const CommandInfo> allCommands() {
    return kCommands;
}

const CommandInfo* findCommand(std::string_view name) {
    const auto* it = std::find_if(kCommands.begin(), kCommands.end(),
                                  [name](const CommandInfo& c) { return c.name == name; });
    return it == kCommands.end() ? nullptr : it;
}

unsigned flagNamed(std::string_view option) {
    const auto* it = std::find_if(kFlagOptions.begin(), kFlagOptions.end(),
                                  [option](const FlagOption& f) { return f.option == option; });
    return it == kFlagOptions.end() ? 0U : it->flag;
}

std::optional<bool> sweepOptionTakesValue(std::string_view option) {
    const auto* it = std::find_if(kSweepOptions.begin(), kSweepOptions.end(),
                                  [option](const SweepOption& s) { return s.option == option; });
    return it == kSweepOptions.end() ? std::nullopt : std::optional(it->takesValue);
}

std::string overviewHelpText() {
    std::string text =
        "Usage: tavero-ctl [--port PATH | --simulator] [--verbose] COMMAND [ARGUMENTS]\n"
        "\n"
        "Controls a Tavero function generator from scripts, with the profile file and the task\n"
        "list files of the Tavero window.\n"
        "\n"
        "Commands:\n";
    for (const CommandInfo& command : kCommands) {
        std::string line = "  ";
        line += command.synopsis;
        line += line.size() < kSummaryColumn ? std::string(kSummaryColumn - line.size(), ' ')
                                             : "\n" + std::string(kSummaryColumn, ' ');
        text += line;
        text += command.summary;
        text += '\n';
    }
    text +=
        "\n"
        "Options (before the command):\n"
        "  --port PATH        use this serial device instead of searching by USB ids\n"
        "  --simulator        use the built-in simulated generator\n"
        "  --verbose          print every frame received on standard error\n"
        "  --help             show this text; after a command, the text of that command\n"
        "  --version          show the program version\n"
        "\n"
        "The profiles are the window's: Tavero/Profile/Profile.pro in the per-user data folder\n"
        "(on Linux $XDG_DATA_HOME, by default ~/.local/share).\n"
        "\n"
        "Exit status:\n"
        "  0        success\n"
        "  1        the generator failed or did not answer (the disconnect notice included,\n"
        "           but see store below),\n"
        "           a file could not be read or written, or standard output could not be\n"
        "           written (a full disk, a closed output, a pipe whose reader has gone:\n"
        "           play then stops and sends the disconnect notice)\n"
        "  2        usage error, refused input, or a task list that holds no entries\n"
        "  129, 130, 143\n"
        "           SIGHUP, SIGINT or SIGTERM stopped a command on the generator: after the\n"
        "           exchange under way, with the disconnect notice\n"
        "A store whose profile was saved but whose disconnect notice failed ends with 0 and a\n"
        "warning on standard error.\n";
    return text;
}

std::string commandHelpText(const CommandInfo& command) {
    std::string text = "Usage: tavero-ctl [OPTIONS] ";
    text += command.synopsis;
    text += "\n\n";
    text += command.details;
    if ((command.flags & kFlagTrace) != 0) {
        text += kTraceOptionsHelp;
    }
    return text;
}

}  // namespace tavero::ctl
