// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include "HeadlessError.h"
#include "HeadlessHost.h"
#include "RecordingDialog.h"
#include "SampleTemplate.h"

namespace tavero::headless {
namespace {

using Events = std::vector<std::string>;

class HeadlessDialogTest : public ::testing::Test {
protected:
    res::TemplateSet templates_{&sample::kTemplate, &sample::kConfirmTemplate};
    HeadlessHost host_{templates_};
    RecordingDialog dialog_{sample::kDialogId};
};

TEST_F(HeadlessDialogTest, OpensWithTheTemplatesStateAndFocusesTheFirstFocusableControl) {
    HeadlessWindow& w = host_.open(dialog_);
    EXPECT_EQ(dialog_.events, Events{"init"});
    EXPECT_EQ(w.text(sample::kCheckBox), "Filter deaktiviert");
    EXPECT_EQ(w.text(sample::kEdit), "");
    EXPECT_FALSE(w.isVisible(res::kIdOk));
    EXPECT_TRUE(w.isEnabled(sample::kButton));
    EXPECT_EQ(w.picture(sample::kDigit), res::Picture::digit(8, true));
    EXPECT_EQ(w.focus(), std::optional<int>(sample::kEdit));
    EXPECT_EQ(w.controlRect(sample::kDigit), (ui::Rect{15, 23, 63, 88}));
}

TEST_F(HeadlessDialogTest, FocusSetInOnInitStays) {
    dialog_.whenInit = [this] { dialog_.window().setFocus(sample::kButton); };
    EXPECT_EQ(host_.open(dialog_).focus(), std::optional<int>(sample::kButton));
}

TEST_F(HeadlessDialogTest, ButtonsRouteOkAndCancelToTheirHandlersAndOthersToOnCommand) {
    HeadlessWindow& w = host_.open(dialog_);
    w.click(sample::kButton);
    w.chooseMenu(sample::kMenuOffset);
    EXPECT_FALSE(w.ended());
    w.click(res::kIdCancel);
    EXPECT_EQ(dialog_.events, (Events{"init", "command 110", "command 32003", "cancel"}));
    ASSERT_TRUE(w.ended());
    EXPECT_EQ(w.result(), res::kIdCancel);
    EXPECT_FALSE(dialog_.isOpen());

    RecordingDialog confirm(sample::kConfirmDialogId);
    HeadlessWindow& c = host_.open(confirm);
    c.click(res::kIdOk);
    EXPECT_EQ(confirm.events, (Events{"init", "ok"}));
    EXPECT_EQ(c.result(), res::kIdOk);
}

TEST_F(HeadlessDialogTest, RadioClickTicksItAndClearsOnlyItsOwnGroup) {
    HeadlessWindow& w = host_.open(dialog_);
    w.setChecked(sample::kStandard, true);
    w.click(sample::kSinus);
    EXPECT_TRUE(w.isChecked(sample::kSinus));
    EXPECT_TRUE(w.isChecked(sample::kStandard));
    w.click(sample::kDreieck);
    w.click(sample::kDreieck);
    EXPECT_FALSE(w.isChecked(sample::kSinus));
    EXPECT_TRUE(w.isChecked(sample::kDreieck));
    EXPECT_TRUE(w.isChecked(sample::kStandard));
    EXPECT_EQ(dialog_.events, (Events{"init", "command 120", "command 121", "command 121"}));
}

TEST_F(HeadlessDialogTest, CheckBoxHasToggledWhenItsCommandArrives) {
    HeadlessWindow& w = host_.open(dialog_);
    std::vector<bool> seen;
    dialog_.whenCommand = [&](int id) { seen.push_back(dialog_.window().isChecked(id)); };
    w.click(sample::kCheckBox);
    w.click(sample::kCheckBox);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(HeadlessDialogTest, CheckRadioTicksOneAndClearsEveryCheckableIdInTheRange) {
    HeadlessWindow& w = host_.open(dialog_);
    w.setChecked(sample::kCheckBox, true);
    w.setChecked(sample::kSinus, true);
    w.checkRadio(sample::kDreieck, sample::kCheckBox, sample::kWobbeln);
    EXPECT_TRUE(w.isChecked(sample::kSinus));  // below the range
    EXPECT_FALSE(w.isChecked(sample::kDreieck));
    EXPECT_TRUE(w.isChecked(sample::kWobbeln));
    EXPECT_FALSE(w.isChecked(sample::kCheckBox));
    EXPECT_THROW(w.checkRadio(sample::kSinus, sample::kDreieck, sample::kWobbeln), HeadlessError);
}

struct EnterCase {
    const char* name;
    int templateId;
    bool consumeEnter;
    bool defaultEnabled;
    Events events;
    bool ends;
};

TEST_F(HeadlessDialogTest, EnterReachesTheDialogBeforeTheDefaultButton) {
    const std::vector<EnterCase> cases = {
        {"hidden default button does nothing",
         sample::kDialogId,
         false,
         true,
         {"init", "enter"},
         false},
        {"visible default button is clicked",
         sample::kConfirmDialogId,
         false,
         true,
         {"init", "enter", "ok"},
         true},
        {"dialog used the key up", sample::kConfirmDialogId, true, true, {"init", "enter"}, false},
        {"disabled default button",
         sample::kConfirmDialogId,
         false,
         false,
         {"init", "enter"},
         false},
    };
    for (const EnterCase& c : cases) {
        RecordingDialog dialog(c.templateId);
        dialog.consumeEnter = c.consumeEnter;
        HeadlessWindow& w = host_.open(dialog);
        w.enable(res::kIdOk, c.defaultEnabled);
        w.pressEnter();
        EXPECT_EQ(dialog.events, c.events) << c.name;
        EXPECT_EQ(w.ended(), c.ends) << c.name;
        if (!w.ended()) {
            w.pressEscape();
        }
    }
}

TEST_F(HeadlessDialogTest, EscapeCancelsAndTheCloseBoxClosesThroughCancel) {
    HeadlessWindow& escaped = host_.open(dialog_);
    escaped.pressEscape();
    EXPECT_EQ(dialog_.events, (Events{"init", "cancel"}));
    EXPECT_EQ(escaped.result(), res::kIdCancel);

    RecordingDialog refusing(sample::kDialogId);
    refusing.endOnOkAndCancel = false;
    HeadlessWindow& closed = host_.open(refusing);
    closed.pressCloseBox();
    EXPECT_EQ(refusing.events, (Events{"init", "close", "cancel"}));
    EXPECT_FALSE(closed.ended());
    closed.endDialog(7);
    EXPECT_EQ(closed.result(), 7);
}

TEST_F(HeadlessDialogTest, LogicUsingAMissingIdOrTheWrongKindOfControlFails) {
    HeadlessWindow& w = host_.open(dialog_);
    const std::vector<std::pair<const char*, std::function<void()>>> misuses = {
        {"text of a missing id", [&] { w.setText(4711, "x"); }},
        {"text of a list box", [&] { (void)w.text(sample::kListBox); }},
        {"range of an edit", [&] { w.setRange(sample::kEdit, 0, 10); }},
        {"picture of an edit", [&] { w.setPicture(sample::kEdit, res::Picture::blank()); }},
        {"rows of a button", [&] { w.addRow(sample::kButton, "x"); }},
        {"tick of a button", [&] { (void)w.isChecked(sample::kButton); }},
        {"ticks of a scroll bar", [&] { w.setTickInterval(sample::kScrollBar, 10); }},
        {"focus on a label", [&] { w.setFocus(sample::kUnitLabel); }},
        {"empty range", [&] { w.setRange(sample::kTrackbar, 5, 4); }},
        {"missing row", [&] { w.deleteRow(sample::kListBox, 0); }},
        {"timer without period", [&] { w.startTimer(1, 0); }},
        {"unaddressable control", [&] { w.enable(res::kNoId, false); }},
    };
    for (const auto& [name, misuse] : misuses) {
        EXPECT_THROW(misuse(), HeadlessError) << name;
    }
    try {
        w.setText(4711, "x");
    } catch (const HeadlessError& error) {
        EXPECT_STREQ(error.what(),
                     "dialog 900: cannot set the text of control 4711: it is not in the template");
    }
}

TEST_F(HeadlessDialogTest, UserCannotReachDisabledHiddenOrReadOnlyControls) {
    HeadlessWindow& w = host_.open(dialog_);
    w.enable(sample::kButton, false);
    const std::vector<std::pair<const char*, std::function<void()>>> refused = {
        {"disabled button", [&] { w.click(sample::kButton); }},
        {"hidden default button", [&] { w.click(res::kIdOk); }},
        {"edit is not clickable", [&] { w.click(sample::kEdit); }},
        {"read-only edit", [&] { w.type(sample::kReadOnlyEdit, "1"); }},
        {"menu command missing", [&] { w.chooseMenu(sample::kButton); }},
        {"row not there", [&] { w.chooseRow(sample::kListBox, 0); }},
        {"scroll a spin control", [&] { w.scroll(sample::kSpin, ui::ScrollCode::LineUp, 0); }},
    };
    for (const auto& [name, action] : refused) {
        EXPECT_THROW(action(), HeadlessError) << name;
    }
    EXPECT_EQ(dialog_.events, Events{"init"});
}

TEST_F(HeadlessDialogTest, TypingFocusesTheEditAndDigitsOnlyDropsOtherCharacters) {
    HeadlessWindow& w = host_.open(dialog_);
    w.type(sample::kDigitsEdit, " 1a2,5");
    EXPECT_EQ(w.text(sample::kDigitsEdit), "125");
    EXPECT_EQ(w.focus(), std::optional<int>(sample::kDigitsEdit));
    w.setText(sample::kDigitsEdit, "1,5");  // the logic's own text is not filtered
    EXPECT_EQ(w.text(sample::kDigitsEdit), "1,5");
    EXPECT_EQ(dialog_.events, Events{"init"});
}

TEST_F(HeadlessDialogTest, RowsKeepTheirOrderAndTheSelectionFollowsDeletions) {
    HeadlessWindow& w = host_.open(dialog_);
    EXPECT_EQ(w.selectedRow(sample::kListBox), ui::kNoRow);
    EXPECT_EQ(w.addRow(sample::kListBox, "1: a"), 0);
    EXPECT_EQ(w.addRow(sample::kListBox, "2: 100%"), 1);
    EXPECT_EQ(w.addRow(sample::kListBox, "3: c"), 2);
    w.chooseRow(sample::kListBox, 2);
    w.deleteRow(sample::kListBox, 0);
    EXPECT_EQ(w.rows(sample::kListBox), (std::vector<std::string>{"2: 100%", "3: c"}));
    EXPECT_EQ(w.selectedRow(sample::kListBox), 1);
    w.deleteRow(sample::kListBox, 1);
    EXPECT_EQ(w.selectedRow(sample::kListBox), ui::kNoRow);
    EXPECT_EQ(w.rowCount(sample::kListBox), 1);
    w.selectRow(sample::kListBox, 0);
    w.selectRow(sample::kListBox, ui::kNoRow);
    EXPECT_EQ(w.selectedRow(sample::kListBox), ui::kNoRow);
    EXPECT_THROW(w.selectRow(sample::kListBox, 1), HeadlessError);

    w.addRow(sample::kComboBox, "x");
    w.selectRow(sample::kComboBox, 0);
    w.deleteAllRows(sample::kComboBox);
    EXPECT_EQ(w.rowCount(sample::kComboBox), 0);
    EXPECT_EQ(w.selectedRow(sample::kComboBox), ui::kNoRow);
}

TEST_F(HeadlessDialogTest, PositionsStayWithinTheirRange) {
    HeadlessWindow& w = host_.open(dialog_);
    w.setRange(sample::kTrackbar, 0, 1000);
    w.setPosition(sample::kTrackbar, 1200);
    EXPECT_EQ(w.position(sample::kTrackbar), 1000);
    w.setRange(sample::kTrackbar, 0, 500);
    EXPECT_EQ(w.position(sample::kTrackbar), 500);
    w.setPosition(sample::kTrackbar, -1);
    EXPECT_EQ(w.position(sample::kTrackbar), 0);
    w.setTickInterval(sample::kTrackbar, 100);
    EXPECT_EQ(w.tickInterval(sample::kTrackbar), 100);
    EXPECT_EQ(w.maximum(sample::kTrackbar), 500);
}

TEST_F(HeadlessDialogTest, TrackbarsMoveThemselvesScrollBarsWaitForTheLogic) {
    HeadlessWindow& w = host_.open(dialog_);
    w.setRange(sample::kTrackbar, 0, 1000);
    w.setRange(sample::kScrollBar, 0, 16383);
    w.setPosition(sample::kScrollBar, 8192);
    w.scroll(sample::kTrackbar, ui::ScrollCode::PageDown, 300);
    w.scroll(sample::kTrackbar, ui::ScrollCode::ThumbTrack, 2000);
    w.scroll(sample::kScrollBar, ui::ScrollCode::ThumbTrack, 40);
    EXPECT_EQ(w.position(sample::kTrackbar), 1000);
    EXPECT_EQ(w.position(sample::kScrollBar), 8192);

    w.setRange(sample::kSpin, 1, 3600);
    w.stepSpin(sample::kSpin, 1);
    w.stepSpin(sample::kSpin, -5);
    EXPECT_EQ(w.position(sample::kSpin), 1);
    EXPECT_EQ(dialog_.events, (Events{"init", "scroll 170 3 300", "scroll 170 5 1000",
                                      "scroll 171 5 40", "scroll 180 4 2", "scroll 180 4 1"}));
}

TEST_F(HeadlessDialogTest, MouseEventsReachTheDialogOnlyThroughStaticControls) {
    HeadlessWindow& w = host_.open(dialog_);
    const ui::Rect digit = w.controlRect(sample::kDigit);
    const ui::Point onDigit{digit.left + 3, digit.bottom - 1};
    w.wheel(-120, ui::kKeyShift | ui::kKeyControl, {400, 5});
    w.mouseDown(ui::MouseButton::Left, onDigit);
    w.mouseDoubleClick(ui::MouseButton::Right, onDigit);
    w.mouseDown(ui::MouseButton::Left, {1, 1});  // on the hidden default button
    EXPECT_EQ(dialog_.events,
              (Events{"init", "wheel -120 keys 12 at 400,5", "click left at 18,87",
                      "click right at 18,87", "click right double at 18,87", "click left at 1,1"}));

    const ui::Rect button = w.controlRect(sample::kButton);
    EXPECT_THROW(w.mouseDown(ui::MouseButton::Left, {button.left, button.top}), HeadlessError);
    EXPECT_THROW(w.mouseDown(ui::MouseButton::Left, {w.clientRect().right, 0}), HeadlessError);
}

TEST_F(HeadlessDialogTest, AnEndedDialogTakesNoInputButStaysReadable) {
    HeadlessWindow& w = host_.open(dialog_);
    dialog_.whenCommand = [this](int) {
        dialog_.window().endDialog(3);
        dialog_.window().setText(sample::kEdit, "danach");
    };
    w.click(sample::kButton);
    EXPECT_EQ(w.result(), 3);
    EXPECT_EQ(w.text(sample::kEdit), "danach");
    EXPECT_THROW(w.click(sample::kButton), HeadlessError);
    EXPECT_THROW(w.pressEscape(), HeadlessError);
    EXPECT_EQ(dialog_.events, (Events{"init", "command 110"}));
}

TEST_F(HeadlessDialogTest, ADialogEndedInOnInitNeverTakesInput) {
    dialog_.whenInit = [this] { dialog_.window().endDialog(9); };
    HeadlessWindow& w = host_.open(dialog_);
    EXPECT_EQ(w.result(), 9);
    EXPECT_EQ(w.focus(), std::nullopt);
}

}  // namespace
}  // namespace tavero::headless
