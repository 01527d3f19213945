// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SimulatedConnection.h"
#include "core/GeneratorSettings.h"
#include "dialogs/signal/CModulationDlg.h"
#include "dialogs/signal/CPLLDlg.h"
#include "dialogs/signal/CWobbelDlg.h"
#include "qt/QtHost.h"
#include "qt/QtWindow.h"
#include "res/ModulationTemplate.h"
#include "res/PllTemplate.h"
#include "res/ProgramTemplates.h"
#include "res/WobbelTemplate.h"

namespace tavero::dialogs {
namespace {

/// A dialog of the group with what the main window hands it.
using DialogFactory =
    std::function<std::unique_ptr<ui::Dialog>(GeneratorSettings&, testing::SimulatedConnection&)>;

std::unique_ptr<ui::Dialog> makeWobbel(GeneratorSettings& s, testing::SimulatedConnection& c) {
    c.hold(s);
    return std::make_unique<CWobbelDlg>(c.model);
}
std::unique_ptr<ui::Dialog> makeModulation(GeneratorSettings& s, testing::SimulatedConnection& c) {
    c.hold(s);
    return std::make_unique<CModulationDlg>(c.model);
}
std::unique_ptr<ui::Dialog> makePll(GeneratorSettings& s, testing::SimulatedConnection& c) {
    c.hold(s);
    return std::make_unique<CPLLDlg>(s, c.model);
}

struct Control {
    int id;
    const char* widgetClass;
    QString text;  ///< what the widget shows once the dialog is open
};

struct DialogCase {
    const char* name;
    int dialogId;
    DialogFactory make;
    std::vector<Control> controls;  ///< every control the logic addresses
    int edit;                       ///< an edit checked by Enter and by closing
    QString refused;                ///< a text refused there
    QString accepted;               ///< a text accepted there
    QString acceptedShown;          ///< how the field shows it afterwards
    std::string sentOnEnter;        ///< the commands Enter in that edit sends
};

GeneratorSettings openingSettings() {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.modulationseinstellungen = kPmArtPsk | kModulationAm;
    s.pllFaktor = 2;
    s.pllOffset = -150;
    return s;
}

const std::vector<DialogCase>& dialogCases() {
    static const std::vector<DialogCase> cases = {
        {"Wobbeln",
         res::wobbel::kDialogId,
         makeWobbel,
         {
             {res::wobbel::kStartfrequenzEdit, "QLineEdit", "0.25"},
             {res::wobbel::kStoppfrequenzEdit, "QLineEdit", "30000000.00"},
             {res::wobbel::kWobbelfrequenzEdit, "QLineEdit", "10.0"},
             {res::kIdCancel, "QPushButton", "Übernehmen"},
         },
         res::wobbel::kStartfrequenzEdit,
         "1000,05",
         "1000,25",
         "1000.25",
         "w"},
        {"Modulation",
         res::modulation::kDialogId,
         makeModulation,
         {
             {res::modulation::kIntern, "QRadioButton", "intern"},
             {res::modulation::kExtern, "QRadioButton", "extern"},
             {res::modulation::kPsk, "QRadioButton", "PSK"},
             {res::modulation::kFsk, "QRadioButton", "FSK"},
             {res::modulation::kAsk, "QRadioButton", "ASK"},
             {res::modulation::kAm, "QCheckBox", "AM"},
             {res::modulation::kModulationsfrequenzEdit, "QLineEdit", "1000.0"},
             {res::modulation::kPhasenhubEdit, "QLineEdit", "1"},
             {res::modulation::kFrequenzhubEdit, "QLineEdit", "10000.00"},
             {res::modulation::kModulationshubEdit, "QLineEdit", "100"},
             {res::kIdCancel, "QPushButton", "Schließen"},
         },
         res::modulation::kFrequenzhubEdit,
         "0.3",
         "-1000",
         "-1000.00",
         "m"},
        {"PLL",
         res::pll::kDialogId,
         makePll,
         {
             {res::pll::kTeilungsfaktorEdit, "QLineEdit", "2"},
             {res::pll::kOffsetEdit, "QLineEdit", "-1.50"},
             {res::kIdCancel, "QPushButton", "Schließen"},
         },
         res::pll::kOffsetEdit,
         "2000000,01",
         "-2,5",
         "-2.50",
         ""},
    };
    return cases;
}

/// The title and text of the next message box, which is answered with OK.
struct ShownBox {
    QString title;
    QString text;
};

void answerNextBox(ShownBox& shown) {
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no message box";
        shown = {box->windowTitle(), box->text()};
        box->button(QMessageBox::Ok)->click();
    });
}

class SignalDialogsQtTest : public ::testing::Test {
protected:
    void open(const DialogCase& c) {
        dialog_ = c.make(settings_, connection_);
        const res::DialogTemplate* dialogTemplate = res::programTemplates().find(c.dialogId);
        ASSERT_NE(dialogTemplate, nullptr);
        window_ = std::make_unique<qt::QtWindow>(host_, *dialogTemplate, *dialog_, nullptr);
        window_->open();
        window_->widget().show();
    }

    template <typename Widget>
    Widget* control(int id) const {
        return window_->widget().findChild<Widget*>(QString::number(id));
    }

    QLineEdit* edit(const DialogCase& c) const { return control<QLineEdit>(c.edit); }

    testing::SimulatedConnection connection_;
    qt::QtHost host_;
    GeneratorSettings settings_ = openingSettings();
    std::unique_ptr<ui::Dialog> dialog_;
    std::unique_ptr<qt::QtWindow> window_;
};

