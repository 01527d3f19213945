// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStandardPaths>
#include <QStyleOptionGroupBox>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ModelOnBridge.h"
#include "RecordingDialog.h"
#include "app/CTaveroDlg.h"
#include "qt/PictureWidget.h"
#include "qt/QtHost.h"
#include "qt/QtWindow.h"
#include "res/AufgabenlisteTemplate.h"
#include "res/MainWindowIds.h"
#include "res/MainWindowTemplate.h"
#include "res/ProgramTemplates.h"
#include "res/WobbelTemplate.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedGenerator.h"
#include "store/AtomicFileWriter.h"

namespace tavero::app {
namespace {

/// Whether the image holds a square of 2 × 2 device pixels that are not all alike: a picture
/// drawn at twice the resolution has them along every edge, one drawn once and doubled has none.
bool hasFinerDetailThanDoubledPixels(const QImage& image) {
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb corner = image.pixel(x, y);
            if (image.pixel(x + 1, y) != corner || image.pixel(x, y + 1) != corner ||
                image.pixel(x + 1, y + 1) != corner) {
                return true;
            }
        }
    }
    return false;
}

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
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
         std::to_string(::getpid()));
    std::filesystem::path trace_ = dataHome_.string() + "-out.txt";
    std::ostringstream diagnostics_;
    sim::SimulatedGenerator generator_;
    sim::SimulatedBridge bridge_{generator_};
    qt::QtHost host_{res::programTemplates()};
    store::AtomicFileWriter fileWriter_;
    tavero::testing::ModelOnBridge generatorModel_{bridge_, trace_, diagnostics_};
    CTaveroDlg dialog_{generatorModel_.model, fileWriter_};
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

/// Connects the way a keyboard user does: Enter on the focused connect button.
void connectByKeyboard(qt::QtWindow& window) {
    auto* button = window.widget().findChild<QPushButton*>(QString::number(res::kButtonConnection));
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
}

bool isDigitRadio(int id) {
    return (id >= res::kRadioFrequencyFirst && id <= res::kRadioFrequencyLast) ||
           (id >= res::kRadioAmplitudeFirst && id <= res::kRadioAmplitudeLast);
}

