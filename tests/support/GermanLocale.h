// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <clocale>
#include <string>

namespace tavero::testing {

/// The name of a German locale, whose decimal separator is the comma, or empty when the system
/// has none and cannot build one. A system without it gets it built by localedef into a
/// temporary folder, which LOCPATH then names for this process and the programs it starts.
std::string germanLocale();

/// Switches the C library of this process to `locale` (as the Qt application object does with
/// the user's) and back to "C" at the end of the scope.
class ScopedCLocale {
public:
    explicit ScopedCLocale(const std::string& locale) { std::setlocale(LC_ALL, locale.c_str()); }
    ~ScopedCLocale() { std::setlocale(LC_ALL, "C"); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;
};

}  // namespace tavero::testing
