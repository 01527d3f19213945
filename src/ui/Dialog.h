// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/MouseEvents.h"
#include "ui/ScrollCode.h"

namespace tavero::ui {

class DialogBinding;
class Host;
class Window;

/// The logic of one dialog. A dialog class names its template and overrides the handlers it
/// needs; the host calls them one at a time on the user-interface thread:
///
///     class CWobbelDlg : public ui::Dialog {
///     public:
///         int templateId() const override { return 169; }
///         void onInit() override { window().setText(1009, "0.25"); }
///         bool onEnterKey() override { ... return false; }
///         void onCancel() override { if (allFieldsValid()) window().endDialog(res::kIdCancel); }
///     };
///
///     CWobbelDlg dialog(...);
///     host.runModal(dialog);
///
/// window() and host() are valid from onInit until the dialog has ended.
class Dialog {
public:
    Dialog() = default;
    /// A dialog destroyed while open leaves its window without logic: events stop there.
    virtual ~Dialog();

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    /// The id of the dialog's template (see res::TemplateSet).
    virtual int templateId() const = 0;

    /// Runs once before the dialog is shown, with every control as its template describes it.
    /// The first control that takes the focus gets it afterwards, unless onInit set the focus.
    virtual void onInit() {}
    /// A click on a button, radio button or check box other than kIdOk and kIdCancel, and every
    /// menu command. Radio buttons and check boxes have already changed their tick.
    virtual void onCommand(int /*id*/) {}
    /// The button kIdOk was clicked (also by Enter when it is the visible default button).
    /// The default ends the dialog with kIdOk.
    virtual void onOk();
    /// The button kIdCancel was clicked or Escape was pressed. The default ends the dialog with
    /// kIdCancel.
    virtual void onCancel();
    /// The close box of the window's frame (or the system's close command). The default runs
    /// onCancel.
    virtual void onClose();
    /// The Enter key, wherever the focus is, before the dialog's default handling. Returns true
    /// when the key is used up; otherwise the push button with the focus is clicked, or else the
    /// visible, enabled default button, and a hidden default button does nothing.
    virtual bool onEnterKey() { return false; }
    /// A tick of a timer started with Window::startTimer.
    virtual void onTimer(int /*timerId*/) {}
    /// A notification of trackbar, scroll bar or spin control `id`. `position` is the thumb's
    /// position for ThumbTrack and ThumbPosition, else the control's position. A trackbar or
    /// spin control has already moved; a scroll bar moves only when the logic sets it.
    virtual void onScroll(int /*id*/, ScrollCode /*code*/, int /*position*/) {}
    /// The mouse wheel, turned over the dialog while it is in front. List boxes and drop-down
    /// lists under the pointer take the wheel themselves; trackbars and scroll bars do not.
    /// The keys `+` and `-` outside text fields arrive here too, as one notch with no key held.
    virtual void onMouseWheel(const WheelEvent& /*event*/) {}
    /// A mouse button pressed on the dialog itself or on one of its labels, pictures or group
    /// boxes (other controls take their clicks themselves).
    virtual void onMouseClick(const MouseClick& /*event*/) {}

    /// Routes a click on button `id` the way the window system does: kIdOk to onOk, kIdCancel
    /// to onCancel, any other id to onCommand. The hosts call it; logic may too.
    void command(int id);

    /// Ends the open dialog from outside its own handlers, as Window::endDialog does from
    /// inside: the window that opened it ends it when the generator it talks to is gone.
    void end(int result);

    /// Whether the dialog is open (between onInit and its end).
    bool isOpen() const { return binding_ != nullptr; }

protected:
    Window& window() const;
    Host& host() const;

private:
    friend class DialogBinding;

    DialogBinding* binding_ = nullptr;
};

/// Ties a dialog to the host and window of its modal run while both live. Hosts create one per
/// run; a dialog cannot be open twice at the same time.
class DialogBinding {
public:
    DialogBinding(Dialog& dialog, Host& host, Window& window);
    ~DialogBinding();

    DialogBinding(const DialogBinding&) = delete;
    DialogBinding& operator=(const DialogBinding&) = delete;

    /// The bound dialog; nullptr once it has been destroyed.
    Dialog* dialog() const { return dialog_; }

private:
    friend class Dialog;

    Dialog* dialog_;
    Host& host_;
    Window& window_;
};

}  // namespace tavero::ui