TEST_F(MainWindowQtTest, DigitRadiosAreOneTabStopAndTheArrowsMoveTheSelection) {
    connectByKeyboard(*window_);
    ASSERT_TRUE(dialog_.connected());
    const auto tabStops = [this] {
        std::vector<int> stops;
        for (int id = res::kRadioFrequencyFirst; id <= res::kRadioAmplitudeLast; ++id) {
            auto* radio = control<QRadioButton>(id);
            if (isDigitRadio(id) && (radio->focusPolicy() & Qt::TabFocus) != 0) {
                stops.push_back(id);
            }
        }
        return stops;
    };
    EXPECT_EQ(tabStops(), std::vector<int>{res::kRadioFrequencyLast});

    // From the 0.1 Hz digit across to the amplitude, round the end and back.
    const std::vector<std::pair<Qt::Key, int>> moves = {
        {Qt::Key_Right, 1018}, {Qt::Key_Down, 1019}, {Qt::Key_Right, 1020}, {Qt::Key_Right, 1021},
        {Qt::Key_Right, 1000}, {Qt::Key_Left, 1021}, {Qt::Key_Up, 1020},    {Qt::Key_Left, 1019},
        {Qt::Key_Left, 1018},  {Qt::Key_Left, 1008}, {Qt::Key_Up, 1007},
    };
    control<QRadioButton>(res::kRadioFrequencyLast)->setFocus();
    for (const auto& [key, selected] : moves) {
        QTest::keyClick(window_->widget().focusWidget(), key);
        EXPECT_EQ(window_->focus(), std::optional<int>(selected)) << selected;
        EXPECT_EQ(tabStops(), std::vector<int>{selected});
        for (int id = res::kRadioFrequencyFirst; id <= res::kRadioAmplitudeLast; ++id) {
            if (isDigitRadio(id)) {
                EXPECT_EQ(window_->isChecked(id), id == selected) << id << " after " << selected;
            }
        }
    }
    EXPECT_TRUE(window_->isChecked(res::kRadioSinus));
    EXPECT_TRUE(window_->isChecked(res::kRadioStandard));

    QTest::keyClick(window_->widget().focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(isDigitRadio(window_->focus().value_or(res::kNoId)));
    QTest::keyClick(window_->widget().focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(window_->focus(), std::optional<int>(1007));
}

TEST_F(MainWindowQtTest, PlusAndMinusStepTheSelectedDigitAsOneWheelNotchOutsideTextFields) {
    connectByKeyboard(*window_);
    ASSERT_TRUE(dialog_.connected());
    struct Case {
        int focus;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::uint32_t frequenz;
        std::string sent;
    };
    const std::vector<Case> cases = {
        {res::kComboProfiles, Qt::Key_Plus, Qt::NoModifier, 100025, "fg"},
        {res::kTrackbarAmplitude, Qt::Key_Minus, Qt::KeypadModifier, 100000, "fg"},
        {res::kRadioFrequencyLast, Qt::Key_Minus, Qt::NoModifier, 99975, "fg"},
        {res::kButtonConnection, Qt::Key_Plus, Qt::ShiftModifier, 100000, "fg"},
        {res::kEditFrequency, Qt::Key_Plus, Qt::NoModifier, 100000, ""},
        {res::kComboProfiles, Qt::Key_Plus, Qt::ControlModifier, 100000, ""},
    };
    for (const Case& c : cases) {
        const std::size_t before = generator_.receivedLetters().size();
        QWidget* focused = control<QWidget>(c.focus);
        focused->setFocus();
        QTest::keyClick(focused, c.key, c.modifiers);
        EXPECT_EQ(dialog_.settings().frequenz, c.frequenz) << c.focus;
        EXPECT_EQ(generator_.receivedLetters().substr(before), c.sent) << c.focus;
    }
    EXPECT_EQ(control<QLineEdit>(res::kEditFrequency)->text().right(1), QStringLiteral("+"));
}

TEST(MainWindowStartQtTest, AnUnreadableProfileFileIsSaidOverTheShownWindowWithTheWarningIcon) {
    const std::filesystem::path dataHome =
        std::filesystem::temp_directory_path() /
        ("tavero-main-qt-unreadable-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dataHome);
    QStandardPaths::setTestModeEnabled(false);
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    qt::QtHost host{res::programTemplates()};
    // A folder where the file belongs: no one can read it as a file.
    std::filesystem::create_directories(host.dataFolder() / "Profile" / "Profile.pro");

    sim::SimulatedGenerator generator;
    sim::SimulatedBridge bridge{generator};
    store::AtomicFileWriter fileWriter;
    std::ostringstream diagnostics;
    tavero::testing::ModelOnBridge generatorModel{bridge, dataHome.string() + "-out.txt",
                                                  diagnostics};
    CTaveroDlg dialog{generatorModel.model, fileWriter};
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString parentTitle;
    bool parentShown = false;
    // At every turn of the event loop: the message first, then the window is closed.
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            icon = box->icon();
            const QWidget* parent = box->parentWidget();
            parentTitle = parent != nullptr ? parent->windowTitle() : QString();
            parentShown = parent != nullptr && parent->isVisible();
            box->defaultButton()->click();
        } else if (auto* main = qobject_cast<QDialog*>(modal)) {
            main->reject();  // Escape
        }
    });
    turn.start(0);
    host.runModal(dialog);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(parentTitle, QStringLiteral("Tavero"));
    EXPECT_TRUE(parentShown);
    std::filesystem::remove_all(dataHome);
}

/// Answers every message box with its default button and runs `inDialog` once on the first
/// other modal dialog, at every turn of whatever event loop runs, while it lives.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QWidget*)> inDialog = {})
        : inDialog_(std::move(inDialog)) {
        QObject::connect(&turn_, &QTimer::timeout, [this] { act(); });
        turn_.start(0);
    }
    const QStringList& messages() const { return messages_; }

