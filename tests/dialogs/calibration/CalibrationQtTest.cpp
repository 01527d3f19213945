// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "IndicatorClick.h"
#include "ReceivedCommands.h"
#include "SimulatedConnection.h"
#include "dialogs/calibration/CAmplitudeDlg.h"
#include "dialogs/calibration/COffsetDlg.h"
#include "dialogs/calibration/COszillatorDlg.h"
#include "qt/QtHost.h"
#include "qt/QtWindow.h"
#include "res/AmplitudeTemplate.h"
#include "res/OffsetTemplate.h"
#include "res/OszillatorTemplate.h"
#include "res/ProgramTemplates.h"

namespace tavero::dialogs {
namespace {

using Commands = std::vector<std::string>;
using qt::QtWindow;

/// What the Qt window reports about the logic: an id missing from the template or a control of
/// the wrong kind.
std::vector<std::string> windowWarnings;

void recordWindowWarning(QtMsgType type, const QMessageLogContext& /*context*/,
                         const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("dialog "))) {
        windowWarnings.push_back(message.toStdString());
    }
}

class CalibrationQtTest : public ::testing::Test {
protected:
    void SetUp() override {
        windowWarnings.clear();
        previousHandler_ = qInstallMessageHandler(&recordWindowWarning);
    }
    void TearDown() override { qInstallMessageHandler(previousHandler_); }

    /// The dialog on its template from the program's set, shown.
    std::unique_ptr<QtWindow> open(ui::Dialog& dialog) {
        auto window = std::make_unique<QtWindow>(
            host, *res::programTemplates().find(dialog.templateId()), dialog, nullptr);
        window->open();
        window->widget().show();
        return window;
    }

    /// The widget of control `id`, which must be of the expected class.
    template <typename Widget>
    Widget* control(QtWindow& window, int id) {
        auto* widget = window.widget().findChild<Widget*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }

    Commands received() const { return describeReceived(connection.generator); }

    testing::SimulatedConnection connection;
    qt::QtHost host;
    /// The main window's amplitude, which closing gives back.
    const GeneratorSettings& settings = connection.hold({.amplitude = 500});

private:
    QtMessageHandler previousHandler_ = nullptr;
};

TEST_F(CalibrationQtTest, ScrollBarActionsReachTheSliderWithTheirCodes) {
    CAmplitudeDlg dialog(connection.model);
    const auto window = open(dialog);
    QScrollBar* bar = control<QScrollBar>(*window, res::amplitude::kSlider);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 8192);
    connection.generator.clearReceived();

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 8202);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(bar->value(), 8102);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar->value(), 8192);
    bar->setSliderDown(true);
    bar->setSliderPosition(300);
    bar->setSliderDown(false);
    // Bottom and the release that follows keep the position.
    QTest::keyClick(bar, Qt::Key_End);

    EXPECT_EQ(bar->value(), 300);
    EXPECT_EQ(received(), (Commands{"d 8181", "d 8281", "d 8291", "d 8191", "d 16083", "d 16083",
                                    "d 16083", "d 16083", "d 16083"}));
    EXPECT_TRUE(windowWarnings.empty()) << windowWarnings.front();
}

TEST_F(CalibrationQtTest, OffsetAndAmplitudeDialogsFindEveryButtonTheyUse) {
    struct Run {
        ui::Dialog& dialog;
        std::vector<int> buttons;
        Commands expected;
    };
    COffsetDlg offset(connection.model);
    CAmplitudeDlg amplitude(connection.model);
    const std::vector<Run> runs = {
        {offset,
         {res::offset::kMinimumAmplitude, res::offset::kMaximumAmplitude, res::kIdCancel},
         {"d 16383", "d 0", "g 500"}},
        // The send button takes the click only once both levels are stored.
        {amplitude,
         {res::amplitude::kStore200mV, res::amplitude::kStore800mV,
          res::amplitude::kSendCalibration, res::kIdCancel},
         {"d 8191", "q 8191 8191", "g 500"}},
    };
    for (const Run& run : runs) {
        connection.generator.clearReceived();
        const auto window = open(run.dialog);
        for (int id : run.buttons) {
            QPushButton* button = control<QPushButton>(*window, id);
            ASSERT_NE(button, nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        EXPECT_TRUE(window->ended()) << run.dialog.templateId();
        EXPECT_EQ(received(), run.expected) << run.dialog.templateId();
    }
    EXPECT_TRUE(windowWarnings.empty()) << windowWarnings.front();
}

TEST_F(CalibrationQtTest, OszillatorDialogFindsEveryControlItUsesAndSeesEnterInTheFields) {
    COszillatorDlg dialog(connection.model);
    const auto window = open(dialog);
    QRadioButton* method2 = control<QRadioButton>(*window, res::oszillator::kMethod2);
    QLineEdit* method1Edit = control<QLineEdit>(*window, res::oszillator::kMethod1Edit);
    QLineEdit* method2Edit = control<QLineEdit>(*window, res::oszillator::kMethod2Edit);
    QPushButton* send = control<QPushButton>(*window, res::oszillator::kSendCalibration);
    ASSERT_NE(control<QRadioButton>(*window, res::oszillator::kMethod1), nullptr);
    ASSERT_TRUE(method2 != nullptr && method1Edit != nullptr && method2Edit != nullptr &&
                send != nullptr);

    QTest::mouseClick(send, Qt::LeftButton);
    qt::clickIndicator(method2);
    EXPECT_FALSE(method1Edit->isEnabled());
    method2Edit->setFocus();
    method2Edit->selectAll();
    QTest::keyClicks(method2Edit, QStringLiteral("25001000"));
    QTest::keyClick(method2Edit, Qt::Key_Return);

    EXPECT_FALSE(window->ended());
    EXPECT_EQ(received(), (Commands{"k 6710900000", "k 6711168436"}));
    EXPECT_EQ(method2Edit->text(), QStringLiteral("25001000.00"));
    EXPECT_TRUE(windowWarnings.empty()) << windowWarnings.front();
}

}  // namespace
}  // namespace tavero::dialogs
