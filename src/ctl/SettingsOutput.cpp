// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/SettingsOutput.h"

#include <string>

#include "core/NumberText.h"
#include "ctl/JsonObject.h"
#include "ctl/LineSafeText.h"

namespace tavero::ctl {

namespace {

/// As the About box shows it: 120 is "1.20".
std::string firmwareVersionText(std::uint16_t hundredths) {
    return formatFixed(hundredths / 100.0, 2);
}

void printSettingsLines(std::ostream& out, const GeneratorSettings& settings) {
    for (const SettingsField& field : settingsFields()) {
        out << field.key << '=' << field.get(settings) << '\n';
    }
}

void addSettings(JsonObject& object, const GeneratorSettings& settings) {
    for (const SettingsField& field : settingsFields()) {
        object.addInteger(field.key, field.get(settings));
    }
}

}  // namespace

void printGeneratorState(std::ostream& out, std::uint16_t firmwareVersion,
                         const GeneratorSettings& settings, bool json) {
    if (json) {
        JsonObject object;
        object.addNumber("Firmwareversion", firmwareVersionText(firmwareVersion));
        addSettings(object, settings);
        out << object.text() << '\n';
    } else {
        out << "Firmwareversion " << firmwareVersionText(firmwareVersion) << '\n';
        printSettingsLines(out, settings);
    }
}

void printProfile(std::ostream& out, const StoredProfile& profile, bool json) {
    if (json) {
        JsonObject object;
        addSettings(object, profile.settings);
        object.addString("Name", profile.name);
        out << object.text() << '\n';
    } else {
        printSettingsLines(out, profile.settings);
        out << "Name=" << lineSafeText(profile.name) << '\n';
    }
}

}  // namespace tavero::ctl