private:
    void act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages_ << box->text();
            box->defaultButton()->click();
        } else if (modal != nullptr && inDialog_) {
            // Outside this tick, which does not come again while its handler runs.
            QTimer::singleShot(0, modal,
                               [modal, once = std::exchange(inDialog_, nullptr)] { once(modal); });
        }
    }

    std::function<void(QWidget*)> inDialog_;
    QStringList messages_;
    QTimer turn_;
};

template <typename Widget>
Widget* childControl(QWidget* dialog, int id) {
    return dialog->findChild<Widget*>(QString::number(id));
}

/// A left click on `widget` as the window system delivers it, which a window blocked by a modal
/// one (or by what a modal one left behind) never sees.
void clickThroughTheWindowSystem(qt::QtWindow& window, QWidget* widget) {
    window.widget().scrollArea()->ensureWidgetVisible(widget);
    QTest::mouseClick(window.widget().windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(&window.widget(), widget->rect().center()));
}

TEST_F(MainWindowQtTest, AGeneratorGoneUnderADialogOrWhileIdleLeavesTheWindowDisconnected) {
    namespace list = res::aufgabenliste;
    struct Case {
        const char* name;
        int button;  ///< opens the dialog; kNoId: none
        std::function<void(QWidget*, sim::SimulatedGenerator&)> inDialog;
    };
    const std::vector<Case> cases = {
        {"task list playing a loop", res::kButtonTaskList,
         [](QWidget* taskList, sim::SimulatedGenerator& generator) {
             childControl<QPushButton>(taskList, list::kAdd)->click();
             childControl<QCheckBox>(taskList, list::kLoopCheck)->click();
             childControl<QPushButton>(taskList, list::kStart)->click();
             // Its next step finds the generator gone.
             generator.unplug();
         }},
        {"sweep dialog open", res::kButtonSweep,
         [](QWidget* sweep, sim::SimulatedGenerator& generator) {
             generator.unplug();
             auto* start = childControl<QLineEdit>(sweep, res::wobbel::kStartfrequenzEdit);
             start->setFocus();
             start->setText(QStringLiteral("100"));
             QTest::keyClick(start, Qt::Key_Return);
         }},
        {"sweep dialog open and left alone", res::kButtonSweep,
         [](QWidget*, sim::SimulatedGenerator& generator) { generator.unplug(); }},
        {"idle", res::kNoId, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        generator_.replug();
        // The window takes the mouse again after the dialog the loss closed.
        clickThroughTheWindowSystem(*window_, control<QPushButton>(res::kButtonConnection));
        ASSERT_TRUE(dialog_.connected());
        if (c.inDialog) {
            ModalDriver driver([this, &c](QWidget* dialog) { c.inDialog(dialog, generator_); });
            QTest::mouseClick(control<QPushButton>(c.button), Qt::LeftButton);
            EXPECT_EQ(driver.messages().size(), 1);
            EXPECT_TRUE(driver.messages().value(0).contains(QStringLiteral("abgebrochen")));
        } else {
            ModalDriver driver;
            generator_.unplug();
            // Noticed without a click; ctest's time-out guards the wait.
            while (dialog_.connected()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            EXPECT_EQ(driver.messages().size(), 1);
        }
        EXPECT_FALSE(dialog_.connected());
        EXPECT_EQ(control<QPushButton>(res::kButtonConnection)->text(),
                  QStringLiteral("PC-Verbindung aktivieren"));
        EXPECT_EQ(control<qt::PictureWidget>(res::kPictureUsb)->picture(),
                  res::Picture::usbIndicator(false));
        for (const int id : res::kConnectionControls) {
            EXPECT_FALSE(control<QWidget>(id)->isEnabled()) << id;
        }
        // The last values stay, dimmed, and "USB aktiv" goes with the connection.
        for (const int id :
             {res::kFrequencyDigitIds[0], res::kAmplitudeDigitIds[0], res::kPictureDecimalPoint}) {
            EXPECT_FALSE(control<QWidget>(id)->isEnabled()) << id;
        }
        EXPECT_TRUE(control<QWidget>(res::kLabelUsb)->isHidden());
    }
    generator_.replug();
    clickThroughTheWindowSystem(*window_, control<QPushButton>(res::kButtonConnection));
    EXPECT_TRUE(dialog_.connected());
    EXPECT_TRUE(control<QWidget>(res::kFrequencyDigitIds[0])->isEnabled());
    EXPECT_FALSE(control<QWidget>(res::kLabelUsb)->isHidden());
}

TEST_F(MainWindowQtTest, AGeneratorGoneUnderAnOpenBoxShowsAtOnceAndIsSaidOnceAfterIt) {
    struct Case {
        const char* name;
        /// Brings up the box, in the main window or in a dialog it opens.
        std::function<void()> openBox;
        QString answer;
    };
    const auto typeAndEnter = [](QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    };
    const std::vector<Case> cases = {
        {"factory reset question answered yes",
         [this] { window_->widget().findChild<QAction*>("32786")->trigger(); }, "Ja"},
        {"refused entry in the window",
         [&, this] { typeAndEnter(control<QLineEdit>(res::kEditAmplitude), "2000"); }, "OK"},
        {"refused entry in the sweep dialog",
         [&, this] {
             QTimer::singleShot(0, [&] {
                 typeAndEnter(childControl<QLineEdit>(QApplication::activeModalWidget(),
                                                      res::wobbel::kStartfrequenzEdit),
                              "0.1");
             });
             control<QPushButton>(res::kButtonSweep)->click();
         },
         "OK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        generator_.replug();
        clickThroughTheWindowSystem(*window_, control<QPushButton>(res::kButtonConnection));
        ASSERT_TRUE(dialog_.connected());
        QStringList messages;
        bool shownUnderTheBox = false;
        std::uintmax_t tracedBeforeTheLoss = 0;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            if (!messages.isEmpty()) {
                messages << box->text();
                box->defaultButton()->click();
            } else if (generator_.pluggedIn()) {
                tracedBeforeTheLoss = std::filesystem::file_size(trace_);
                generator_.unplug();
            } else if (!dialog_.connected()) {
                // Seen while the box is still open; ctest's time-out guards the wait.
                shownUnderTheBox = control<qt::PictureWidget>(res::kPictureUsb)->picture() ==
                                       res::Picture::usbIndicator(false) &&
                                   control<QPushButton>(res::kButtonConnection)->text() ==
                                       QStringLiteral("PC-Verbindung aktivieren") &&
                                   !control<QWidget>(res::kButtonSweep)->isEnabled();
                messages << box->text();
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text() == c.answer) {
                        button->click();
                    }
                }
            }
        });
        driver.start(10);
        c.openBox();
        EXPECT_TRUE(shownUnderTheBox);
        ASSERT_EQ(messages.size(), 2) << messages.join(" | ").toStdString();
        EXPECT_TRUE(messages[1].contains(QStringLiteral("abgebrochen")));
        EXPECT_EQ(std::filesystem::file_size(trace_), tracedBeforeTheLoss);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    generator_.replug();
    clickThroughTheWindowSystem(*window_, control<QPushButton>(res::kButtonConnection));
    EXPECT_TRUE(dialog_.connected());
}

