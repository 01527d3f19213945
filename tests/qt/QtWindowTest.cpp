// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <deque>
#include <memory>
#include <optional>

#include "IndicatorClick.h"
#include "QtPrinters.h"
#include "RecordingDialog.h"
#include "SampleTemplate.h"
#include "qt/PictureWidget.h"
#include "qt/QtHost.h"
#include "qt/QtWindow.h"
#include "qt/SpinControl.h"

namespace tavero::qt {
namespace {

namespace sample = headless::sample;
using headless::RecordingDialog;
using Events = std::vector<std::string>;

class QtWindowTest : public ::testing::Test {
protected:
    void SetUp() override { open(dialog_, sample::kTemplate); }

    void open(RecordingDialog& dialog, const res::DialogTemplate& dialogTemplate) {
        window_ = std::make_unique<QtWindow>(host_, dialogTemplate, dialog, nullptr);
        window_->open();
        window_->widget().show();
    }

    template <typename Widget>
    Widget* control(int id) const {
        return window_->widget().findChild<Widget*>(QString::number(id));
    }

    /// A point of the client area in the coordinates of the top-level window.
    QPoint inWindow(QPoint client) const {
        return window_->widget().clientArea()->mapTo(&window_->widget(), client);
    }

    QtHost host_{res::TemplateSet{&sample::kTemplate, &sample::kConfirmTemplate}};
    RecordingDialog dialog_{sample::kDialogId};
    std::unique_ptr<QtWindow> window_;
};

TEST_F(QtWindowTest, BuildsEveryControlNamedByItsIdAsTheWidgetOfItsKind) {
    const std::vector<std::pair<int, const char*>> kinds = {
        {sample::kEdit, "QLineEdit"},
        {sample::kDigitsEdit, "QLineEdit"},
        {sample::kButton, "QPushButton"},
        {sample::kTwoLineButton, "QPushButton"},
        {sample::kSinus, "QRadioButton"},
        {sample::kCheckBox, "QCheckBox"},
        {sample::kGroupBox, "QGroupBox"},
        {sample::kUnitLabel, "QLabel"},
        {sample::kDigit, "tavero::qt::PictureWidget"},
        {sample::kListBox, "QListWidget"},
        {sample::kComboBox, "QComboBox"},
        {sample::kTrackbar, "QSlider"},
        {sample::kScrollBar, "QScrollBar"},
        {sample::kSpin, "tavero::qt::SpinControl"},
        {res::kIdOk, "QPushButton"},
    };
    for (const auto& [id, className] : kinds) {
        QWidget* widget = control<QWidget>(id);
        ASSERT_NE(widget, nullptr) << id;
        EXPECT_TRUE(widget->inherits(className))
            << id << " is a " << widget->metaObject()->className();
        const QRect g = widget->geometry();
        const ui::Rect rect = window_->controlRect(id);
        EXPECT_EQ(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top), g)
            << id;
    }
    EXPECT_EQ(window_->widget().windowTitle(), QStringLiteral("Probe"));
    EXPECT_TRUE(control<QPushButton>(res::kIdOk)->isHidden());
    EXPECT_FALSE(control<QPushButton>(sample::kButton)->autoDefault());
    EXPECT_EQ(control<QSlider>(sample::kTrackbar)->orientation(), Qt::Vertical);
    EXPECT_EQ(control<QScrollBar>(sample::kScrollBar)->orientation(), Qt::Horizontal);
    EXPECT_TRUE(control<QLineEdit>(sample::kReadOnlyEdit)->isReadOnly());
    EXPECT_TRUE(control<QWidget>(sample::kDigit)->testAttribute(Qt::WA_TransparentForMouseEvents));
    // The template gives the character cell's height, which is the em plus the leading.
    const QFontMetrics metrics(control<QLabel>(sample::kUnitLabel)->font());
    EXPECT_LE(metrics.height(), 28);
    EXPECT_GE(metrics.height(), 25);
    EXPECT_EQ(control<QPushButton>(sample::kTwoLineButton)->text(),
              QStringLiteral("Kalibrierdaten\nsenden"));
    EXPECT_EQ(window_->text(sample::kTwoLineButton), "Kalibrierdaten senden");
    EXPECT_FALSE(control<QPushButton>(sample::kArrowButton)->icon().isNull());
    for (int command : {sample::kMenuOpen, sample::kMenuQuit, sample::kMenuOffset}) {
        EXPECT_NE(window_->widget().findChild<QAction*>(QString::number(command)), nullptr)
            << command;
    }
}

TEST_F(QtWindowTest, DigitsOnlyEditRefusesOtherTypedCharacters) {
    QLineEdit* edit = control<QLineEdit>(sample::kDigitsEdit);
    QTest::keyClicks(edit, QStringLiteral("1a2"));
    EXPECT_EQ(window_->text(sample::kDigitsEdit), "12");
}

TEST_F(QtWindowTest, WheelCarriesTheKeyStateAndTheClientPosition) {
    struct Case {
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        ui::KeyState keys;
    };
    const std::vector<Case> cases = {
        {Qt::NoButton, Qt::NoModifier, 0},
        {Qt::NoButton, Qt::ShiftModifier, ui::kKeyShift},
        {Qt::NoButton, Qt::ControlModifier, ui::kKeyControl},
        {Qt::LeftButton, Qt::NoModifier, ui::kKeyLeftButton},
        {Qt::RightButton, Qt::NoModifier, ui::kKeyRightButton},
        {Qt::MiddleButton, Qt::NoModifier, ui::kKeyMiddleButton},
        {Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier,
         ui::kKeyLeftButton | ui::kKeyShift | ui::kKeyControl},
    };
    QWidget* client = window_->widget().clientArea();
    Events expected{"init"};
    for (const Case& c : cases) {
        QWheelEvent wheel(QPointF(21, 34), client->mapToGlobal(QPointF(21, 34)), QPoint(),
                          QPoint(0, -120), c.buttons, c.modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(client, &wheel);
        expected.push_back("wheel -120 keys " + std::to_string(c.keys) + " at 21,34");
    }
    EXPECT_EQ(dialog_.events, expected);
}

TEST_F(QtWindowTest, TrackbarsLeaveTheWheelToTheDialog) {
    QSlider* slider = control<QSlider>(sample::kTrackbar);
    window_->setRange(sample::kTrackbar, 0, 1000);
    window_->setPosition(sample::kTrackbar, 500);
    QWheelEvent wheel(QPointF(2, 3), slider->mapToGlobal(QPointF(2, 3)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
    EXPECT_FALSE(wheel.isAccepted());
    EXPECT_EQ(window_->position(sample::kTrackbar), 500);
    EXPECT_EQ(dialog_.events, Events{"init"});
}

TEST_F(QtWindowTest, ClicksOnADigitPictureReachTheWindowInClientCoordinates) {
    const ui::Rect digit = window_->controlRect(sample::kDigit);
    const QPoint onDigit(digit.left + 5, digit.top + 7);
    QWindow* handle = window_->widget().windowHandle();
    ASSERT_NE(handle, nullptr);
    QTest::mouseClick(handle, Qt::LeftButton, {}, inWindow(onDigit));
    QTest::mouseClick(handle, Qt::RightButton, {}, inWindow(onDigit), 1000);
    QTest::mouseDClick(handle, Qt::LeftButton, {}, inWindow(onDigit), 1000);
    const std::string at = " at " + std::to_string(onDigit.x()) + "," + std::to_string(onDigit.y());
    EXPECT_EQ(dialog_.events, (Events{"init", "click left" + at, "click right" + at,
                                      "click left" + at, "click left double" + at}));
}

TEST_F(QtWindowTest, EnterInAnEditReachesOnEnterKeyAndTheHiddenDefaultButtonKeepsTheDialogOpen) {
    QLineEdit* edit = control<QLineEdit>(sample::kEdit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(dialog_.events, (Events{"init", "enter", "enter"}));
    EXPECT_FALSE(window_->ended());
    EXPECT_TRUE(window_->widget().isVisible());
    EXPECT_EQ(window_->focus(), std::optional<int>(sample::kEdit));
}

TEST_F(QtWindowTest, EnterPressesTheFocusedButtonElseTheVisibleDefaultAfterTheDialogSawIt) {
    struct Case {
        const res::DialogTemplate* dialogTemplate;
        std::optional<int> focus;
        bool consumeEnter;
        Events events;
        bool ends;
    };
    const std::vector<Case> cases = {
        {&sample::kTemplate, sample::kButton, false, {"init", "enter", "command 110"}, false},
        {&sample::kTemplate, sample::kSinus, false, {"init", "enter"}, false},  // hidden default
        {&sample::kConfirmTemplate, res::kIdCancel, false, {"init", "enter", "cancel"}, true},
        {&sample::kConfirmTemplate, std::nullopt, false, {"init", "enter", "ok"}, true},
        {&sample::kConfirmTemplate, res::kIdCancel, true, {"init", "enter"}, false},
    };
    std::deque<RecordingDialog> dialogs;
    for (const Case& c : cases) {
        RecordingDialog& dialog = dialogs.emplace_back(c.dialogTemplate->id);
        dialog.consumeEnter = c.consumeEnter;
        open(dialog, *c.dialogTemplate);
        QWidget* target = &window_->widget();
        if (c.focus) {
            target = control<QWidget>(*c.focus);
            target->setFocus();
        } else if (QWidget* focused = window_->widget().focusWidget()) {
            focused->clearFocus();
        }
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_EQ(dialog.events, c.events) << c.dialogTemplate->title << " " << c.focus.value_or(0);
        EXPECT_EQ(window_->ended(), c.ends) << c.focus.value_or(0);
    }
}

TEST_F(QtWindowTest, EscapeReachesOnCancel) {
    QTest::keyClick(control<QLineEdit>(sample::kEdit), Qt::Key_Escape);
    EXPECT_EQ(dialog_.events, (Events{"init", "cancel"}));
    EXPECT_EQ(window_->result(), res::kIdCancel);
    EXPECT_FALSE(window_->widget().isVisible());
}

TEST_F(QtWindowTest, TheCloseBoxReachesOnCloseAndTheLogicDecides) {
    RecordingDialog refusing(sample::kDialogId);
    refusing.endOnOkAndCancel = false;
    open(refusing, sample::kTemplate);
    EXPECT_FALSE(window_->widget().close());
    EXPECT_TRUE(window_->widget().isVisible());
    EXPECT_EQ(refusing.events, (Events{"init", "close", "cancel"}));

    RecordingDialog ending(sample::kDialogId);
    open(ending, sample::kTemplate);
    EXPECT_TRUE(window_->widget().close());
    EXPECT_EQ(ending.events, (Events{"init", "close", "cancel"}));
    EXPECT_EQ(window_->result(), res::kIdCancel);
}

TEST_F(QtWindowTest, TrackbarActionsReachOnScrollWithTheirCodesAfterTheThumbMoved) {
    window_->setRange(sample::kTrackbar, 0, 1000);
    QSlider* slider = control<QSlider>(sample::kTrackbar);
    slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
    slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
    slider->setSliderDown(true);
    slider->setSliderPosition(700);
    slider->setSliderDown(false);
    QTest::keyClick(slider, Qt::Key_Up);
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(dialog_.events,
              (Events{"init", "scroll 170 3 200", "scroll 170 0 199", "scroll 170 5 700",
                      "scroll 170 4 700", "scroll 170 8 700", "scroll 170 0 699",
                      "scroll 170 8 699", "scroll 170 6 0", "scroll 170 8 0"}));
    EXPECT_EQ(window_->position(sample::kTrackbar), 0);
}

TEST_F(QtWindowTest, ScrollBarReportsWhereTheUserWantedItButWaitsForTheLogic) {
    window_->setRange(sample::kScrollBar, 0, 16383);
    window_->setPosition(sample::kScrollBar, 60);
    QScrollBar* bar = control<QScrollBar>(sample::kScrollBar);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window_->position(sample::kScrollBar), 60);
    bar->setSliderDown(true);
    bar->setSliderPosition(100);
    bar->setSliderDown(false);
    EXPECT_EQ(dialog_.events, (Events{"init", "scroll 171 2 60", "scroll 171 1 60",
                                      "scroll 171 5 100", "scroll 171 4 100", "scroll 171 8 100"}));
}

TEST_F(QtWindowTest, SpinArrowsAndUpDownInTheBuddyEditStepTheSpinControl) {
    window_->setRange(sample::kSpin, 1, 3600);
    window_->setPosition(sample::kSpin, 1);
    auto* spin = control<SpinControl>(sample::kSpin);
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    QLineEdit* buddy = control<QLineEdit>(sample::kDigitsEdit);
    QTest::keyClick(buddy, Qt::Key_Up);
    QTest::keyClick(buddy, Qt::Key_Down);
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);
    QTest::keyClick(control<QLineEdit>(sample::kEdit), Qt::Key_Up);  // not a buddy
    EXPECT_EQ(dialog_.events, (Events{"init", "scroll 180 4 2", "scroll 180 4 3", "scroll 180 4 2",
                                      "scroll 180 4 1", "scroll 180 4 1"}));
}

TEST_F(QtWindowTest, ButtonsRadiosCheckBoxesAndMenuCommandsReachTheLogic) {
    clickIndicator(control<QRadioButton>(sample::kSinus));
    window_->setChecked(sample::kStandard, true);
    clickIndicator(control<QRadioButton>(sample::kDreieck));
    clickIndicator(control<QRadioButton>(sample::kDreieck));
    clickIndicator(control<QCheckBox>(sample::kCheckBox));
    QTest::mouseClick(control<QPushButton>(sample::kButton), Qt::LeftButton);
    window_->widget().findChild<QAction*>(QString::number(sample::kMenuOffset))->trigger();
    EXPECT_FALSE(window_->isChecked(sample::kSinus));
    EXPECT_TRUE(window_->isChecked(sample::kDreieck));
    EXPECT_TRUE(window_->isChecked(sample::kStandard));
    EXPECT_TRUE(window_->isChecked(sample::kCheckBox));
    EXPECT_EQ(dialog_.events, (Events{"init", "command 120", "command 121", "command 121",
                                      "command 130", "command 110", "command 32003"}));
}

TEST_F(QtWindowTest, RowsStartUnselectedAndTheSelectionFollowsDeletions) {
    for (int id : {sample::kListBox, sample::kComboBox}) {
        EXPECT_EQ(window_->addRow(id, "1: a"), 0);
        EXPECT_EQ(window_->addRow(id, "2: 100%"), 1);
        EXPECT_EQ(window_->addRow(id, "3: c"), 2);
        EXPECT_EQ(window_->selectedRow(id), ui::kNoRow) << id;
        window_->selectRow(id, 2);
        window_->deleteRow(id, 0);
        EXPECT_EQ(window_->selectedRow(id), 1) << id;
        window_->deleteRow(id, 1);
        EXPECT_EQ(window_->selectedRow(id), ui::kNoRow) << id;
        EXPECT_EQ(window_->rowCount(id), 1) << id;
        window_->deleteAllRows(id);
        EXPECT_EQ(window_->rowCount(id), 0) << id;
    }
    window_->addRow(sample::kComboBox, "1: 100%");
    EXPECT_EQ(control<QComboBox>(sample::kComboBox)->itemText(0), QStringLiteral("1: 100%"));
}

TEST_F(QtWindowTest, WindowOperationsChangeTheWidgetsWithoutNotifying) {
    window_->setText(sample::kEdit, "1000.50");
    window_->setText(sample::kCheckBox, "Schleife");
    window_->setText(sample::kGroupBox, "Frequenz");
    window_->enable(sample::kButton, false);
    window_->show(sample::kUnitLabel, false);
    window_->checkRadio(sample::kDreieck, sample::kCheckBox, sample::kStandard);
    window_->setPicture(sample::kUsbIndicator, res::Picture::usbIndicator(true));
    window_->setTickInterval(sample::kTrackbar, 10);
    window_->setFocus(sample::kComboBox);
    EXPECT_EQ(control<QLineEdit>(sample::kEdit)->text(), QStringLiteral("1000.50"));
    EXPECT_EQ(control<QCheckBox>(sample::kCheckBox)->text(), QStringLiteral("Schleife"));
    EXPECT_EQ(control<QGroupBox>(sample::kGroupBox)->title(), QStringLiteral("Frequenz"));
    EXPECT_FALSE(window_->isEnabled(sample::kButton));
    EXPECT_FALSE(window_->isVisible(sample::kUnitLabel));
    EXPECT_TRUE(window_->isChecked(sample::kStandard));
    EXPECT_EQ(control<PictureWidget>(sample::kUsbIndicator)->picture(),
              res::Picture::usbIndicator(true));
    EXPECT_EQ(control<QSlider>(sample::kTrackbar)->tickPosition(), QSlider::TicksRight);
    EXPECT_EQ(window_->focus(), std::optional<int>(sample::kComboBox));
    EXPECT_EQ(dialog_.events, Events{"init"});
}

TEST_F(QtWindowTest, TimersRunUntilStoppedOrTheDialogEnds) {
    window_->startTimer(1, 1000);
    window_->startTimer(2, 250);
    auto* first = window_->widget().findChild<QTimer*>(QStringLiteral("timer 1"));
    auto* second = window_->widget().findChild<QTimer*>(QStringLiteral("timer 2"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first->isActive());
    // Woken a little before the tick, which then is slept out exactly.
    EXPECT_LE(first->interval(), 1000);
    EXPECT_GE(first->interval(), 997);
    window_->stopTimer(2);
    EXPECT_FALSE(second->isActive());
    window_->endDialog(res::kIdCancel);
    EXPECT_FALSE(first->isActive());
}

TEST_F(QtWindowTest, ScreenshotShowsLitSegmentsOfTheDigit) {
    window_->setText(sample::kEdit, "1000.50");
    // The same binary runs at once with other fonts: each font set writes a file of its own.
    const QString fonts = QFileInfo(qEnvironmentVariable("FONTCONFIG_FILE")).baseName();
    const QString path = QStringLiteral(TAVERO_TEST_OUTPUT_DIR "/sample-dialog-%1.png")
                             .arg(fonts.isEmpty() ? QStringLiteral("machine-fonts") : fonts);
    ASSERT_TRUE(window_->widget().grab().save(path));
    const QImage saved(path);
    EXPECT_EQ(saved.size(), window_->widget().size());

    const auto countLit = [](const QImage& image) {
        int lit = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                lit += image.pixelColor(x, y) == PictureWidget::litColor() ? 1 : 0;
            }
        }
        return lit;
    };
    // Counted against other digits of the same picture, as its size follows the font.
    const auto litOf = [&](res::Picture picture) {
        window_->setPicture(sample::kDigit, picture);
        return countLit(control<QWidget>(sample::kDigit)->grab().toImage());
    };
    const int eight = litOf(res::Picture::digit(8));
    const int one = litOf(res::Picture::digit(1));
    // Seven segments against two.
    EXPECT_GT(eight, 3 * one);
    EXPECT_GT(one, 0);
    EXPECT_EQ(litOf(res::Picture::blank()), 0);
    EXPECT_EQ(countLit(control<QWidget>(sample::kUsbIndicator)->grab().toImage()), 0);
}

}  // namespace
}  // namespace tavero::qt
