// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>

#include "core/GeneratorSettings.h"
#include "core/StoredProfile.h"
#include "core/TaskEntry.h"

// Readable failure output for the store tests' records.

namespace tavero {

inline void PrintTo(const GeneratorSettings& settings, std::ostream* out) {
    const char* separator = "";
    for (const SettingsField& field : settingsFields()) {
        *out << separator << field.key << '=' << field.get(settings);
        separator = " ";
    }
}

inline void PrintTo(const StoredProfile& profile, std::ostream* out) {
    *out << '"' << profile.name << "\" ";
    PrintTo(profile.settings, out);
}

inline void PrintTo(const TaskEntry& entry, std::ostream* out) {
    *out << "Duration=" << entry.duration << " ElementNr=" << entry.elementNr << ' ';
    PrintTo(entry.profile, out);
}

}  // namespace tavero