TEST_F(MainWindowQtTest, ATypedTextNotInEffectIsMarkedUntilEnterAppliesIt) {
    struct Typing {
        int edit;
        const char* text;
        bool enter;
    };
    struct Case {
        const char* name;
        int dialogButton;  ///< kNoId: the main window's own edits
        std::vector<Typing> typing;
        std::vector<int> marked;
        std::vector<int> unmarked;
    };
    namespace wobbel = res::wobbel;
    const std::vector<Case> cases = {
        {"typed, then typed back",
         res::kNoId,
         {{res::kEditFrequency, "2000.00", false},
          {res::kEditStep, "5", false},
          {res::kEditStep, "0.00", false}},
         {res::kEditFrequency},
         {res::kEditStep, res::kEditAmplitude}},
        {"applied by Enter",
         res::kNoId,
         {{res::kEditFrequency, "2000", true}},
         {},
         {res::kEditFrequency}},
        {"Enter in another field of the sweep",
         res::kButtonSweep,
         {{wobbel::kStartfrequenzEdit, "300", false}, {wobbel::kStoppfrequenzEdit, "5000", true}},
         {wobbel::kStartfrequenzEdit},
         {wobbel::kStoppfrequenzEdit, wobbel::kWobbelfrequenzEdit}},
    };
    const auto marked = [](QLineEdit* edit) {
        return edit->font().italic() && edit->toolTip().contains(QStringLiteral("Enter"));
    };
    QTest::mouseClick(control<QPushButton>(res::kButtonConnection), Qt::LeftButton);
    ASSERT_TRUE(dialog_.connected());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto check = [&](QWidget* window) {
            for (const Typing& typing : c.typing) {
                auto* edit = childControl<QLineEdit>(window, typing.edit);
                edit->setFocus();
                edit->selectAll();
                QTest::keyClicks(edit, QString::fromUtf8(typing.text));
                if (typing.enter) {
                    QTest::keyClick(edit, Qt::Key_Return);
                }
            }
            for (const int id : c.marked) {
                EXPECT_TRUE(marked(childControl<QLineEdit>(window, id))) << id;
            }
            for (const int id : c.unmarked) {
                EXPECT_FALSE(marked(childControl<QLineEdit>(window, id))) << id;
            }
        };
        if (c.dialogButton == res::kNoId) {
            check(&window_->widget());
            continue;
        }
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            check(dialog);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        control<QPushButton>(c.dialogButton)->click();
    }
}

