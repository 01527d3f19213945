// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/tasklist/CAufgabenlisteDlg.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialogs/tasklist/TaskListButtons.h"
#include "res/AufgabenlisteTemplate.h"
#include "store/ProfileRowText.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::aufgabenliste;

constexpr int kRunTimer = 1;
constexpr int kTickMs = 1000;

constexpr int kMinimumDurationS = 1;
constexpr int kMaximumDurationS = 3600;

constexpr std::string_view kDurationRefusal =
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n Wertebereich : 1s - 3600s";
constexpr std::string_view kDurationRefusalCaption = "Eingabefehler";

/// The stored duration as the signed number a file may hold, e.g. -5 rather than 4294967291.
std::int32_t signedDuration(const TaskEntry& entry) {
    return static_cast<std::int32_t>(entry.duration);
}

std::string entryRowText(const TaskEntry& entry) {
    // Appended, never formatted: a percent sign in the name is shown as it is.
    return entry.profile.name + ", Dauer: " + std::to_string(signedDuration(entry)) + " s";
}

}  // namespace

CAufgabenlisteDlg::CAufgabenlisteDlg(const std::vector<StoredProfile>& profiles,
                                     model::GeneratorModel& generator,
                                     store::FileWriter& fileWriter)
    : GeneratorDialog(generator, model::FrontEnd::kTaskList),
      profiles_(profiles),
      fileWriter_(fileWriter) {}

int CAufgabenlisteDlg::templateId() const {
    return ids::kDialogId;
}

void CAufgabenlisteDlg::onInit() {
    window().setRange(ids::kDurationSpin, kMinimumDurationS, kMaximumDurationS);
    window().setPosition(ids::kDurationSpin, kMinimumDurationS);
    window().setTextFromInt(ids::kDurationEdit, window().position(ids::kDurationSpin));
    applyButtons(window(), ButtonSituation::Empty);
    documentsFolder_ = host().documentsFolder();
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        window().addRow(ids::kProfileCombo, store::profileRowText(i, profiles_[i].name));
    }
    if (!profiles_.empty()) {
        window().selectRow(ids::kProfileCombo, 0);
    }
}

void CAufgabenlisteDlg::onCommand(int id) {
    struct Handler {
        int id;
        void (CAufgabenlisteDlg::*handle)();
    };
    static constexpr std::array<Handler, 7> kHandlers = {{
        {ids::kAdd, &CAufgabenlisteDlg::addEntry},
        {ids::kRemove, &CAufgabenlisteDlg::removeSelectedEntry},
        {ids::kReset, &CAufgabenlisteDlg::reset},
        {ids::kStart, &CAufgabenlisteDlg::start},
        {ids::kStop, &CAufgabenlisteDlg::stop},
        {ids::kLoad, &CAufgabenlisteDlg::LoadTaskList},
        {ids::kSave, &CAufgabenlisteDlg::SaveTaskList},
    }};
    const auto handler = std::find_if(kHandlers.begin(), kHandlers.end(),
                                      [id](const Handler& h) { return h.id == id; });
    if (handler != kHandlers.end()) {
        (this->*handler->handle)();
    }
}

bool CAufgabenlisteDlg::onEnterKey() {
    if (window().focus() != ids::kDurationEdit) {
        return false;
    }
    addEntry();
    return true;
}

void CAufgabenlisteDlg::onCancel() {
    if (running_) {
        stop();
    }
    entries_.clear();
    window().endDialog(res::kIdCancel);
}

void CAufgabenlisteDlg::onScroll(int id, ui::ScrollCode /*code*/, int /*position*/) {
    if (id == ids::kDurationSpin) {
        window().setTextFromInt(ids::kDurationEdit, window().position(ids::kDurationSpin));
    }
}

