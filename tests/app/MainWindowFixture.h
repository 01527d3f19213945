// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DirectFileWriter.h"
#include "HeadlessHost.h"
#include "HeadlessWindow.h"
#include "ModelOnBridge.h"
#include "app/CTaveroDlg.h"
#include "core/GeneratorSettings.h"
#include "res/MainWindowIds.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::app::testing {

using Bytes = std::vector<std::uint8_t>;

/// The main window on the headless host, with a simulated generator attached by USB.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
        : folder_(std::filesystem::temp_directory_path() /
                  ("tavero-main-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))),
          trace_(folder_ / "out.txt") {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        host_->setDataFolder(dataFolder());
        host_->setDocumentsFolder(folder_ / "Dokumente");
    }
    ~MainWindowTest() override { std::filesystem::remove_all(folder_); }

    /// The per-user data folder of the program (not created in advance).
    std::filesystem::path dataFolder() const { return folder_ / "Tavero"; }
    std::filesystem::path profileFile() const { return dataFolder() / "Profile" / "Profile.pro"; }

    headless::HeadlessWindow& open() {
        window_ = &host_->open(*dialog_);
        return *window_;
    }

    /// A new host and main window on the same generator; the old window's port is closed.
    void restart() {
        window_ = nullptr;
        dialog_.reset();
        generatorModel_ =
            std::make_unique<tavero::testing::ModelOnBridge>(bridge_, trace_, diagnostics_);
        dialog_ = std::make_unique<CTaveroDlg>(generatorModel_->model, fileWriter_);
        host_ = std::make_unique<headless::HeadlessHost>();
        host_->setDataFolder(dataFolder());
        host_->setDocumentsFolder(folder_ / "Dokumente");
    }

    /// Opens the window and connects to the generator holding `stored`.
    headless::HeadlessWindow& openConnected(
        const GeneratorSettings& stored = GeneratorSettings::emptyProfile()) {
        generator_.setSettings(stored);
        open();
        window_->click(res::kButtonConnection);
        generator_.clearReceived();
        return *window_;
    }

    /// The letters the generator received, in order.
    std::string received() const { return generator_.receivedLetters(); }
    /// The argument bytes of the last command with this letter.
    Bytes lastArguments(char letter) const {
        Bytes arguments;
        for (const sim::ReceivedCommand& c : generator_.received()) {
            if (c.letter == letter) {
                arguments = c.arguments;
            }
        }
        return arguments;
    }
    /// The texts of the message boxes shown so far.
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& record : host_->messageBoxes()) {
            texts.push_back(record.box.text);
        }
        return texts;
    }
    /// The digits shown, most significant first, blank as ' ', e.g. "    100000".
    std::string frequencyDigits() const;
    std::string amplitudeDigits() const;
    /// The centre of a control, in client coordinates.
    ui::Point centreOf(int id) const;

    std::filesystem::path folder_;
    std::filesystem::path trace_;
    store::DirectFileWriter fileWriter_;
    std::ostringstream diagnostics_;
    sim::SimulatedGenerator generator_;
    sim::SimulatedBridge bridge_{generator_};
    std::unique_ptr<headless::HeadlessHost> host_ = std::make_unique<headless::HeadlessHost>();
    std::unique_ptr<tavero::testing::ModelOnBridge> generatorModel_ =
        std::make_unique<tavero::testing::ModelOnBridge>(bridge_, trace_, diagnostics_);
    std::unique_ptr<CTaveroDlg> dialog_ =
        std::make_unique<CTaveroDlg>(generatorModel_->model, fileWriter_);
    headless::HeadlessWindow* window_ = nullptr;
};

}  // namespace tavero::app::testing
