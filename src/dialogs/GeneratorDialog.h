// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/GeneratorAccess.h"
#include "ui/Dialog.h"

namespace tavero::dialogs {

/// A dialog that sends its own commands through the main window's port and link.
class GeneratorDialog : public ui::Dialog {
public:
    /// Reports the failures of the dialog's exchanges to `failures` instead of as the dialog's
    /// own error boxes: the main window takes them, so that a generator found gone leaves the
    /// window disconnected with one message. Must outlive the dialog.
    void reportFailuresTo(link::MessageSink& failures) { failures_ = &failures; }

protected:
    /// Port and link are the main window's and must outlive the dialog.
    GeneratorDialog(link::Com& port, link::PacketLink& link) : port_(port), link_(link) {}

    /// The commands, for the exchanges of one handler.
    GeneratorAccess generator() { return GeneratorAccess(host(), failures_, port_, link_); }

private:
    link::Com& port_;
    link::PacketLink& link_;
    link::MessageSink* failures_ = nullptr;
};

}  // namespace tavero::dialogs