TEST_F(MainWindowQtTest, KeyboardReachesMenusAndTheirCommandsAndTheTabChainShowsItsFocus) {
    connectByKeyboard(*window_);
    ASSERT_TRUE(dialog_.connected());
    QWidget& widget = window_->widget();
    widget.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(widget.isActiveWindow());
    const QMenu* datei = widget.findChild<QMenuBar*>()->actions()[0]->menu();

    // Alt+D and F10 open the first menu; Escape gives the focus back to the field.
    auto* frequency = control<QLineEdit>(res::kEditFrequency);
    for (const QKeyCombination opener : {QKeyCombination(Qt::AltModifier, Qt::Key_D),
                                         QKeyCombination(Qt::NoModifier, Qt::Key_F10)}) {
        frequency->setFocus();
        widget.activateWindow();
        QCoreApplication::processEvents();
        QTest::keyClick(frequency, opener.key(), opener.keyboardModifiers());
        ASSERT_TRUE(datei->isVisible()) << opener.key();
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        EXPECT_FALSE(datei->isVisible());
        EXPECT_EQ(widget.focusWidget(), frequency) << opener.key();
        EXPECT_TRUE(widget.isVisible());
    }

    // Tab runs through controls only, each of which shows the focus, the up/down buttons
    // right after the digits they step.
    std::vector<int> chain;
    control<QWidget>(res::kButtonConnection)->setFocus();
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(widget.focusWidget(), Qt::Key_Tab);
        QWidget* focused = widget.focusWidget();
        bool isControl = false;
        const int id = focused->objectName().toInt(&isControl);
        ASSERT_TRUE(isControl) << "after " << (chain.empty() ? 0 : chain.back()) << ": "
                               << focused->metaObject()->className();
        if (id == res::kButtonConnection) {
            break;
        }
        chain.push_back(id);
    }
    const auto at = [&chain](int id) { return std::find(chain.begin(), chain.end(), id); };
    ASSERT_NE(at(res::kButtonFrequencyUp), chain.end());
    EXPECT_EQ(at(res::kButtonFrequencyUp) + 1, at(res::kButtonFrequencyDown));
    EXPECT_EQ(at(res::kRadioFrequencyLast) + 1, at(res::kButtonFrequencyUp));

    // F1 opens the About box; Ctrl+Q ends the program as "Beenden" does.
    widget.activateWindow();
    QCoreApplication::processEvents();
    bool aboutShown = false;
    QTimer::singleShot(0, [&aboutShown] {
        QWidget* about = QApplication::activeModalWidget();
        aboutShown = about != nullptr;
        QTest::keyClick(about, Qt::Key_Escape);
    });
    QTest::keyClick(frequency, Qt::Key_F1);
    EXPECT_TRUE(aboutShown);
    widget.activateWindow();
    QCoreApplication::processEvents();
    QTest::keyClick(frequency, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(window_->ended());
    EXPECT_EQ(generator_.receivedLetters().back(), 'x');  // the disconnect notice
}

