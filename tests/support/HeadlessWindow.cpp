// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeadlessWindow.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "HeadlessError.h"
#include "HeadlessHost.h"

namespace tavero::headless {
namespace {

using res::ControlKind;

bool anyKind(ControlKind) {
    return true;
}
bool isEdit(ControlKind kind) {
    return kind == ControlKind::Edit;
}
bool isTrackbarOrScrollBar(ControlKind kind) {
    return kind == ControlKind::Trackbar || kind == ControlKind::ScrollBar;
}
bool isSpinControl(ControlKind kind) {
    return kind == ControlKind::SpinControl;
}
bool isTrackbar(ControlKind kind) {
    return kind == ControlKind::Trackbar;
}
bool isPicture(ControlKind kind) {
    return kind == ControlKind::Picture;
}
bool isClickable(ControlKind kind) {
    return kind == ControlKind::Button || res::isCheckable(kind);
}

bool contains(const ui::Rect& rect, ui::Point point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

}  // namespace

HeadlessWindow::HeadlessWindow(HeadlessHost& host, const res::DialogTemplate& dialogTemplate,
                               ui::Dialog& dialog)
    : host_(host), template_(dialogTemplate), dialog_(dialog), frame_(clientRect()) {
    if (auto fault = res::templateFault(dialogTemplate)) {
        fail("template fault: " + *fault);
    }
    for (const res::ControlTemplate& layout : dialogTemplate.controls) {
        Control control;
        control.layout = &layout;
        control.text = std::string(layout.text);
        control.enabled = !layout.has(res::style::kDisabled);
        control.visible = !layout.has(res::style::kHidden);
        control.picture = layout.picture;
        if (layout.id != res::kNoId) {
            indexById_[layout.id] = controls_.size();
        }
        controls_.push_back(std::move(control));
    }
}

HeadlessWindow::~HeadlessWindow() = default;

void HeadlessWindow::open() {
    binding_.emplace(dialog_, host_, *this);
    deliver([](ui::Dialog& dialog) { dialog.onInit(); });
    if (ended_ || focus_) {
        return;
    }
    const auto first = std::find_if(controls_.begin(), controls_.end(), [](const Control& c) {
        return c.layout->id != res::kNoId && res::takesFocus(c.layout->kind) && c.visible &&
               c.enabled;
    });
    if (first != controls_.end()) {
        focus_ = first->layout->id;
    }
}

template <typename Handler>
void HeadlessWindow::deliver(Handler&& handler) {
    if (ended_) {
        return;
    }
    ui::Dialog* dialog = binding_ ? binding_->dialog() : nullptr;
    if (dialog == nullptr) {
        fail("its logic has been destroyed");
    }
    struct Running {
        int& count;
        explicit Running(int& c) : count(++c) {}
        ~Running() { --count; }
    } running(handlersRunning_);
    handler(*dialog);
    if (ended_ && handlersRunning_ == 1) {
        close();
    }
}

void HeadlessWindow::close() {
    timers_.clear();
    binding_.reset();
}

// User actions

void HeadlessWindow::click(int id) {
    Control& c = reachable(id, isClickable, "click");
    if (c.layout->kind == ControlKind::RadioButton) {
        for (int member : res::radioGroup(template_, id)) {
            controls_[indexById_.at(member)].checked = member == id;
        }
    } else if (c.layout->kind == ControlKind::CheckBox) {
        c.checked = !c.checked;
    }
    deliver([id](ui::Dialog& dialog) { dialog.command(id); });
}

void HeadlessWindow::type(int id, std::string_view text) {
    Control& c = reachable(id, isEdit, "type into");
    if (c.layout->has(res::style::kReadOnly)) {
        fail("cannot type into read-only edit " + std::to_string(id));
    }
    std::string typed(text);
    if (c.layout->has(res::style::kDigitsOnly)) {
        std::erase_if(typed,
                      [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)) == 0; });
    }
    focus_ = id;
    c.text = std::move(typed);
}

void HeadlessWindow::pressEnter() {
    requireInFront("press Enter in");
    bool used = false;
    deliver([&used](ui::Dialog& dialog) { used = dialog.onEnterKey(); });
    const res::ControlTemplate* button = res::findDefaultButton(template_);
    if (used || ended_ || button == nullptr) {
        return;
    }
    const Control& c = controls_[indexById_.at(button->id)];
    if (c.visible && c.enabled) {
        deliver([id = button->id](ui::Dialog& dialog) { dialog.command(id); });
    }
}

