// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "res/Picture.h"
#include "ui/Geometry.h"

namespace tavero::ui {

/// The row index that stands for "no row".
inline constexpr int kNoRow = -1;

/// When the ticks of a timer may reach the logic.
enum class TickDelivery {
    /// Between handlers, and while a handler waits for a modal dialog it opened.
    BetweenHandlers,
    /// Also while a handler of the window waits for a message box or file dialog: for a watch
    /// that must see the world change under an open question. Its handler must leave the
    /// window in a state the waiting handler can go on from.
    DuringHandlers,
};

/// The controls of one open dialog, addressed by the ids of its template.
///
/// A dialog's logic reaches its window through Dialog::window() while the dialog is open:
///
///     window().setText(1011, "12.5");
///     if (window().isChecked(1048)) ...
///     window().endDialog(res::kIdCancel);
///
/// Each operation applies to the kinds named with it. An id that is not in the template, or a
/// kind the operation does not fit, is a fault of the logic: the headless window of the tests
/// refuses it loudly, the real window ignores it with a warning. No operation notifies the
/// logic: setting a text, a tick or a position never runs a handler.
class Window {
public:
    virtual ~Window() = default;

    /// Edits, buttons, radio buttons, check boxes, group boxes and labels; UTF-8.
    virtual std::string text(int id) const = 0;
    virtual void setText(int id, std::string_view text) = 0;
    /// Edits: the text that shows the value in effect. While the edit's text differs from it,
    /// the edit is marked as not applied, and its tooltip says that Enter applies it. An edit
    /// never given one is never marked.
    virtual void setTextInEffect(int id, std::string_view text) = 0;

    /// The text read as a signed decimal integer: leading blanks, an optional sign, then the
    /// digits up to the first other character. 0 when there is no digit or the number does not
    /// fit 32 bits.
    int textAsInt(int id) const;
    /// Sets the text to the decimal form of `value`.
    void setTextFromInt(int id, std::int64_t value);

    /// Any control. A disabled control takes no input.
    virtual void enable(int id, bool enabled) = 0;
    virtual bool isEnabled(int id) const = 0;
    /// Every control but the closing button kIdCancel takes no input while `readOnly`; back,
    /// each is enabled as the logic last set it. Escape and the close box still work.
    virtual void setReadOnly(bool readOnly) = 0;
    /// Any control.
    virtual void show(int id, bool visible) = 0;
    virtual bool isVisible(int id) const = 0;

    /// Radio buttons and check boxes.
    virtual void setChecked(int id, bool checked) = 0;
    virtual bool isChecked(int id) const = 0;
    /// Ticks `id` and clears every other radio button and check box whose id lies in
    /// first..last (inclusive); ids in between that the dialog does not have are skipped.
    virtual void checkRadio(int first, int last, int id) = 0;

    /// Picture controls.
    virtual void setPicture(int id, res::Picture picture) = 0;

    /// List boxes and drop-down lists; rows count from 0 and keep the order they were added in.
    /// Returns the new row's index.
    virtual int addRow(int id, std::string_view text) = 0;
    virtual void deleteRow(int id, int row) = 0;
    virtual void deleteAllRows(int id) = 0;
    virtual int rowCount(int id) const = 0;
    /// kNoRow when no row is selected.
    virtual int selectedRow(int id) const = 0;
    /// kNoRow clears the selection.
    virtual void selectRow(int id, int row) = 0;

    /// Trackbars, scroll bars and spin controls. The control repaints by itself.
    virtual void setRange(int id, int minimum, int maximum) = 0;
    /// The position is kept within the range.
    virtual void setPosition(int id, int position) = 0;
    virtual int position(int id) const = 0;
    /// Trackbars: a tick mark every `interval` positions from the minimum; 0 shows none.
    virtual void setTickInterval(int id, int interval) = 0;

    /// The control with the keyboard focus; nothing when no control of the dialog has it.
    virtual std::optional<int> focus() const = 0;
    /// Controls that take the focus: not labels, group boxes, pictures or spin controls.
    virtual void setFocus(int id) = 0;

    /// Starts (or restarts) timer `timerId`, which calls Dialog::onTimer every `periodMs`
    /// milliseconds until it is stopped or the dialog ends. Ticks never interrupt a handler,
    /// unless it waits for a modal dialog it opened (Host::runModal): the dialog is in front,
    /// and the window behind keeps time. Ticks missed while a handler ran are merged into one.
    void startTimer(int timerId, int periodMs) {
        startTimer(timerId, periodMs, TickDelivery::BetweenHandlers);
    }
    virtual void startTimer(int timerId, int periodMs, TickDelivery delivery) = 0;
    virtual void stopTimer(int timerId) = 0;

    /// Where the control lies, in client coordinates.
    virtual Rect controlRect(int id) const = 0;
    /// The whole window (frame and title bar included) in client coordinates, so its left and
    /// top are negative or zero.
    virtual Rect frameRect() const = 0;

    /// Ends the dialog: its modal run returns `result` once the running handler returns, its
    /// timers stop and no further event reaches the logic.
    virtual void endDialog(int result) = 0;
};

}  // namespace tavero::ui