TEST_F(MainWindowQtTest, OnThisScreenEveryControlScrollsIntoViewInAWindowThatFits) {
    QWidget& widget = window_->widget();
    const QRect screen = widget.screen()->availableGeometry();
    EXPECT_LE(widget.frameGeometry().width(), screen.width());
    EXPECT_LE(widget.frameGeometry().height(), screen.height());

    QScrollArea* area = window_->widget().scrollArea();
    // As the window asked to be, then made lower by a window manager that keeps it on the screen.
    for (const int lower : {0, 100}) {
        if (lower > 0) {
            const QSize given = widget.size() - QSize(0, lower);
            widget.windowHandle()->resize(given);
            QTRY_COMPARE(widget.size(), given);
        }
        const QRect visible = area->viewport()->rect();
        EXPECT_TRUE(widget.rect().contains(QRect(area->mapTo(&widget, QPoint()), area->size())));
        int controls = 0;
        for (const res::ControlTemplate& layout : res::kMainWindowTemplate.controls) {
            auto* control = widget.findChild<QWidget*>(QString::number(layout.id));
            if (layout.id == res::kNoId || control->isHidden()) {
                continue;
            }
            // Scrolled as far as it goes towards the control's top left corner.
            const QRect inClient(control->mapTo(area->widget(), QPoint(0, 0)), control->size());
            area->horizontalScrollBar()->setValue(inClient.left());
            area->verticalScrollBar()->setValue(inClient.top());
            const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
            EXPECT_TRUE(visible.contains(shown)) << layout.id << " " << lower;
            ++controls;
        }
        EXPECT_GT(controls, 50);
    }

    const qreal scale = widget.devicePixelRatioF();
    const QPixmap shot = widget.grab();
    EXPECT_EQ(shot.devicePixelRatio(), scale);
    EXPECT_TRUE(shot.save(QString::fromStdString(
        std::string(TAVERO_TEST_OUTPUT_DIR) + "/main-window-" + std::to_string(screen.width()) +
        "x" + std::to_string(screen.height()) + "-scale-" +
        std::to_string(static_cast<int>(scale)) + ".png")));
    if (scale >= 2) {
        window_->setPicture(res::kFrequencyDigitIds[0], res::Picture::digit(8));
        auto* digit = widget.findChild<QWidget*>(QString::number(res::kFrequencyDigitIds[0]));
        EXPECT_TRUE(hasFinerDetailThanDoubledPixels(digit->grab().toImage()));
    }
}

