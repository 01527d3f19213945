// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the generator's stored settings (its `P` reply), as the profile file and as
// a task list file, loaded into the headless main window and task list dialog; the rest of the
// bytes choose what a user then does: step, type, open the dialogs, store and play. Only the
// sanitizers and uncaught exceptions count; a question the script did not foresee ends the run
// quietly.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ios>
#include <sstream>
#include <string>
#include <string_view>

#include "DirectFileWriter.h"
#include "HeadlessError.h"
#include "HeadlessHost.h"
#include "HeadlessWindow.h"
#include "app/CTaveroDlg.h"
#include "core/GeneratorSettings.h"
#include "link/TraceFile.h"
#include "model/GeneratorModel.h"
#include "res/AufgabenlisteTemplate.h"
#include "res/MainWindowIds.h"
#include "res/ModulationTemplate.h"
#include "res/PllTemplate.h"
#include "res/StandardIds.h"
#include "res/WobbelTemplate.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace {

using namespace tavero;
using headless::HeadlessHost;
using headless::HeadlessWindow;

constexpr int kWheelNotch = 120;
constexpr std::size_t kLargestFile = 8192;
constexpr std::size_t kLongestTypedText = 24;
/// Enough for every path through stepping, entries and dialogs; more only makes runs slow.
constexpr int kMostActions = 24;

