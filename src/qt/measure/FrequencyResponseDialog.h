// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>
#include <thread>

#include "app/FrequencyResponseForm.h"
#include "measure/SteadySweepClock.h"
#include "measure/SweepRunner.h"
#include "qt/measure/UiThreadSignalSource.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tavero::qt {

class ResponseChart;

/// "Frequenzgang": the scope's address (found by a search, or typed), its channels, the
/// sweep's range, points, amplitude and method; a live plot of magnitude and phase with a
/// cursor and the -3 dB points; progress and Cancel; the result saved as CSV, PNG or SVG.
///
/// The scope is driven on a worker thread; the generator through `source` on the user-interface
/// thread, so the window stays responsive while a point settles and the scope measures.
class FrequencyResponseDialog final : public QDialog {
    Q_OBJECT

public:
    enum class Export { kCsv, kPng, kSvg };

    /// @param source the generator; used on this (the user-interface) thread only
    FrequencyResponseDialog(measure::SignalSource& source, QWidget* parent = nullptr);
    ~FrequencyResponseDialog() override;

    /// The form as the fields show it.
    app::FrequencyResponseForm form() const;
    /// Saves the sweep's points (CSV) or the plot (PNG, SVG); false with a message on failure.
    bool exportTo(const QString& path, Export kind);
    bool sweeping() const { return worker_.joinable(); }

signals:
    /// A sweep ended, however.
    void sweepEnded();

protected:
    void reject() override;

private:
    void start();
    void cancel();
    void search();
    void chooseExport(Export kind);
    /// Runs on the worker thread.
    void sweep(app::FrequencyResponseForm form);
    void pointDone(const measure::ResponsePoint& point, std::size_t index, std::size_t count);
    void ended(const measure::SweepOutcome& outcome, const QString& failure);
    void setSweeping(bool on);

    UiThreadSignalSource source_;
    std::unique_ptr<measure::SteadySweepClock> clock_;  ///< of the sweep under way
    std::thread worker_;
    std::thread searcher_;
    bool closeWhenEnded_ = false;

    QComboBox* address_;
    QPushButton* searchButton_;
    QSpinBox* inputChannel_;
    QSpinBox* outputChannel_;
    QDoubleSpinBox* fromHz_;
    QDoubleSpinBox* toHz_;
    QRadioButton* logarithmic_;
    QRadioButton* linear_;
    QSpinBox* points_;
    QSpinBox* amplitude_;
    QSpinBox* settle_;
    QComboBox* method_;
    QPushButton* startButton_;
    QPushButton* cancelButton_;
    QPushButton* closeButton_;
    QPushButton* exportButtons_[3];
    ResponseChart* chart_;
    QLabel* cursor_;
    QLabel* corners_;
    QProgressBar* progress_;
    QLabel* status_;
};

}  // namespace tavero::qt
