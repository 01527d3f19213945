// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeadlessHost.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "HeadlessError.h"

namespace tavero::headless {

HeadlessHost::HeadlessHost(const res::TemplateSet& templates) : templates_(templates) {}

HeadlessHost::~HeadlessHost() {
    if (!answers_.empty()) {
        ADD_FAILURE() << answers_.size() << " scripted message box answer(s) never used";
    }
    if (!fileChoices_.empty()) {
        ADD_FAILURE() << fileChoices_.size() << " scripted file dialog choice(s) never used";
    }
}

HeadlessWindow& HeadlessHost::open(ui::Dialog& dialog) {
    const res::DialogTemplate* dialogTemplate = templates_.find(dialog.templateId());
    if (dialogTemplate == nullptr) {
        throw HeadlessError("no template for dialog " + std::to_string(dialog.templateId()));
    }
    windows_.push_back(std::make_unique<HeadlessWindow>(*this, *dialogTemplate, dialog));
    HeadlessWindow& window = *windows_.back();
    window.open();
    return window;
}

void HeadlessHost::scriptModal(int templateId, ModalScript script) {
    scripts_[templateId] = std::move(script);
}

int HeadlessHost::runModal(ui::Dialog& dialog) {
    const auto script = scripts_.find(dialog.templateId());
    if (script == scripts_.end()) {
        throw HeadlessError("dialog " + std::to_string(dialog.templateId()) +
                            " opened modally without a script");
    }
    HeadlessWindow& window = open(dialog);
    if (!window.ended()) {
        // A copy: the script may replace itself.
        ModalScript run = script->second;
        run(window);
    }
    if (!window.ended()) {
        throw HeadlessError("the script of dialog " + std::to_string(dialog.templateId()) +
                            " left it open");
    }
    modalRuns_.push_back({dialog.templateId(), window.result()});
    return window.result();
}

void HeadlessHost::chooseFile(std::optional<std::filesystem::path> choice) {
    fileChoices_.push_back(std::move(choice));
}

void HeadlessHost::advance(std::int64_t milliseconds) {
    const std::int64_t target = nowMs_ + milliseconds;
    for (;;) {
        HeadlessWindow* earliest = nullptr;
        std::pair<std::int64_t, int> due{};
        for (const auto& window : windows_) {
            const auto next = window->ended() ? std::nullopt : window->nextTimer();
            if (next && next->first <= target && (earliest == nullptr || next->first < due.first)) {
                earliest = window.get();
                due = *next;
            }
        }
        if (earliest == nullptr) {
            break;
        }
        nowMs_ = std::max(nowMs_, due.first);
        earliest->fireTimer(due.second);
    }
    nowMs_ = std::max(nowMs_, target);
}

void HeadlessHost::setWaitCursor(bool on) {
    waitCursor_ = on;
    waitCursorChanges_.push_back(on);
}

void HeadlessHost::pause(int milliseconds) {
    pauses_.push_back(milliseconds);
    nowMs_ += milliseconds;
}

std::optional<std::filesystem::path> HeadlessHost::chooseFileToOpen(
    const ui::FileDialogRequest& request) {
    return fileDialog(FileDialogKind::Open, request);
}

std::optional<std::filesystem::path> HeadlessHost::chooseFileToSave(
    const ui::FileDialogRequest& request) {
    return fileDialog(FileDialogKind::Save, request);
}

std::optional<std::filesystem::path> HeadlessHost::fileDialog(
    FileDialogKind kind, const ui::FileDialogRequest& request) {
    if (fileChoices_.empty()) {
        throw HeadlessError("file dialog \"" + request.title + "\" without a scripted choice");
    }
    std::optional<std::filesystem::path> choice = std::move(fileChoices_.front());
    fileChoices_.pop_front();
    fileDialogs_.push_back({kind, request, choice});
    return choice;
}

std::filesystem::path HeadlessHost::dataFolder() {
    if (!dataFolder_) {
        throw HeadlessError("the test has not set a data folder");
    }
    return *dataFolder_;
}

std::filesystem::path HeadlessHost::documentsFolder() {
    if (!documentsFolder_) {
        throw HeadlessError("the test has not set a documents folder");
    }
    std::filesystem::create_directories(*documentsFolder_);
    return *documentsFolder_;
}

void HeadlessHost::failCreateDirectory(const std::filesystem::path& path,
                                       ui::CreateDirectoryResult result) {
    directoryFailures_[path] = result;
}

ui::CreateDirectoryResult HeadlessHost::createDirectory(const std::filesystem::path& path) {
    const auto failure = directoryFailures_.find(path);
    return failure != directoryFailures_.end() ? failure->second : ui::createDirectory(path);
}

ui::Answer HeadlessHost::showMessageBox(const ui::MessageBoxRequest& box) {
    if (boxObserver_) {
        boxObserver_();
    }
    // A box with only an OK button has nothing to decide: it is acknowledged unless the script
    // holds an OK for it, and only recorded.
    if (box.buttons == ui::Buttons::Ok &&
        (answers_.empty() || answers_.front() != ui::Answer::Ok)) {
        messageBoxes_.push_back({box, ui::Answer::Ok});
        return ui::Answer::Ok;
    }
    const std::string described = "message box \"" + box.caption + "\": \"" + box.text + "\"";
    if (answers_.empty()) {
        throw HeadlessError(described + " without a scripted answer");
    }
    const ui::Answer answer = answers_.front();
    if (!ui::offers(box.buttons, answer)) {
        throw HeadlessError(described + " does not offer the scripted answer");
    }
    answers_.pop_front();
    messageBoxes_.push_back({box, answer});
    return answer;
}

bool HeadlessHost::isInFront(const HeadlessWindow& window) const {
    const auto front =
        std::find_if(windows_.rbegin(), windows_.rend(), [](const auto& w) { return !w->ended(); });
    return front != windows_.rend() && front->get() == &window;
}

}  // namespace tavero::headless
