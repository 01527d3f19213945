// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/Dialog.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace tavero::headless {

/// A dialog that writes every handler call into `events` ("command 110", "scroll 170 2 300",
/// "wheel 120 keys 4 at 10,20", "click right double at 5,6", ...) and lets a test hook in.
class RecordingDialog : public ui::Dialog {
public:
    explicit RecordingDialog(int templateId) : templateId_(templateId) {}

    int templateId() const override { return templateId_; }
    void onInit() override;
    void onCommand(int id) override;
    void onOk() override;
    void onCancel() override;
    void onClose() override;
    bool onEnterKey() override;
    void onTimer(int timerId) override;
    void onScroll(int id, ui::ScrollCode code, int position) override;
    void onMouseWheel(const ui::WheelEvent& event) override;
    void onMouseClick(const ui::MouseClick& event) override;

    using ui::Dialog::host;
    using ui::Dialog::window;

    std::vector<std::string> events;
    /// What onEnterKey returns.
    bool consumeEnter = false;
    /// Whether onOk and onCancel end the dialog, as their defaults do.
    bool endOnOkAndCancel = true;
    std::function<void()> whenInit;
    std::function<void(int id)> whenCommand;
    std::function<void(int timerId)> whenTimer;

private:
    int templateId_;
};

}  // namespace tavero::headless