void CAufgabenlisteDlg::addEntry() {
    const int profile = window().selectedRow(ids::kProfileCombo);
    // Without stored profiles there is nothing to copy into an entry.
    if (profile == ui::kNoRow || static_cast<std::size_t>(profile) >= profiles_.size()) {
        return;
    }
    const int duration = window().textAsInt(ids::kDurationEdit);
    // Taken as unsigned, so that every negative value is out of range too.
    if (duration == 0 || static_cast<std::uint32_t>(duration) > kMaximumDurationS) {
        host().messageBox(kDurationRefusal, kDurationRefusalCaption, ui::Icon::Warning);
        window().setTextFromInt(ids::kDurationEdit, window().position(ids::kDurationSpin));
        return;
    }
    window().setPosition(ids::kDurationSpin, duration);
    ++entryCounter_;
    entries_.push_back({profiles_[static_cast<std::size_t>(profile)],
                        static_cast<std::uint32_t>(duration), entryCounter_});
    rebuildEntryList();
    // During a run the list only grows: the run's buttons stay as they are.
    applyButtons(window(), running_ ? ButtonSituation::Running : ButtonSituation::Ready);
}

void CAufgabenlisteDlg::removeSelectedEntry() {
    const int row = window().selectedRow(ids::kEntryList);
    if (row == ui::kNoRow || static_cast<std::size_t>(row) >= entries_.size()) {
        return;
    }
    entries_.erase(entries_.begin() + row);
    entryCounter_ = 0;
    for (TaskEntry& entry : entries_) {
        entry.elementNr = ++entryCounter_;
    }
    window().deleteRow(ids::kEntryList, row);
    if (window().rowCount(ids::kEntryList) == 0) {
        applyButtons(window(), ButtonSituation::RemovedLast);
    }
}

void CAufgabenlisteDlg::reset() {
    entries_.clear();
    entryCounter_ = 0;
    window().deleteAllRows(ids::kEntryList);
    applyButtons(window(), ButtonSituation::Empty);
}

void CAufgabenlisteDlg::start() {
    running_ = true;
    current_ = 0;
    // Started before the first send, so that every later step keeps its place on the grid of
    // seconds counted from this click, however long the exchanges take; the row is shown after
    // the send, as on every tick, so that nothing delays it.
    window().startTimer(kRunTimer, kTickMs);
    const bool sent = sendCurrent();
    showCurrent();
    if (sent) {
        applyButtons(window(), ButtonSituation::Running);
    } else {
        stop();
    }
}

void CAufgabenlisteDlg::onTimer(int timerId) {
    if (timerId != kRunTimer || !running_) {
        return;
    }
    if (remainingSeconds_ > 1) {
        --remainingSeconds_;
        window().setTextFromInt(ids::kRemainingEdit, remainingSeconds_);
        return;
    }
    ++current_;
    if (current_ >= entries_.size()) {
        if (!window().isChecked(ids::kLoopCheck)) {
            stop();
            return;
        }
        current_ = 0;
    }
    if (!sendCurrent()) {
        stop();
    }
    showCurrent();
}

void CAufgabenlisteDlg::stop() {
    window().stopTimer(kRunTimer);
    running_ = false;
    applyButtons(window(), ButtonSituation::Ready);
}

bool CAufgabenlisteDlg::sendCurrent() {
    GeneratorAccess access = generator();
    return access.apply(model::Edit::whole(entries_[current_].profile.settings));
}

void CAufgabenlisteDlg::showCurrent() {
    const TaskEntry& entry = entries_[current_];
    // Shown as stored; a hold time below 1 (only a file can hold one) still lasts one tick,
    // as the next tick finds nothing left to count down.
    remainingSeconds_ = signedDuration(entry);
    window().setTextFromInt(ids::kRemainingEdit, remainingSeconds_);
    window().setText(ids::kCurrentNameEdit, entry.profile.name);
    // The row by place in the list: numbers loaded from a file need not match the places.
    window().selectRow(ids::kEntryList, static_cast<int>(current_));
}

void CAufgabenlisteDlg::rebuildEntryList() {
    window().deleteAllRows(ids::kEntryList);
    for (const TaskEntry& entry : entries_) {
        window().addRow(ids::kEntryList, entryRowText(entry));
    }
    if (running_) {
        window().selectRow(ids::kEntryList, static_cast<int>(current_));
    }
}

}  // namespace tavero::dialogs
