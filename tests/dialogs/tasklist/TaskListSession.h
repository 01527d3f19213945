// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ios>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "DirectFileWriter.h"
#include "HeadlessHost.h"
#include "HeadlessWindow.h"
#include "SimulatedConnection.h"
#include "core/GeneratorSettings.h"
#include "core/StoredProfile.h"
#include "dialogs/tasklist/CAufgabenlisteDlg.h"
#include "res/AufgabenlisteTemplate.h"
#include "store/TaskListFile.h"
#include "ui/MessageBox.h"

namespace tavero::dialogs {

namespace ids = res::aufgabenliste;

using Bytes = std::vector<std::uint8_t>;

inline StoredProfile storedProfile(std::string name, std::uint32_t frequenz) {
    GeneratorSettings settings = GeneratorSettings::emptyProfile();
    settings.frequenz = frequenz;
    return {settings, std::move(name)};
}

/// Three stored profiles that differ in their settings images.
inline std::vector<StoredProfile> threeProfiles() {
    return {storedProfile("Sinus 1 kHz", 100000), storedProfile("Sinus 2 kHz", 200000),
            storedProfile("Sinus 3 kHz", 300000)};
}

/// A fresh folder for one test, removed with everything in it afterwards.
class TestFolder {
public:
    TestFolder() {
        static int made = 0;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (std::string("tavero-tasklist-") + test->test_suite_name() + "-" + test->name() +
                 "-" + std::to_string(++made));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path write(std::string_view name, std::string_view bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path path_;
};

/// The task list opened by a connected main window with `profiles`, on a headless host against
/// a simulated generator of its own, its documents folder a fresh temporary one.
class TaskListSession {
public:
    explicit TaskListSession(std::vector<StoredProfile> stored = threeProfiles())
        : profiles(std::move(stored)), dialog(profiles, connection.model, writer), window(open()) {}

    /// Adds the profile of combo row `row` for `seconds` with the button.
    void add(int row, std::string_view seconds) {
        window.chooseRow(ids::kProfileCombo, row);
        window.type(ids::kDurationEdit, seconds);
        window.click(ids::kAdd);
    }
    /// The same with Enter in the duration field.
    void addByEnter(int row, std::string_view seconds) {
        window.chooseRow(ids::kProfileCombo, row);
        window.type(ids::kDurationEdit, seconds);
        window.pressEnter();
    }
    /// One second of the fake clock.
    void tick() { host.advance(1000); }

    /// The settings images of the `p` commands the generator received, in order.
    std::vector<Bytes> sentImages() const {
        std::vector<Bytes> images;
        for (const auto& command : connection.generator.received()) {
            EXPECT_EQ(command.letter, 'p');
            images.push_back(command.arguments);
        }
        return images;
    }
    Bytes imageOf(std::size_t profile) const {
        const SettingsImage image = toSettingsImage(profiles.at(profile).settings);
        return {image.begin(), image.end()};
    }

    /// The command buttons that are enabled, by their texts.
    std::string enabledButtons() const {
        static constexpr std::array<int, 7> kButtons = {
            ids::kStart, ids::kStop, ids::kReset, ids::kLoad, ids::kSave, ids::kAdd, ids::kRemove,
        };
        std::string names;
        for (const int id : kButtons) {
            if (window.isEnabled(id)) {
                names += (names.empty() ? "" : "|") + window.text(id);
            }
        }
        return names;
    }

    /// Saves through the dialog to `name` in the documents folder.
    std::filesystem::path save(std::string_view name = "saved.tvr") {
        const std::filesystem::path path = documents.path() / name;
        host.chooseFile(path);
        window.click(ids::kSave);
        return path;
    }
    /// The list as the dialog saves it now.
    store::TaskList savedList() {
        const store::TaskListRead read = store::readTaskListFile(save("check.tvr"));
        EXPECT_TRUE(read.ok());
        return read.list;
    }
    void load(const std::filesystem::path& path) {
        host.chooseFile(path);
        window.click(ids::kLoad);
    }

    testing::SimulatedConnection connection;
    TestFolder documents;
    store::DirectFileWriter writer;
    headless::HeadlessHost host;
    std::vector<StoredProfile> profiles;
    CAufgabenlisteDlg dialog;
    headless::HeadlessWindow& window;

private:
    headless::HeadlessWindow& open() {
        host.setDocumentsFolder(documents.path());
        return host.open(dialog);
    }
};

/// The buttons enabled while nothing is in the list.
inline constexpr std::string_view kEmptyButtons = "Laden|Hinzufügen";
/// The buttons enabled while the list holds entries and no run goes on.
inline constexpr std::string_view kReadyButtons =
    "Start|Zurücksetzen|Laden|Speichern|Hinzufügen|Markierten Eintrag entfernen";
inline constexpr std::string_view kRunningButtons = "Stopp";

inline ui::MessageBoxRequest information(std::string_view text, std::string_view caption) {
    return {std::string(text), std::string(caption), ui::Icon::Information, ui::Buttons::Ok};
}

}  // namespace tavero::dialogs
