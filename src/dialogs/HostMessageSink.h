// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "link/MessageSink.h"
#include "ui/Host.h"

namespace tavero::dialogs {

/// Shows the command layer's failures as modal error boxes with an OK button.
class HostMessageSink final : public link::MessageSink {
public:
    explicit HostMessageSink(ui::Host& host) : host_(host) {}

    void showError(std::string_view text, std::string_view caption) override {
        host_.messageBox(text, caption, ui::Icon::Error, ui::Buttons::Ok);
    }

private:
    ui::Host& host_;
};

}  // namespace tavero::dialogs
