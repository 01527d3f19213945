// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <sstream>
#include <string>

#include "ChildProcess.h"
#include "ctl/OwnGeneratorSession.h"
#include "link/TraceFile.h"
#include "model/GeneratorSignalSource.h"
#include "qt/measure/FrequencyResponseDialog.h"
#include "qt/measure/ResponseChart.h"
#include "qt/serial/SerialPortBridge.h"

namespace tavero::qt {
namespace {

/// The window's side of a sweep: tavero-sim with a simulated Rigol scope behind an RC low-pass,
/// the generator connected over its terminal, and the dialog on it.
class FrequencyResponseDialogTest : public ::testing::Test {
protected:
    FrequencyResponseDialogTest()
        : simulator_({TAVERO_SIM_PATH, "--scope", "rigol", "--dut", "lowpass"}),
          terminal_(simulator_.readLine().value_or("")),
          scope_(simulator_.readLine().value_or("").substr(6)),
          bridge_(QString::fromStdString(terminal_)),
          generator_(bridge_, errors_, diagnostics_, trace_, disconnectFailed_) {
        EXPECT_TRUE(generator_.open() && generator_.readParameters()) << errors_.str();
        source_.emplace([this](const model::Edit& edit) { return generator_.apply(edit); },
                        generator_.settings());
        dialog_.emplace(*source_);
    }
    ~FrequencyResponseDialogTest() override {
        dialog_.reset();
        source_.reset();
        simulator_.stop(SIGTERM);
    }

    template <typename Widget>
    Widget& find(const char* name) {
        Widget* widget = dialog_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    QString status() { return find<QLabel>("status").text(); }
    /// Sets the range and clicks Start.
    void start(double fromHz, double toHz, int pointsPerDecade) {
        find<QComboBox>("scopeAddress").setEditText(QString::fromStdString(scope_));
        find<QDoubleSpinBox>("fromHz").setValue(fromHz);
        find<QDoubleSpinBox>("toHz").setValue(toHz);
        find<QSpinBox>("points").setValue(pointsPerDecade);
        find<QPushButton>("startButton").click();
    }

    testing::ChildProcess simulator_;
    std::string terminal_;
    std::string scope_;
    SerialPortBridge bridge_;
    std::ostringstream errors_;
    std::ostringstream diagnostics_;
    link::TraceFile trace_{{}, [](int) {}};
    bool disconnectFailed_ = false;
    ctl::OwnGeneratorSession generator_;
    std::optional<model::GeneratorSignalSource> source_;
    std::optional<FrequencyResponseDialog> dialog_;
};

TEST_F(FrequencyResponseDialogTest, SweepsPlotsReadsTheCursorAndSavesEveryFormat) {
    const GeneratorSettings before = generator_.settings();
    QSignalSpy ended(&*dialog_, &FrequencyResponseDialog::sweepEnded);
    start(100, 10000, 5);
    EXPECT_TRUE(dialog_->sweeping());
    ASSERT_TRUE(ended.wait(60000));
    EXPECT_FALSE(dialog_->sweeping());
    EXPECT_EQ(status(), "Fertig: 11 Punkte, davon 0 ohne Wert.");
    auto& chart = find<ResponseChart>("chart");
    EXPECT_EQ(chart.points().size(), 11U);
    // The corner of 1 kOhm and 100 nF, 1591.5 Hz, read between points a fifth of a decade apart.
    const QString corner = find<QLabel>("corners").text();
    ASSERT_TRUE(corner.startsWith("−3 dB bei ")) << corner.toStdString();
    EXPECT_NEAR(corner.section(' ', 3, 3).toDouble(), 1591.5, 30) << corner.toStdString();
    chart.placeCursor(2000);
    EXPECT_TRUE(find<QLabel>("cursor").text().startsWith("2000.00 Hz: -"))
        << find<QLabel>("cursor").text().toStdString();
    // The generator has its settings back.
    ASSERT_TRUE(generator_.readParameters());
    EXPECT_EQ(generator_.settings(), before);

    QTemporaryDir folder;
    const struct {
        FrequencyResponseDialog::Export kind;
        const char* name;
        QByteArray start;
    } exports[] = {
        {FrequencyResponseDialog::Export::kCsv, "sweep.csv",
         "frequency_hz,magnitude_db,phase_deg,status\n100.00,"},
        {FrequencyResponseDialog::Export::kPng, "sweep.png", "\x89PNG"},
        {FrequencyResponseDialog::Export::kSvg, "sweep.svg", "<?xml"},
    };
    for (const auto& e : exports) {
        const QString path = folder.filePath(e.name);
        EXPECT_TRUE(dialog_->exportTo(path, e.kind)) << e.name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << e.name;
        EXPECT_TRUE(file.readAll().startsWith(e.start)) << e.name;
    }
}

TEST_F(FrequencyResponseDialogTest, RefusesWhatItCannotSweepAndCancelsBetweenPoints) {
    find<QPushButton>("startButton").click();
    EXPECT_FALSE(dialog_->sweeping());
    EXPECT_EQ(status(),
              "Bitte geben Sie die Adresse des Oszilloskops ein, z. B. "
              "TCPIP::192.168.1.30::INSTR.");

    QSignalSpy ended(&*dialog_, &FrequencyResponseDialog::sweepEnded);
    QSignalSpy progress(&find<QProgressBar>("progress"), &QProgressBar::valueChanged);
    start(10, 1e6, 10);
    while (find<QProgressBar>("progress").value() < 1) {
        ASSERT_TRUE(progress.wait(60000));
    }
    find<QPushButton>("cancelButton").click();
    ASSERT_TRUE(ended.wait(60000));
    EXPECT_TRUE(status().startsWith("Abgebrochen nach ")) << status().toStdString();
    EXPECT_TRUE(status().endsWith(" von 51 Punkten.")) << status().toStdString();
    EXPECT_TRUE(find<QPushButton>("startButton").isEnabled());
}

}  // namespace
}  // namespace tavero::qt
