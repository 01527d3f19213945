// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "res/DialogTemplate.h"
#include "ui/Dialog.h"
#include "ui/Window.h"

namespace tavero::headless {

class HeadlessHost;

/// One open dialog in memory, built from its template. The logic uses it through ui::Window;
/// a test drives it like a user and reads every control back:
///
///     HeadlessWindow& w = host.open(dialog);
///     w.type(1009, "1000,5");
///     w.pressEnter();
///     EXPECT_EQ(w.text(1009), "1000.50");
///     w.click(res::kIdCancel);
///     EXPECT_TRUE(w.ended());
///
/// Every operation refuses, by throwing HeadlessError, what the real window system would not
/// allow: ids missing from the template, operations on the wrong kind of control, and user
/// actions on hidden or disabled controls, on a dialog that is not in front or that has ended.
class HeadlessWindow final : public ui::Window {
public:
    HeadlessWindow(HeadlessHost& host, const res::DialogTemplate& dialogTemplate,
                   ui::Dialog& dialog);
    ~HeadlessWindow() override;

    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // User actions. Each delivers its events to the logic at once.

    /// A button (its command), a radio button (ticks it and clears its group, then its
    /// command) or a check box (toggles it, then its command).
    void click(int id);
    /// Gives the edit the focus and replaces its text, as typing would. A digits-only edit
    /// drops every other character. Notifies nothing.
    void type(int id, std::string_view text);
    /// Dialog::onEnterKey, then, unless it used the key up, the default button if it is
    /// visible and enabled.
    void pressEnter();
    void pressEscape();
    void pressCloseBox();
    void chooseMenu(int commandId);
    /// Selects a row of a list box or drop-down list, as the user would. Notifies nothing.
    void chooseRow(int id, int row);
    /// A notification of trackbar or scroll bar `id`. A trackbar moves to `position` first (it
    /// moves itself, so the test says where it ended); a scroll bar keeps its position and
    /// `position` is only the thumb's position reported with the notification.
    void scroll(int id, ui::ScrollCode code, int position);
    /// Clicks the spin control's up (steps > 0) or down arrow |steps| times at once: the
    /// position moves within the range and one ThumbPosition notification follows.
    void stepSpin(int id, int steps);
    void wheel(int delta, ui::KeyState keys, ui::Point position);
    /// A press at `position` (client coordinates), which must not lie on a control that takes
    /// clicks itself.
    void mouseDown(ui::MouseButton button, ui::Point position);
    /// A double click as it arrives: a press, then a double click.
    void mouseDoubleClick(ui::MouseButton button, ui::Point position);

    // Reading back, beyond what ui::Window offers.

    bool ended() const { return ended_; }
    /// The result given to endDialog.
    int result() const;
    res::Picture picture(int id) const;
    std::vector<std::string> rows(int id) const;
    int minimum(int id) const;
    int maximum(int id) const;
    int tickInterval(int id) const;
    /// The period of a running timer, in ms; nothing when it is not running.
    std::optional<int> timerPeriod(int timerId) const;
    const res::DialogTemplate& dialogTemplate() const { return template_; }
    /// The client area's size.
    ui::Rect clientRect() const;
    void setFrameRect(ui::Rect frame) { frame_ = frame; }

    // ui::Window
    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    void enable(int id, bool enabled) override;
    bool isEnabled(int id) const override;
    void setReadOnly(bool readOnly) override { readOnly_ = readOnly; }
    /// Whether the logic made the window read-only.
    bool readOnly() const { return readOnly_; }
    void show(int id, bool visible) override;
    bool isVisible(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isChecked(int id) const override;
    void checkRadio(int first, int last, int id) override;
    void setPicture(int id, res::Picture picture) override;
    int addRow(int id, std::string_view text) override;
    void deleteRow(int id, int row) override;
    void deleteAllRows(int id) override;
    int rowCount(int id) const override;
    int selectedRow(int id) const override;
    void selectRow(int id, int row) override;
    void setRange(int id, int minimum, int maximum) override;
    void setPosition(int id, int position) override;
    int position(int id) const override;
    void setTickInterval(int id, int interval) override;
    std::optional<int> focus() const override { return focus_; }
    void setFocus(int id) override;
    using ui::Window::startTimer;
    /// The clock moves only between handlers, so every delivery is the same here.
    void startTimer(int timerId, int periodMs, ui::TickDelivery delivery) override;
    void setTextInEffect(int id, std::string_view text) override;
    /// Whether edit `id` shows a text other than the one in effect.
    bool showsTextNotApplied(int id) const;
    void stopTimer(int timerId) override;
    ui::Rect controlRect(int id) const override;
    ui::Rect frameRect() const override { return frame_; }
    void endDialog(int result) override;

private:
    friend class HeadlessHost;

    struct Control {
        const res::ControlTemplate* layout = nullptr;
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        res::Picture picture;
        std::vector<std::string> rows;
        int selected = ui::kNoRow;
        int minimum = 0;
        int maximum = 100;
        int position = 0;
        int tickInterval = 0;
    };

    struct Timer {
        int periodMs = 0;
        std::int64_t dueMs = 0;
    };

    using KindTest = bool (*)(res::ControlKind);

    /// Runs onInit and gives the focus to the first control that takes it.
    void open();
    /// Calls a handler unless the dialog has ended; closes the window once the outermost
    /// handler returns after an end.
    template <typename Handler>
    void deliver(Handler&& handler);
    /// Stops the timers and lets go of the logic.
    void close();
    void fireTimer(int timerId);
    /// Due time of the earliest running timer.
    std::optional<std::pair<std::int64_t, int>> nextTimer() const;

    const Control& control(int id, KindTest fits, std::string_view operation) const;
    Control& control(int id, KindTest fits, std::string_view operation);
    /// A control the user can reach: the dialog is in front and the control visible and
    /// enabled.
    Control& reachable(int id, KindTest fits, std::string_view action);
    void requireInFront(std::string_view action) const;
    void requireOnDialog(ui::Point position, std::string_view action) const;
    [[noreturn]] void fail(const std::string& message) const;

    HeadlessHost& host_;
    const res::DialogTemplate& template_;
    ui::Dialog& dialog_;
    std::optional<ui::DialogBinding> binding_;
    std::vector<Control> controls_;  ///< in template order
    std::map<int, std::size_t> indexById_;
    std::optional<int> focus_;
    std::map<int, Timer> timers_;
    std::map<int, std::string> textsInEffect_;
    ui::Rect frame_;
    int handlersRunning_ = 0;
    bool ended_ = false;
    bool readOnly_ = false;
    int result_ = 0;
};

}  // namespace tavero::headless
