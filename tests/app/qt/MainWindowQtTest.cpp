// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

#include "app/CTaveroDlg.h"
#include "qt/PictureWidget.h"
#include "qt/QtHost.h"
#include "qt/QtWindow.h"
#include "qt/files/QtFileWriter.h"
#include "res/MainWindowIds.h"
#include "res/MainWindowTemplate.h"
#include "res/ProgramTemplates.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"

namespace tavero::app {
namespace {

class MainWindowQtTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A data folder of this test's own, fresh as on a first start: tests run side by side.
        QStandardPaths::setTestModeEnabled(false);
        ::setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
        std::filesystem::remove_all(dataHome_);
        window_ = std::make_unique<qt::QtWindow>(host_, res::kMainWindowTemplate, dialog_, nullptr);
        window_->open();
        window_->widget().show();
    }
    void TearDown() override {
        std::filesystem::remove(trace_);
        std::filesystem::remove_all(dataHome_);
    }

    template <typename Widget>
    Widget* control(int id) const {
        return window_->widget().findChild<Widget*>(QString::number(id));
    }

    std::filesystem::path dataHome_ =
        std::filesystem::temp_directory_path() /
        ("tavero-main-qt-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::path trace_ = dataHome_.string() + "-out.txt";
    std::ostringstream diagnostics_;
    sim::SimulatedGenerator generator_;
    sim::SimulatedBridge bridge_{generator_};
    qt::QtHost host_{res::programTemplates()};
    qt::QtFileWriter fileWriter_;
    CTaveroDlg dialog_{bridge_, fileWriter_, CTaveroDlg::LinkSetup{trace_, &diagnostics_}};
    std::unique_ptr<qt::QtWindow> window_;
};

TEST_F(MainWindowQtTest, EveryControlTheLogicUsesExistsAsItsWidget) {
    std::vector<std::pair<int, const char*>> expected = {
        {res::kButtonConnection, "QPushButton"},  {res::kPictureUsb, "tavero::qt::PictureWidget"},
        {res::kButtonFrequencyUp, "QPushButton"}, {res::kButtonFrequencyDown, "QPushButton"},
        {res::kLabelFrequencyUnit, "QLabel"},     {res::kLabelAmplitudeUnit, "QLabel"},
        {res::kLabelFrequencyEdit, "QLabel"},     {res::kTrackbarAmplitude, "QSlider"},
        {res::kCheckFilterOff, "QCheckBox"},      {res::kComboProfiles, "QComboBox"},
        {res::kEditProfileName, "QLineEdit"},
    };
    for (const int id : res::kFrequencyDigitIds) {
        expected.emplace_back(id, "tavero::qt::PictureWidget");
    }
    for (const int id : res::kAmplitudeDigitIds) {
        expected.emplace_back(id, "tavero::qt::PictureWidget");
    }
    for (int id = res::kRadioFrequencyFirst; id <= res::kRadioFrequencyLast; ++id) {
        expected.emplace_back(id, "QRadioButton");
    }
    for (int id = res::kRadioAmplitudeFirst; id <= res::kRadioAmplitudeLast; ++id) {
        expected.emplace_back(id, "QRadioButton");
    }
    for (int id = res::kRadioSinus; id <= res::kRadioModulation; ++id) {
        expected.emplace_back(id, "QRadioButton");
    }
    for (const int id : res::kEntryEditIds) {
        expected.emplace_back(id, "QLineEdit");
    }
    for (const int id : res::kConnectionControls) {
        ASSERT_NE(control<QWidget>(id), nullptr) << id;
    }
    for (const auto& [id, className] : expected) {
        QWidget* widget = control<QWidget>(id);
        ASSERT_NE(widget, nullptr) << id;
        EXPECT_STREQ(widget->metaObject()->className(), className) << id;
    }
}

TEST_F(MainWindowQtTest, FirstStartListsFiftyEmptyProfiles) {
    const QComboBox* profiles = control<QComboBox>(res::kComboProfiles);
    ASSERT_EQ(profiles->count(), 50);
    EXPECT_EQ(profiles->itemText(49), "50: -- leeres Profil --");
    EXPECT_EQ(profiles->currentIndex(), 0);
    EXPECT_TRUE(std::filesystem::exists(host_.dataFolder() / "Profile" / "Profile.pro"));
}

TEST_F(MainWindowQtTest, ConnectedWindowStepsWithTheWheelAndIsPhotographed) {
    QTest::mouseClick(control<QPushButton>(res::kButtonConnection), Qt::LeftButton);
    ASSERT_TRUE(dialog_.connected());
    EXPECT_EQ(control<QLineEdit>(res::kEditFrequency)->text(), "1000.00");

    // One notch over a digit picture, no key held: the 0.25 Hz digit steps. The window system
    // hands the wheel to the client area, as pictures take no input of their own.
    QWidget* client = window_->widget().clientArea();
    const QPoint at = control<QWidget>(1061)->geometry().center();
    QWheelEvent notch(QPointF(at), QPointF(client->mapToGlobal(at)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(client, &notch);
    EXPECT_EQ(dialog_.settings().frequenz, 100025U);
    EXPECT_EQ(generator_.receivedLetters(), "xPfg");

    const QImage shot = window_->widget().grab().toImage();
    EXPECT_GT(shot.width(), 600);
    EXPECT_TRUE(shot.save(
        QString::fromStdString(std::string(TAVERO_TEST_OUTPUT_DIR) + "/main-window.png")));
}

TEST_F(MainWindowQtTest, SliderActionsAndEnterInEachEditReachTheLogic) {
    QTest::mouseClick(control<QPushButton>(res::kButtonConnection), Qt::LeftButton);
    ASSERT_TRUE(dialog_.connected());

    auto* slider = control<QSlider>(res::kTrackbarAmplitude);
    slider->triggerAction(QAbstractSlider::SliderPageStepAdd);  // a page towards 0 mV
    EXPECT_EQ(dialog_.settings().amplitude, static_cast<std::uint32_t>(1000 - slider->value()));
    EXPECT_LT(dialog_.settings().amplitude, 500U);
    slider->triggerAction(QAbstractSlider::SliderToMinimum);  // Home: no change
    EXPECT_NE(dialog_.settings().amplitude, 1000U);
    slider->setSliderPosition(0);  // the thumb dragged to the top
    slider->triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(dialog_.settings().amplitude, 1000U);

    const std::vector<std::pair<int, const char*>> entries = {{res::kEditStep, "12,25"},
                                                              {res::kEditMaximum, "20000"},
                                                              {res::kEditMinimum, "10"},
                                                              {res::kEditAmplitude, "250"},
                                                              {res::kEditFrequency, "1234,5"}};
    for (const auto& [id, text] : entries) {
        auto* edit = control<QLineEdit>(id);
        edit->setFocus();
        edit->setText(QString::fromUtf8(text));
        QTest::keyClick(edit, Qt::Key_Return);
    }
    EXPECT_TRUE(window_->widget().isVisible());
    const GeneratorSettings& s = dialog_.settings();
    EXPECT_EQ(s.schrittweite, 1225U);
    EXPECT_EQ(s.maximalfrequenz, 2000000U);
    EXPECT_EQ(s.minimalfrequenz, 1000U);
    EXPECT_EQ(s.amplitude, 250U);
    EXPECT_EQ(s.frequenz, 123450U);
    EXPECT_EQ(control<QLineEdit>(res::kEditFrequency)->text(), "1234.50");
}

}  // namespace
}  // namespace tavero::app
