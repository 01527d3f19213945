// SPDX-License-Identifier: GPL-3.0-or-later
#include "GermanLocale.h"

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace tavero::testing {

namespace {

constexpr const char* kGerman = "de_DE.UTF-8";

/// Tried with setlocale rather than newlocale, which leaks a little once LOCPATH is set.
bool available() {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const bool opened = std::setlocale(LC_NUMERIC, kGerman) != nullptr;
    std::setlocale(LC_NUMERIC, previous.c_str());
    return opened;
}

/// A folder of this process for the built locale, removed when the process ends.
class BuiltLocales {
public:
    BuiltLocales()
        : folder_(std::filesystem::temp_directory_path() /
                  ("tavero-locales-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(folder_);
    }
    ~BuiltLocales() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    BuiltLocales(const BuiltLocales&) = delete;
    BuiltLocales& operator=(const BuiltLocales&) = delete;

    /// localedef's status is of no use: it warns (and fails) about details of the sources
    /// that do not matter here, so only whether the locale opens afterwards counts.
    void buildGerman() const {
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (folder_ / kGerman).string() + "' >/dev/null 2>&1";
        [[maybe_unused]] const int status = std::system(command.c_str());
        setenv("LOCPATH", folder_.c_str(), 1);
    }

private:
    std::filesystem::path folder_;
};

}  // namespace

std::string germanLocale() {
    static const bool ready = [] {
        if (available()) {
            return true;
        }
        static const BuiltLocales built;
        built.buildGerman();
        return available();
    }();
    return ready ? kGerman : "";
}

}  // namespace tavero::testing
