// SPDX-License-Identifier: GPL-3.0-or-later
// Runs on the screen its environment sets up (a small one, a scaled one): see CMakeLists.txt.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "RecordingDialog.h"
#include "app/CTaveroDlg.h"
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

class MainWindowScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
        std::filesystem::remove_all(dataHome_);
        window_ = std::make_unique<qt::QtWindow>(host_, res::kMainWindowTemplate, dialog_, nullptr);
        window_->open();
        window_->widget().show();
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove(trace_);
        std::filesystem::remove_all(dataHome_);
    }

    // The same test runs on several screens at once.
    std::filesystem::path dataHome_ =
        std::filesystem::temp_directory_path() / ("tavero-screen-" + std::to_string(::getpid()));
    std::filesystem::path trace_ = dataHome_.string() + "-out.txt";
    std::ostringstream diagnostics_;
    sim::SimulatedGenerator generator_;
    sim::SimulatedBridge bridge_{generator_};
    qt::QtHost host_{res::programTemplates()};
    qt::QtFileWriter fileWriter_;
    CTaveroDlg dialog_{bridge_, fileWriter_, CTaveroDlg::LinkSetup{trace_, &diagnostics_}};
    std::unique_ptr<qt::QtWindow> window_;
};

TEST_F(MainWindowScreenTest, EveryControlScrollsIntoTheVisibleAreaOfAWindowThatFitsTheScreen) {
    QWidget& widget = window_->widget();
    const QRect screen = widget.screen()->availableGeometry();
    EXPECT_LE(widget.frameGeometry().width(), screen.width());
    EXPECT_LE(widget.frameGeometry().height(), screen.height());

    QScrollArea* area = window_->widget().scrollArea();
    const QRect visible = area->viewport()->rect();
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
        EXPECT_TRUE(visible.contains(shown)) << layout.id;
        ++controls;
    }
    EXPECT_GT(controls, 50);

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

TEST_F(MainWindowScreenTest, EveryDialogFitsTheScreen) {
    const QRect screen = window_->widget().screen()->availableGeometry();
    for (const res::DialogTemplate* dialogTemplate : res::programTemplates().all()) {
        headless::RecordingDialog dialog(dialogTemplate->id);
        qt::QtWindow window(host_, *dialogTemplate, dialog, &window_->widget());
        window.open();
        window.widget().show();
        EXPECT_LE(window.widget().frameGeometry().width(), screen.width()) << dialogTemplate->id;
        EXPECT_LE(window.widget().frameGeometry().height(), screen.height()) << dialogTemplate->id;
        window.endDialog(res::kIdCancel);
    }
}

}  // namespace
}  // namespace tavero::app