/// One folder per fuzzing process, in memory where the system offers it.
const std::filesystem::path& workFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path shm = "/dev/shm";
        const std::filesystem::path base =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        std::filesystem::path made = base / ("tavero-window-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(made / "Tavero" / "Profile");
        return made;
    }();
    return folder;
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ui::Point centreOf(const HeadlessWindow& window, int id) {
    const ui::Rect r = window.controlRect(id);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void stepWheel(FuzzedDataProvider& input, HeadlessWindow& window) {
    constexpr int kRadios = res::kRadioFrequencyLast - res::kRadioFrequencyFirst + 1 +
                            res::kRadioAmplitudeLast - res::kRadioAmplitudeFirst + 1;
    const int pick = input.ConsumeIntegralInRange(0, kRadios - 1);
    const int frequencyRadios = res::kRadioFrequencyLast - res::kRadioFrequencyFirst + 1;
    window.click(pick < frequencyRadios ? res::kRadioFrequencyFirst + pick
                                        : res::kRadioAmplitudeFirst + pick - frequencyRadios);
    const int notches = input.ConsumeIntegralInRange(-3, 3);
    window.wheel(notches * kWheelNotch, 0, centreOf(window, res::kFrequencyDigitIds[5]));
}

void clickDigit(FuzzedDataProvider& input, HeadlessWindow& window) {
    const bool amplitude = input.ConsumeBool();
    const int picture = amplitude ? input.PickValueInArray(res::kAmplitudeDigitIds)
                                  : input.PickValueInArray(res::kFrequencyDigitIds);
    window.mouseDown(input.ConsumeBool() ? ui::MouseButton::Left : ui::MouseButton::Right,
                     centreOf(window, picture));
}

/// Enter in a direct-entry edit, with the text it shows (a user confirming it) or typed bytes.
void confirmEdit(FuzzedDataProvider& input, HeadlessWindow& window) {
    const int edit = input.PickValueInArray(res::kEntryEditIds);
    window.type(edit, input.ConsumeBool() ? window.text(edit)
                                          : input.ConsumeRandomLengthString(kLongestTypedText));
    window.setFocus(edit);
    window.pressEnter();
}

void loadProfileRow(FuzzedDataProvider& input, HeadlessWindow& window) {
    const int rows = window.rowCount(res::kComboProfiles);
    if (rows > 0) {
        window.chooseRow(res::kComboProfiles, input.ConsumeIntegralInRange(0, rows - 1));
        window.click(res::kButtonLoadProfile);
    }
}

/// What a user may do in the main window, each with the choices it needs from the input.
using Action = void (*)(FuzzedDataProvider&, HeadlessWindow&);
constexpr std::array<Action, 12> kActions = {
    stepWheel,
    clickDigit,
    confirmEdit,
    loadProfileRow,
    [](FuzzedDataProvider&, HeadlessWindow& w) { w.click(res::kButtonFrequencyUp); },
    [](FuzzedDataProvider&, HeadlessWindow& w) { w.click(res::kButtonFrequencyDown); },
    [](FuzzedDataProvider& in, HeadlessWindow& w) {
        w.scroll(res::kTrackbarAmplitude, ui::ScrollCode::ThumbPosition, in.ConsumeIntegral<int>());
    },
    [](FuzzedDataProvider&, HeadlessWindow& w) { w.click(res::kButtonPll); },
    [](FuzzedDataProvider&, HeadlessWindow& w) { w.click(res::kButtonSweep); },
    [](FuzzedDataProvider&, HeadlessWindow& w) { w.click(res::kButtonModulation); },
    [](FuzzedDataProvider&, HeadlessWindow& w) { w.click(res::kButtonTaskList); },
    [](FuzzedDataProvider&, HeadlessWindow& w) { w.click(res::kButtonSaveProfile); },
};

/// Closes a settings dialog; one whose values it refuses stays open, and the host then
/// complains, which ends this run.
void closeDialog(HeadlessWindow& dialog) {
    dialog.pressEscape();
}

void scriptDialogs(HeadlessHost& host, const std::filesystem::path& taskList) {
    host.scriptModal(res::pll::kDialogId, [](HeadlessWindow& pll) {
        pll.setFocus(res::pll::kOffsetEdit);
        pll.pressEnter();
        closeDialog(pll);
    });
    host.scriptModal(res::wobbel::kDialogId, closeDialog);
    host.scriptModal(res::modulation::kDialogId, closeDialog);
    host.scriptModal(res::aufgabenliste::kDialogId, [&host, taskList](HeadlessWindow& list) {
        namespace ids = res::aufgabenliste;
        host.chooseFile(taskList);
        list.click(ids::kLoad);
        if (list.rowCount(ids::kProfileCombo) > 0) {
            list.type(ids::kDurationEdit, "2");
            list.click(ids::kAdd);
        }
        if (list.isEnabled(ids::kStart)) {
            list.setChecked(ids::kLoopCheck, true);
            list.click(ids::kStart);
            host.advance(5000);
            list.click(ids::kStop);
        }
        if (list.isEnabled(ids::kSave)) {
            host.chooseFile(workFolder() / "saved.tvr");
            list.click(ids::kSave);
        }
        list.pressEscape();
    });
}

/// Connects, plays the input's actions, shows the About box and leaves.
void driveMainWindow(FuzzedDataProvider& input, HeadlessHost& host, app::CTaveroDlg& main) {
    HeadlessWindow& window = host.open(main);
    window.click(res::kButtonConnection);
    for (int done = 0; done < kMostActions && input.remaining_bytes() > 0; ++done) {
        input.PickValueInArray(kActions)(input, window);
    }
    window.chooseMenu(res::kMenuAbout);
    if (main.profileLoaded() && main.settingsModified()) {
        host.answer(ui::Answer::No);
    }
    window.chooseMenu(res::kMenuExit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    SettingsImage image{};
    input.ConsumeData(image.data(), image.size());
    const auto firmwareVersion = input.ConsumeIntegral<std::uint16_t>();
    const std::string profileFile = input.ConsumeRandomLengthString(kLargestFile);
    const std::string taskListFile = input.ConsumeRandomLengthString(kLargestFile);

    const std::filesystem::path& folder = workFolder();
    writeFile(folder / "Tavero" / "Profile" / "Profile.pro", profileFile);
    const std::filesystem::path taskList = folder / "list.tvr";
    writeFile(taskList, taskListFile);

    sim::SimulatedGenerator generator;
    generator.setSettings(fromSettingsImage(image));
    generator.setFirmwareVersion(firmwareVersion);
    sim::SimulatedBridge bridge{generator};
    store::DirectFileWriter fileWriter;
    std::ostringstream diagnostics;
    // No trace: it would grow with every run, and opening it for every byte costs most of the
    // time.
    link::TraceFile trace("");
    model::GeneratorModel generatorModel(bridge, trace, diagnostics);
    app::CTaveroDlg main(generatorModel, fileWriter);
    HeadlessHost host;
    host.setDataFolder(folder / "Tavero");
    host.setDocumentsFolder(folder);
    scriptDialogs(host, taskList);
    try {
        driveMainWindow(input, host, main);
    } catch (const headless::HeadlessError&) {
        // The script met a question or a dialog it did not foresee; nothing went wrong.
    }
    return 0;
}
