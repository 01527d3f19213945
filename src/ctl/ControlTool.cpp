#include "ctl/ControlTool.h"

#include <cstdio>
#include <utility>

#include "ctl/GeneratorSession.h"
#include "ctl/SettingAssignments.h"
#include "ctl/UsageError.h"

namespace tavero::ctl {

namespace {

void printSettings(std::ostream& out, std::uint16_t firmwareVersion, const GeneratorSettings& s) {
    char version[32];
    std::snprintf(version, sizeof version, "%.2f", firmwareVersion / 100.0);
    out << "Firmwareversion " << version << '\n';
    for (const SettingsField& field : settingsFields()) {
        out << field.key << '=' << field.get(s) << '\n';
    }
}

bool send(link::DeviceCommands& commands, char letter, const GeneratorSettings& s) {
    switch (letter) {
        case 'c':
            return commands.SendLimits(s);
        case 'f':
            return commands.SendFrequency(s);
        case 'z':
            return commands.SendStep(s);
        case 'g':
            return commands.SendAmplitude(s);
        case 's':
            return commands.SendWaveform(s.signalform);
        case 'a':
            return commands.SendFilter((s.konfiguration & kKonfigurationFilter) != 0);
        case 'e':
            return commands.SendMode(
                static_cast<std::uint8_t>((s.konfiguration & kKonfigurationBetriebsartMask) >> 1));
        case 'w':
            return commands.SendSweep(s);
        case 'm':
            return commands.SendModulation(s);
        case 't':
            return commands.SendPllFactor(s);
        case 'o':
            return commands.SendPllOffset(s);
        default:
            return false;
    }
}

}  // namespace

ControlTool::ControlTool(link::UsbBridge& bridge, std::ostream& out, std::ostream& errors,
                         std::ostream& diagnostics, std::filesystem::path tracePath)
    : bridge_(bridge),
      out_(out),
      errors_(errors),
      diagnostics_(diagnostics),
      tracePath_(std::move(tracePath)) {}

int ControlTool::read() {
    GeneratorSession session(bridge_, errors_, diagnostics_, tracePath_);
    if (!session.open() || !session.readParameters()) {
        return kExitFailure;
    }
    printSettings(out_, session.firmwareVersion, session.settings);
    return kExitSuccess;
}

int ControlTool::set(const std::vector<std::string>& texts) {
    // Everything the tool can judge alone is refused before the generator hears anything.
    std::vector<SettingAssignment> assignments;
    try {
        assignments = parseAssignments(texts);
    } catch (const UsageError& e) {
        errors_ << "tavero-ctl: " << e.what() << '\n';
        return kExitUsage;
    }

    GeneratorSession session(bridge_, errors_, diagnostics_, tracePath_);
    if (!session.open() || !session.readParameters()) {
        return kExitFailure;
    }
    std::string commands;
    try {
        commands = applyAssignments(session.settings, assignments);
    } catch (const UsageError& e) {
        errors_ << "tavero-ctl: " << e.what() << '\n';
        return kExitUsage;
    }
    for (const char letter : commands) {
        if (!send(session.commands(), letter, session.settings)) {
            return kExitFailure;
        }
    }
    return kExitSuccess;
}

}  // namespace tavero::ctl
