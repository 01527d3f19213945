// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "DirectFileWriter.h"
#include "FakeRunClock.h"
#include "ctl/CommandLine.h"
#include "ctl/ControlTool.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::ctl {

using store::DirectFileWriter;
using store::fileBytes;

/// The tool on the in-process simulated generator, with a fake clock and a data folder of the
/// test's own.
class ToolTest : public ::testing::Test {
protected:
    ToolTest() {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~ToolTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    int run(const std::vector<std::string>& args) { return runOn(bridge_, args); }

    /// @param heldGenerator as the tool's environment has it; none by default
    int runOn(link::UsbBridge& bridge, const std::vector<std::string>& args,
              decltype(ToolEnvironment::heldGenerator) heldGenerator = {}) {
        ControlTool tool({.bridge = bridge,
                          .out = out_,
                          .errors = errors_,
                          .diagnostics = diagnostics_,
                          .trace = trace_,
                          .profileFile = profileFile_,
                          .fileWriter = writer_,
                          .clock = clock_,
                          .heldGenerator = std::move(heldGenerator)});
        return tool.run(parseCommandLine(args));
    }

    std::filesystem::path writeFile(std::string_view name, std::string_view bytes) const {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    /// The settings image of every `p` the generator received, with the time it came.
    struct SentSettings {
        std::chrono::milliseconds at;
        std::vector<std::uint8_t> image;
    };
    std::vector<SentSettings> settingsSent() const {
        std::vector<SentSettings> sent;
        for (const sim::ReceivedCommand& c : generator_.received()) {
            if (c.letter == 'p') {
                sent.push_back({std::chrono::duration_cast<std::chrono::milliseconds>(
                                    c.time.time_since_epoch()),
                                c.arguments});
            }
        }
        return sent;
    }

    static std::vector<std::uint8_t> imageOf(const GeneratorSettings& settings) {
        const SettingsImage image = toSettingsImage(settings);
        return {image.begin(), image.end()};
    }

    std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() /
        (std::string("tavero-ctl-") +
         ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::path profileFile_ = folder_ / "Tavero" / "Profile" / "Profile.pro";
    FakeRunClock clock_;
    link::TraceFile trace_{folder_ / "out.txt"};
    /// Called as each command reaches the generator, after its arrival is stamped and before
    /// it is carried out.
    std::function<void()> onCommand_;
    sim::SimulatedGenerator generator_{[this] {
        const auto arrival = clock_.timePoint();
        if (onCommand_) {
            onCommand_();
        }
        return arrival;
    }};
    sim::SimulatedBridge bridge_{generator_};
    DirectFileWriter writer_;
    std::ostringstream out_;
    std::ostringstream errors_;
    std::ostringstream diagnostics_;
};

}  // namespace tavero::ctl