void HeadlessWindow::pressEscape() {
    requireInFront("press Escape in");
    deliver([](ui::Dialog& dialog) { dialog.onCancel(); });
}

void HeadlessWindow::pressCloseBox() {
    requireInFront("press the close box of");
    deliver([](ui::Dialog& dialog) { dialog.onClose(); });
}

void HeadlessWindow::chooseMenu(int commandId) {
    requireInFront("choose a menu command of");
    if (res::findMenuCommand(template_, commandId) == nullptr) {
        fail("menu command " + std::to_string(commandId) + " is not in the template");
    }
    deliver([commandId](ui::Dialog& dialog) { dialog.command(commandId); });
}

void HeadlessWindow::chooseRow(int id, int row) {
    Control& c = reachable(id, res::hasRows, "choose a row of");
    if (row < 0 || row >= static_cast<int>(c.rows.size())) {
        fail("control " + std::to_string(id) + " has no row " + std::to_string(row));
    }
    c.selected = row;
}

void HeadlessWindow::scroll(int id, ui::ScrollCode code, int position) {
    Control& c = reachable(id, isTrackbarOrScrollBar, "scroll");
    if (c.layout->kind == ControlKind::Trackbar) {
        c.position = std::clamp(position, c.minimum, c.maximum);
        position = c.position;
    }
    deliver([id, code, position](ui::Dialog& dialog) { dialog.onScroll(id, code, position); });
}

void HeadlessWindow::stepSpin(int id, int steps) {
    Control& c = reachable(id, isSpinControl, "step");
    c.position = std::clamp(c.position + steps, c.minimum, c.maximum);
    deliver([id, position = c.position](ui::Dialog& dialog) {
        dialog.onScroll(id, ui::ScrollCode::ThumbPosition, position);
    });
}

void HeadlessWindow::wheel(int delta, ui::KeyState keys, ui::Point position) {
    requireInFront("turn the wheel over");
    deliver([&](ui::Dialog& dialog) { dialog.onMouseWheel({delta, keys, position}); });
}

void HeadlessWindow::mouseDown(ui::MouseButton button, ui::Point position) {
    requireOnDialog(position, "press a mouse button on");
    deliver([&](ui::Dialog& dialog) { dialog.onMouseClick({button, false, position}); });
}

void HeadlessWindow::mouseDoubleClick(ui::MouseButton button, ui::Point position) {
    requireOnDialog(position, "double-click on");
    deliver([&](ui::Dialog& dialog) { dialog.onMouseClick({button, false, position}); });
    deliver([&](ui::Dialog& dialog) { dialog.onMouseClick({button, true, position}); });
}

// Reading back

int HeadlessWindow::result() const {
    if (!ended_) {
        fail("the dialog has not ended");
    }
    return result_;
}

res::Picture HeadlessWindow::picture(int id) const {
    return control(id, isPicture, "read the picture of").picture;
}

std::vector<std::string> HeadlessWindow::rows(int id) const {
    return control(id, res::hasRows, "read the rows of").rows;
}

int HeadlessWindow::minimum(int id) const {
    return control(id, res::hasRange, "read the range of").minimum;
}

int HeadlessWindow::maximum(int id) const {
    return control(id, res::hasRange, "read the range of").maximum;
}

int HeadlessWindow::tickInterval(int id) const {
    return control(id, isTrackbar, "read the ticks of").tickInterval;
}

std::optional<int> HeadlessWindow::timerPeriod(int timerId) const {
    const auto it = timers_.find(timerId);
    return it == timers_.end() ? std::nullopt : std::optional<int>(it->second.periodMs);
}

ui::Rect HeadlessWindow::clientRect() const {
    const ui::PixelScale scale;
    return {0, 0, scale.xToPixels(template_.size.width), scale.yToPixels(template_.size.height)};
}

// ui::Window

std::string HeadlessWindow::text(int id) const {
    return control(id, res::hasText, "read the text of").text;
}

void HeadlessWindow::setText(int id, std::string_view text) {
    control(id, res::hasText, "set the text of").text = std::string(text);
}

