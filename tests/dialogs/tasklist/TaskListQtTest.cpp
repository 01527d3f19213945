// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "DirectFileWriter.h"
#include "SampleTemplate.h"
#include "SimulatedConnection.h"
#include "TaskListSession.h"
#include "qt/QtHost.h"
#include "qt/QtWindow.h"
#include "res/ProgramTemplates.h"

namespace tavero::dialogs {
namespace {

class TaskListQtTest : public ::testing::Test {
protected:
    void SetUp() override {
        const res::DialogTemplate* dialogTemplate = res::programTemplates().find(ids::kDialogId);
        ASSERT_NE(dialogTemplate, nullptr);
        window_ = std::make_unique<qt::QtWindow>(host_, *dialogTemplate, dialog_, nullptr);
        window_->open();
        window_->widget().show();
    }
    void TearDown() override {
        if (!window_->ended()) {
            window_->endDialog(res::kIdCancel);
        }
    }

    template <typename Widget>
    Widget* control(int id) const {
        return window_->widget().findChild<Widget*>(QString::number(id));
    }

    testing::SimulatedConnection connection_;
    store::DirectFileWriter writer_;
    std::vector<StoredProfile> profiles_ = threeProfiles();
    qt::QtHost host_;
    CAufgabenlisteDlg dialog_{profiles_, connection_.model, writer_};
    std::unique_ptr<qt::QtWindow> window_;
};

TEST_F(TaskListQtTest, TheTemplateHoldsEveryControlTheLogicUses) {
    struct Control {
        int id;
        const char* widgetClass;
        QString text;  ///< buttons and check boxes
    };
    const std::vector<Control> controls = {
        {ids::kProfileCombo, "QComboBox", {}},
        {ids::kDurationEdit, "QLineEdit", {}},
        {ids::kDurationSpin, "tavero::qt::SpinControl", {}},
        {ids::kLoopCheck, "QCheckBox", "Schleife"},
        {ids::kAdd, "QPushButton", "Hinzufügen"},
        {ids::kRemove, "QPushButton", "Markierten Eintrag entfernen"},
        {ids::kStart, "QPushButton", "Start"},
        {ids::kStop, "QPushButton", "Stopp"},
        {ids::kReset, "QPushButton", "Zurücksetzen"},
        {ids::kLoad, "QPushButton", "Laden"},
        {ids::kSave, "QPushButton", "Speichern"},
        {res::kIdCancel, "QPushButton", "Schließen"},
        {ids::kRemainingEdit, "QLineEdit", {}},
        {ids::kCurrentNameEdit, "QLineEdit", {}},
        {ids::kEntryList, "QListWidget", {}},
    };
    for (const Control& expected : controls) {
        QWidget* widget = control<QWidget>(expected.id);
        ASSERT_NE(widget, nullptr) << expected.id;
        EXPECT_TRUE(widget->inherits(expected.widgetClass)) << expected.id;
        if (!expected.text.isEmpty()) {
            EXPECT_EQ(window_->text(expected.id), expected.text.toStdString()) << expected.id;
        }
    }
    EXPECT_TRUE(control<QLineEdit>(ids::kRemainingEdit)->isReadOnly());
    EXPECT_TRUE(control<QLineEdit>(ids::kCurrentNameEdit)->isReadOnly());
    EXPECT_EQ(control<QComboBox>(ids::kProfileCombo)->count(), 3);
    EXPECT_EQ(window_->widget().windowTitle(), QStringLiteral("Aufgabenliste"));

    const res::DialogTemplate& dialogTemplate = *res::programTemplates().find(ids::kDialogId);
    EXPECT_EQ(res::templateFault(dialogTemplate), std::nullopt);
    ASSERT_NE(res::findDefaultButton(dialogTemplate), nullptr);
    EXPECT_EQ(res::findDefaultButton(dialogTemplate)->id, res::kIdOk);
    EXPECT_TRUE(control<QPushButton>(res::kIdOk)->isHidden());
}

TEST_F(TaskListQtTest, EnterInTheDurationFieldAddsAnEntryAndKeepsTheDialogOpen) {
    auto* duration = control<QLineEdit>(ids::kDurationEdit);
    duration->setFocus();
    QTest::keyClick(duration, Qt::Key_Up);
    QTest::keyClick(duration, Qt::Key_Up);
    EXPECT_EQ(duration->text(), QStringLiteral("3"));
    QTest::keyClick(duration, Qt::Key_Return);

    EXPECT_FALSE(window_->ended());
    EXPECT_TRUE(window_->widget().isVisible());
    auto* list = control<QListWidget>(ids::kEntryList);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Sinus 1 kHz, Dauer: 3 s"));
    EXPECT_TRUE(control<QPushButton>(ids::kStart)->isEnabled());
}

/// Counts its ticks; a click shows a message box.
class TickCountingDialog final : public ui::Dialog {
public:
    int templateId() const override { return headless::sample::kDialogId; }
    void onCommand(int) override {
        host().messageBox("Warten", "Test", ui::Icon::Information);
        ticksWhileTheBoxWasOpen = ticks;
    }
    void onTimer(int) override { ++ticks; }

    int ticks = 0;
    std::optional<int> ticksWhileTheBoxWasOpen;
};

TEST(QtWindowTicksTest, TicksDueWhileAHandlersBoxIsOpenWaitForTheHandlerAndComeAsOne) {
    qt::QtHost host{res::TemplateSet{&headless::sample::kTemplate}};
    TickCountingDialog dialog;
    qt::QtWindow window(host, headless::sample::kTemplate, dialog, nullptr);
    window.open();
    window.widget().show();
    window.startTimer(1, 10);
    // Open for at least four periods: the box's own loop sees the timer fall due.
    QTimer::singleShot(45, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Ok)->click();
    });
    window.widget().findChild<QPushButton*>(QString::number(headless::sample::kButton))->click();
    EXPECT_EQ(dialog.ticksWhileTheBoxWasOpen, 0);
    EXPECT_EQ(dialog.ticks, 1);
    window.endDialog(res::kIdCancel);
}

}  // namespace
}  // namespace tavero::dialogs
