// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/GeneratorAccess.h"
#include "model/GeneratorModel.h"
#include "model/GeneratorObserver.h"
#include "ui/Dialog.h"
#include "ui/Window.h"

namespace tavero::dialogs {

/// A dialog that talks to the generator through the model the main window views. While open it
/// is told what other front ends change.
class GeneratorDialog : public ui::Dialog, private model::GeneratorObserver {
public:
    ~GeneratorDialog() override { generator_.unsubscribe(*this); }
    GeneratorDialog(const GeneratorDialog&) = delete;
    GeneratorDialog& operator=(const GeneratorDialog&) = delete;

    /// Reports the failures of the dialog's exchanges to `failures` instead of as the dialog's
    /// own error boxes: the main window takes them, so that a generator found gone leaves the
    /// window disconnected with one message. Must outlive the dialog.
    void reportFailuresTo(link::MessageSink& failures) { failures_ = &failures; }

protected:
    /// The model must outlive the dialog; the dialog's changes come from `frontEnd`.
    explicit GeneratorDialog(model::GeneratorModel& generator,
                             model::FrontEnd frontEnd = model::FrontEnd::kWindow)
        : generator_(generator), frontEnd_(frontEnd) {
        generator_.subscribe(*this);
    }

    /// The model, for the exchanges of one handler.
    GeneratorAccess generator() {
        return GeneratorAccess(host(), failures_, generator_, frontEnd_);
    }
    const GeneratorSettings& settings() const { return generator_.settings(); }

    /// Another front end changed `notice.fields` of the record while the dialog is open.
    virtual void showChange(const model::SettingsNotice& /*notice*/) {}

private:
    void settingsChanged(const model::SettingsNotice& notice) override {
        if (isOpen() && notice.origin.frontEnd != frontEnd_ && notice.fields.any()) {
            showChange(notice);
        }
    }

    /// A VXI-11 lock or SYST:RWL makes the open dialog read-only, as it makes the main window.
    void remoteControlChanged() override {
        if (isOpen()) {
            window().setReadOnly(generator_.remoteControl().windowLocked());
        }
    }

    model::GeneratorModel& generator_;
    model::FrontEnd frontEnd_;
    link::MessageSink* failures_ = nullptr;
};

}  // namespace tavero::dialogs
