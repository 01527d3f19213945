// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingDialog.h"

namespace tavero::headless {
namespace {

std::string at(ui::Point point) {
    return " at " + std::to_string(point.x) + "," + std::to_string(point.y);
}

}  // namespace

void RecordingDialog::onInit() {
    events.emplace_back("init");
    if (whenInit) {
        whenInit();
    }
}

void RecordingDialog::onCommand(int id) {
    events.push_back("command " + std::to_string(id));
    if (whenCommand) {
        whenCommand(id);
    }
}

void RecordingDialog::onOk() {
    events.emplace_back("ok");
    if (endOnOkAndCancel) {
        ui::Dialog::onOk();
    }
}

void RecordingDialog::onCancel() {
    events.emplace_back("cancel");
    if (endOnOkAndCancel) {
        ui::Dialog::onCancel();
    }
}

void RecordingDialog::onClose() {
    events.emplace_back("close");
    ui::Dialog::onClose();
}

bool RecordingDialog::onEnterKey() {
    events.emplace_back("enter");
    return consumeEnter;
}

void RecordingDialog::onTimer(int timerId) {
    events.push_back("timer " + std::to_string(timerId));
    if (whenTimer) {
        whenTimer(timerId);
    }
}

void RecordingDialog::onScroll(int id, ui::ScrollCode code, int position) {
    events.push_back("scroll " + std::to_string(id) + " " + std::to_string(static_cast<int>(code)) +
                     " " + std::to_string(position));
}

void RecordingDialog::onMouseWheel(const ui::WheelEvent& event) {
    events.push_back("wheel " + std::to_string(event.delta) + " keys " +
                     std::to_string(event.keys) + at(event.position));
}

void RecordingDialog::onMouseClick(const ui::MouseClick& event) {
    events.push_back(std::string("click ") +
                     (event.button == ui::MouseButton::Left ? "left" : "right") +
                     (event.doubleClick ? " double" : "") + at(event.position));
}

}  // namespace tavero::headless