TEST_F(MainWindowQtTest, OnThisScreenArrowsFillTheirButtonsAndScaleLabelsSitOnTheirTicks) {
    QWidget& widget = window_->widget();
    const qreal scale = widget.devicePixelRatioF();
    for (const int id : {res::kButtonFrequencyUp, res::kButtonFrequencyDown}) {
        auto* button = control<QPushButton>(id);
        const QImage arrow =
            button->icon().pixmap(button->iconSize(), scale, QIcon::Disabled).toImage();
        int left = arrow.width();
        int right = -1;
        for (int y = 0; y < arrow.height(); ++y) {
            for (int x = 0; x < arrow.width(); ++x) {
                if (qAlpha(arrow.pixel(x, y)) > 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        const qreal inkWidth = (right - left + 1) / arrow.devicePixelRatio();
        EXPECT_GE(inkWidth, 0.4 * button->width()) << id;
        EXPECT_LE(inkWidth, button->width()) << id;
    }

    // Each scale label centred on its tick: the handle's middle with the slider at that value.
    auto* slider = control<QSlider>(res::kTrackbarAmplitude);
    std::vector<std::string_view> labelTexts;
    for (const res::ControlTemplate& layout : res::kMainWindowTemplate.controls) {
        if (layout.has(res::style::kTickLabel)) {
            labelTexts.push_back(layout.text);
        }
    }
    ASSERT_EQ(labelTexts.size(), 6U);
    const int last = static_cast<int>(labelTexts.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        const int value = slider->minimum() + i * (slider->maximum() - slider->minimum()) / last;
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.subControls = QStyle::SC_None;
        option.orientation = slider->orientation();
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = value;
        option.sliderValue = value;
        option.upsideDown = !slider->invertedAppearance();
        option.tickPosition = slider->tickPosition();
        option.tickInterval = slider->tickInterval();
        const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                             QStyle::SC_SliderHandle, slider);
        const QString text = QString::fromUtf8(labelTexts[static_cast<std::size_t>(i)].data(),
                                               static_cast<qsizetype>(labelTexts[i].size()));
        QLabel* label = nullptr;
        for (QLabel* candidate : widget.findChildren<QLabel*>()) {
            label = candidate->text() == text ? candidate : label;
        }
        ASSERT_NE(label, nullptr) << text.toStdString();
        EXPECT_NEAR(label->geometry().center().y(), slider->y() + handle.center().y(),
                    label->height() / 8.0)
            << text.toStdString();
    }
}

TEST_F(MainWindowQtTest, OnThisScreenTheWheelOverAScrollBarScrollsAndOverTheWindowStepsTheDigit) {
    QTest::mouseClick(control<QPushButton>(res::kButtonConnection), Qt::LeftButton);
    ASSERT_TRUE(dialog_.connected());
    QCoreApplication::processEvents();  // the view lays out its bars
    QScrollArea* area = window_->widget().scrollArea();
    for (QScrollBar* bar : {area->verticalScrollBar(), area->horizontalScrollBar()}) {
        const bool needed = bar->maximum() > bar->minimum();
        EXPECT_EQ(bar->isVisible(), needed) << bar->orientation();
        if (!needed) {
            continue;  // the screen holds the whole window that way
        }
        const std::uint32_t frequenz = dialog_.settings().frequenz;
        const int before = bar->value();
        const QPoint at = bar->rect().center();
        QWheelEvent notch(QPointF(at), QPointF(bar->mapToGlobal(at)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &notch);
        EXPECT_NE(bar->value(), before) << bar->orientation();
        EXPECT_EQ(dialog_.settings().frequenz, frequenz) << bar->orientation();
    }
}

/// Where the style puts a part of a group box, in the box's coordinates.
QRect subRect(const QGroupBox* box, QStyle::SubControl part) {
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.lineWidth = 1;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, part, box);
}

TEST_F(MainWindowQtTest, OnThisScreenEveryDialogFits) {
    const QRect screen = window_->widget().screen()->availableGeometry();
    for (const res::DialogTemplate* dialogTemplate : res::programTemplates().all()) {
        headless::RecordingDialog dialog(dialogTemplate->id);
        qt::QtWindow window(host_, *dialogTemplate, dialog, &window_->widget());
        window.open();
        window.widget().show();
        EXPECT_LE(window.widget().frameGeometry().width(), screen.width()) << dialogTemplate->id;
        EXPECT_LE(window.widget().frameGeometry().height(), screen.height()) << dialogTemplate->id;
        // A box inside another keeps its title clear of the outer box's title, through which
        // the outer frame's line runs.
        const QList<QGroupBox*> boxes = window.widget().findChildren<QGroupBox*>();
        for (const QGroupBox* outer : boxes) {
            for (const QGroupBox* inner : boxes) {
                if (inner != outer && outer->geometry().contains(inner->geometry())) {
                    EXPECT_GT(subRect(inner, QStyle::SC_GroupBoxLabel).top() + inner->y(),
                              subRect(outer, QStyle::SC_GroupBoxLabel).bottom() + outer->y())
                        << dialogTemplate->id << " " << inner->title().toStdString();
                }
            }
        }
        EXPECT_TRUE(window.widget().grab().save(
            QStringLiteral(TAVERO_TEST_OUTPUT_DIR "/dialog-%1-%2-scale-%3.png")
                .arg(dialogTemplate->id)
                .arg(screen.width())));
        window.endDialog(res::kIdCancel);
    }
}

}  // namespace
}  // namespace tavero::app