TEST_F(SignalDialogsQtTest, TemplatesHoldEveryControlTheLogicUsesAndAHiddenDefaultButton) {
    for (const DialogCase& c : dialogCases()) {
        SCOPED_TRACE(c.name);
        open(c);
        for (const Control& expected : c.controls) {
            QWidget* widget = control<QWidget>(expected.id);
            ASSERT_NE(widget, nullptr) << expected.id;
            EXPECT_TRUE(widget->inherits(expected.widgetClass)) << expected.id;
            if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) {
                EXPECT_EQ(lineEdit->text(), expected.text) << expected.id;
            } else {
                EXPECT_EQ(static_cast<QAbstractButton*>(widget)->text(), expected.text)
                    << expected.id;
            }
        }
        auto* ok = control<QPushButton>(res::kIdOk);
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isHidden());
        const res::DialogTemplate& dialogTemplate = *res::programTemplates().find(c.dialogId);
        ASSERT_NE(res::findDefaultButton(dialogTemplate), nullptr);
        EXPECT_EQ(res::findDefaultButton(dialogTemplate)->id, res::kIdOk);
        EXPECT_EQ(res::templateFault(dialogTemplate), std::nullopt);
        window_->endDialog(res::kIdCancel);
    }
}

TEST_F(SignalDialogsQtTest, ModulationRadiosFormTwoGroupsAndShowTheRecordsBits) {
    open(dialogCases()[1]);
    EXPECT_TRUE(control<QRadioButton>(res::modulation::kIntern)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(res::modulation::kPsk)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(res::modulation::kAm)->isChecked());
    // A radio button takes clicks on its indicator and text only, not on the rest of its width.
    auto* ask = control<QRadioButton>(res::modulation::kAsk);
    QTest::mouseClick(ask, Qt::LeftButton, {}, QPoint(4, ask->height() / 2));
    EXPECT_FALSE(control<QRadioButton>(res::modulation::kPsk)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(res::modulation::kIntern)->isChecked());
    EXPECT_EQ(connection_.model.settings().modulationseinstellungen, kPmArtAsk | kModulationAm);
    EXPECT_EQ(connection_.generator.receivedLetters(), "m");
}

TEST_F(SignalDialogsQtTest, EnterInAFieldAppliesItAndKeepsTheDialogOpen) {
    for (const DialogCase& c : dialogCases()) {
        SCOPED_TRACE(c.name);
        connection_.generator.clearReceived();
        open(c);
        edit(c)->setFocus();
        edit(c)->setText(c.accepted);
        QTest::keyClick(edit(c), Qt::Key_Return);
        EXPECT_FALSE(window_->ended());
        EXPECT_TRUE(window_->widget().isVisible());
        EXPECT_EQ(edit(c)->text(), c.acceptedShown);
        EXPECT_EQ(connection_.generator.receivedLetters(), c.sentOnEnter);
        window_->endDialog(res::kIdCancel);
    }
}

// A lock taken and released while the dialog is open, as the main window takes them: its
// controls take no input but the closing button, then each is as it was.
TEST_F(SignalDialogsQtTest, ALockOrLockoutMakesTheOpenDialogReadOnlyUntilReleased) {
    const std::vector<std::pair<const char*, std::function<void(model::GeneratorModel&, bool)>>>
        locks = {
            {"VXI-11 lock",
             [](model::GeneratorModel& g, bool on) { g.setLockHolder(on ? "192.0.2.7" : ""); }},
            {"SYST:RWL", [](model::GeneratorModel& g, bool on) { g.setLockout(on); }},
        };
    for (const DialogCase& c : dialogCases()) {
        for (const auto& [lockName, lock] : locks) {
            SCOPED_TRACE(std::string(c.name) + ", " + lockName);
            open(c);
            window_->enable(res::kIdOk, false);
            lock(connection_.model, true);
            EXPECT_FALSE(edit(c)->isEnabled());
            EXPECT_TRUE(control<QPushButton>(res::kIdCancel)->isEnabled());
            lock(connection_.model, false);
            EXPECT_TRUE(edit(c)->isEnabled());
            EXPECT_FALSE(control<QPushButton>(res::kIdOk)->isEnabled()) << "stays as it was";
            window_->endDialog(res::kIdCancel);
        }
    }
}

TEST_F(SignalDialogsQtTest, EscapeAndTheCloseBoxRunTheChecksOfTheClosingButton) {
    for (const DialogCase& c : dialogCases()) {
        SCOPED_TRACE(c.name);
        open(c);
        const QString refusalTitle = QString::fromUtf8("Ungültige Eingabe");

        edit(c)->setText(c.refused);
        ShownBox byEscape;
        answerNextBox(byEscape);
        QTest::keyClick(edit(c), Qt::Key_Escape);
        EXPECT_EQ(byEscape.title, refusalTitle);
        EXPECT_FALSE(window_->ended());

        edit(c)->setText(c.refused);
        ShownBox byCloseBox;
        answerNextBox(byCloseBox);
        EXPECT_FALSE(window_->widget().close());
        EXPECT_EQ(byCloseBox.title, refusalTitle);
        EXPECT_EQ(byCloseBox.text, byEscape.text);
        EXPECT_TRUE(window_->widget().isVisible());

        edit(c)->setText(c.refused);
        ShownBox byButton;
        answerNextBox(byButton);
        QTest::mouseClick(control<QPushButton>(res::kIdCancel), Qt::LeftButton);
        EXPECT_EQ(byButton.text, byEscape.text);
        EXPECT_FALSE(window_->ended());

        EXPECT_TRUE(window_->widget().close());
        EXPECT_TRUE(window_->ended());
        EXPECT_EQ(window_->result(), res::kIdCancel);
    }
}

}  // namespace
}  // namespace tavero::dialogs
