// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as the generator's stored settings (its `P` reply), as the profile file and as
// a task list file, loaded into the headless main window and task list dialog, then shown,
// stepped, typed back, stored and played. Only the sanitizers and uncaught exceptions count; a
// question the script did not foresee ends the run quietly.
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
constexpr std::size_t kLargestProfileFile = 8192;

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

/// Every stepping path once in each direction, on both digit rows.
void stepEverything(HeadlessWindow& window) {
    const ui::Point inside = centreOf(window, res::kFrequencyDigitIds[5]);
    for (int radio = res::kRadioFrequencyFirst; radio <= res::kRadioAmplitudeLast; ++radio) {
        if (radio > res::kRadioFrequencyLast && radio < res::kRadioAmplitudeFirst) {
            continue;
        }
        window.click(radio);
        window.wheel(kWheelNotch, 0, inside);
        window.wheel(-kWheelNotch, 0, inside);
    }
    for (const int picture : res::kFrequencyDigitIds) {
        window.mouseDown(ui::MouseButton::Left, centreOf(window, picture));
        window.mouseDown(ui::MouseButton::Right, centreOf(window, picture));
    }
    for (const int picture : res::kAmplitudeDigitIds) {
        window.mouseDown(ui::MouseButton::Left, centreOf(window, picture));
        window.mouseDown(ui::MouseButton::Right, centreOf(window, picture));
    }
    window.click(res::kButtonFrequencyUp);
    window.click(res::kButtonFrequencyDown);
    window.scroll(res::kTrackbarAmplitude, ui::ScrollCode::ThumbPosition,
                  window.position(res::kTrackbarAmplitude));
}

/// Enter in every direct-entry edit with the text it shows, as a user confirming each field.
void confirmEveryEdit(HeadlessWindow& window) {
    for (const int edit : res::kEntryEditIds) {
        window.type(edit, window.text(edit));
        window.setFocus(edit);
        window.pressEnter();
    }
}

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

void driveMainWindow(HeadlessHost& host, app::CTaveroDlg& main) {
    HeadlessWindow& window = host.open(main);
    window.click(res::kButtonConnection);
    stepEverything(window);
    confirmEveryEdit(window);
    window.chooseMenu(res::kMenuAbout);
    window.click(res::kButtonPll);
    window.click(res::kButtonSweep);
    window.click(res::kButtonModulation);
    window.click(res::kButtonTaskList);

    const int rows = window.rowCount(res::kComboProfiles);
    for (int row = 0; row < rows && row < 3; ++row) {
        window.chooseRow(res::kComboProfiles, row);
        window.click(res::kButtonLoadProfile);
        stepEverything(window);
        confirmEveryEdit(window);
        window.click(res::kButtonPll);
        window.click(res::kButtonSaveProfile);
    }
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
    const std::string profileFile = input.ConsumeRandomLengthString(kLargestProfileFile);
    const std::string taskListFile = input.ConsumeRemainingBytesAsString();

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
    app::CTaveroDlg main(bridge, fileWriter, app::CTaveroDlg::LinkSetup{"", &diagnostics});
    HeadlessHost host;
    host.setDataFolder(folder / "Tavero");
    host.setDocumentsFolder(folder);
    scriptDialogs(host, taskList);
    try {
        driveMainWindow(host, main);
    } catch (const headless::HeadlessError&) {
        // The script met a question or a dialog it did not foresee; nothing went wrong.
    }
    return 0;
}