void HeadlessWindow::enable(int id, bool enabled) {
    control(id, anyKind, "enable").enabled = enabled;
}

bool HeadlessWindow::isEnabled(int id) const {
    return control(id, anyKind, "read the state of").enabled;
}

void HeadlessWindow::show(int id, bool visible) {
    control(id, anyKind, "show").visible = visible;
}

bool HeadlessWindow::isVisible(int id) const {
    return control(id, anyKind, "read the state of").visible;
}

void HeadlessWindow::setChecked(int id, bool checked) {
    control(id, res::isCheckable, "tick").checked = checked;
}

bool HeadlessWindow::isChecked(int id) const {
    return control(id, res::isCheckable, "read the tick of").checked;
}

void HeadlessWindow::checkRadio(int first, int last, int id) {
    control(id, res::isCheckable, "tick");
    if (id < first || id > last) {
        fail("checkRadio: " + std::to_string(id) + " is outside " + std::to_string(first) + ".." +
             std::to_string(last));
    }
    for (auto it = indexById_.lower_bound(first); it != indexById_.end() && it->first <= last;
         ++it) {
        Control& c = controls_[it->second];
        if (res::isCheckable(c.layout->kind)) {
            c.checked = it->first == id;
        }
    }
}

void HeadlessWindow::setPicture(int id, res::Picture picture) {
    control(id, isPicture, "set the picture of").picture = picture;
}

int HeadlessWindow::addRow(int id, std::string_view text) {
    Control& c = control(id, res::hasRows, "add a row to");
    c.rows.emplace_back(text);
    return static_cast<int>(c.rows.size()) - 1;
}

void HeadlessWindow::deleteRow(int id, int row) {
    Control& c = control(id, res::hasRows, "delete a row of");
    if (row < 0 || row >= static_cast<int>(c.rows.size())) {
        fail("control " + std::to_string(id) + " has no row " + std::to_string(row));
    }
    c.rows.erase(c.rows.begin() + row);
    if (c.selected == row) {
        c.selected = ui::kNoRow;
    } else if (c.selected > row) {
        --c.selected;
    }
}

void HeadlessWindow::deleteAllRows(int id) {
    Control& c = control(id, res::hasRows, "delete the rows of");
    c.rows.clear();
    c.selected = ui::kNoRow;
}

int HeadlessWindow::rowCount(int id) const {
    return static_cast<int>(control(id, res::hasRows, "count the rows of").rows.size());
}

int HeadlessWindow::selectedRow(int id) const {
    return control(id, res::hasRows, "read the selection of").selected;
}

void HeadlessWindow::selectRow(int id, int row) {
    Control& c = control(id, res::hasRows, "select a row of");
    if (row < ui::kNoRow || row >= static_cast<int>(c.rows.size())) {
        fail("control " + std::to_string(id) + " has no row " + std::to_string(row));
    }
    c.selected = row;
}

void HeadlessWindow::setRange(int id, int minimum, int maximum) {
    Control& c = control(id, res::hasRange, "set the range of");
    if (minimum > maximum) {
        fail("range " + std::to_string(minimum) + ".." + std::to_string(maximum) + " of control " +
             std::to_string(id) + " is empty");
    }
    c.minimum = minimum;
    c.maximum = maximum;
    c.position = std::clamp(c.position, minimum, maximum);
}

void HeadlessWindow::setPosition(int id, int position) {
    Control& c = control(id, res::hasRange, "set the position of");
    c.position = std::clamp(position, c.minimum, c.maximum);
}

int HeadlessWindow::position(int id) const {
    return control(id, res::hasRange, "read the position of").position;
}

void HeadlessWindow::setTickInterval(int id, int interval) {
    control(id, isTrackbar, "set the ticks of").tickInterval = interval;
}

void HeadlessWindow::setFocus(int id) {
    control(id, res::takesFocus, "focus");
    focus_ = id;
}

void HeadlessWindow::startTimer(int timerId, int periodMs, ui::TickDelivery /*delivery*/) {
    if (periodMs <= 0) {
        fail("timer " + std::to_string(timerId) + " needs a period above 0 ms");
    }
    if (!ended_) {
        timers_[timerId] = {periodMs, host_.nowMs() + periodMs};
    }
}

void HeadlessWindow::setTextInEffect(int id, std::string_view text) {
    control(
        id, [](res::ControlKind kind) { return kind == res::ControlKind::Edit; },
        "mark the text in effect of");
    textsInEffect_[id] = std::string(text);
}

bool HeadlessWindow::showsTextNotApplied(int id) const {
    const auto inEffect = textsInEffect_.find(id);
    return inEffect != textsInEffect_.end() && inEffect->second != text(id);
}

void HeadlessWindow::stopTimer(int timerId) {
    timers_.erase(timerId);
}

ui::Rect HeadlessWindow::controlRect(int id) const {
    return ui::PixelScale{}.toPixels(control(id, anyKind, "locate").layout->rect);
}

void HeadlessWindow::endDialog(int result) {
    ended_ = true;
    result_ = result;
    if (handlersRunning_ == 0) {
        close();
    }
}

// Timers

std::optional<std::pair<std::int64_t, int>> HeadlessWindow::nextTimer() const {
    std::optional<std::pair<std::int64_t, int>> next;
    for (const auto& [id, timer] : timers_) {
        if (!next || timer.dueMs < next->first) {
            next = std::pair(timer.dueMs, id);
        }
    }
    return next;
}

void HeadlessWindow::fireTimer(int timerId) {
    Timer& timer = timers_.at(timerId);
    timer.dueMs += timer.periodMs;
    deliver([timerId](ui::Dialog& dialog) { dialog.onTimer(timerId); });
    // Ticks that fell due while the handler blocked (a pause) merge into one late tick.
    const auto it = timers_.find(timerId);
    if (it != timers_.end() && it->second.dueMs <= host_.nowMs()) {
        const std::int64_t late = host_.nowMs() - it->second.dueMs;
        it->second.dueMs += late - late % it->second.periodMs;
    }
}

// Checks

const HeadlessWindow::Control& HeadlessWindow::control(int id, KindTest fits,
                                                       std::string_view operation) const {
    const auto it = indexById_.find(id);
    if (it == indexById_.end()) {
        fail("cannot " + std::string(operation) + " control " + std::to_string(id) +
             ": it is not in the template");
    }
    const Control& c = controls_[it->second];
    if (!fits(c.layout->kind)) {
        fail("cannot " + std::string(operation) + " control " + std::to_string(id) + ", a " +
             std::string(res::kindName(c.layout->kind)));
    }
    return c;
}

HeadlessWindow::Control& HeadlessWindow::control(int id, KindTest fits,
                                                 std::string_view operation) {
    return const_cast<Control&>(std::as_const(*this).control(id, fits, operation));
}

HeadlessWindow::Control& HeadlessWindow::reachable(int id, KindTest fits, std::string_view action) {
    requireInFront(action);
    Control& c = control(id, fits, action);
    if (!c.visible || !c.enabled) {
        fail("cannot " + std::string(action) + " control " + std::to_string(id) + ": it is " +
             (c.visible ? "disabled" : "hidden"));
    }
    return c;
}

void HeadlessWindow::requireInFront(std::string_view action) const {
    if (ended_) {
        fail("cannot " + std::string(action) + " the dialog: it has ended");
    }
    if (!host_.isInFront(*this)) {
        fail("cannot " + std::string(action) + " the dialog: another dialog is in front");
    }
}

void HeadlessWindow::requireOnDialog(ui::Point position, std::string_view action) const {
    requireInFront(action);
    if (!contains(clientRect(), position)) {
        fail("cannot " + std::string(action) + " (" + std::to_string(position.x) + ", " +
             std::to_string(position.y) + "): outside the client area");
    }
    for (const Control& c : controls_) {
        if (c.visible && !res::passesClicksToDialog(c.layout->kind) &&
            contains(ui::PixelScale{}.toPixels(c.layout->rect), position)) {
            fail("cannot " + std::string(action) + " (" + std::to_string(position.x) + ", " +
                 std::to_string(position.y) + "): " + std::string(res::kindName(c.layout->kind)) +
                 " " + std::to_string(c.layout->id) + " takes the click");
        }
    }
}

void HeadlessWindow::fail(const std::string& message) const {
    throw HeadlessError("dialog " + std::to_string(template_.id) + ": " + message);
}

}  // namespace tavero::headless
