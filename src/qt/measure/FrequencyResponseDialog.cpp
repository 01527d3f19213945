// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/measure/FrequencyResponseDialog.h"

#include <QBuffer>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>

#include "measure/ResponseSummary.h"
#include "measure/ResponseTable.h"
#include "qt/i18n/TextTranslation.h"
#include "qt/measure/ResponseChart.h"
#include "qt/measure/ResponseTexts.h"
#include "scope/Discovery.h"
#include "scope/ScopeConnection.h"

namespace tavero::qt {

namespace {

/// How long each way of searching for scopes listens.
constexpr std::chrono::milliseconds kSearchTime{1000};

QString hertz(double hz) {
    return QString::number(hz, 'f', 2);
}

QString translated(const char* german) {
    return translatedText(german);
}

QSpinBox* spinBox(const char* name, int low, int high, int value, const QString& suffix = {}) {
    auto* box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(low, high);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

QDoubleSpinBox* frequencyBox(const char* name, double value) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(name);
    box->setDecimals(2);
    box->setRange(0.25, 30e6);
    box->setSingleStep(10);
    box->setValue(value);
    box->setSuffix(" Hz");
    return box;
}

/// Tells the dialog of each point from the worker thread.
class PointRelay final : public measure::SweepObserver {
public:
    explicit PointRelay(
        std::function<void(const measure::ResponsePoint&, std::size_t, std::size_t)> relay)
        : relay_(std::move(relay)) {}
    void pointDone(const measure::ResponsePoint& point, std::size_t index,
                   std::size_t count) override {
        relay_(point, index, count);
    }

private:
    std::function<void(const measure::ResponsePoint&, std::size_t, std::size_t)> relay_;
};

}  // namespace

FrequencyResponseDialog::FrequencyResponseDialog(measure::SignalSource& source, QWidget* parent)
    : QDialog(parent),
      source_(source),
      address_(new QComboBox),
      searchButton_(new QPushButton(translated(texts::kSearch))),
      inputChannel_(spinBox("inputChannel", 1, 4, 1)),
      outputChannel_(spinBox("outputChannel", 1, 4, 2)),
      fromHz_(frequencyBox("fromHz", 10)),
      toHz_(frequencyBox("toHz", 1e6)),
      logarithmic_(new QRadioButton(translated(texts::kPointsPerDecade))),
      linear_(new QRadioButton(translated(texts::kPointsLinear))),
      points_(spinBox("points", 1, 10000, 20)),
      amplitude_(spinBox("amplitude", 1, 1000, 1000, " mV")),
      settle_(spinBox("settle", 0, 60000, 5, " ms")),
      method_(new QComboBox),
      startButton_(new QPushButton(translated(texts::kStart))),
      cancelButton_(new QPushButton(translated(texts::kCancel))),
      closeButton_(new QPushButton(translated(texts::kClose))),
      exportButtons_{new QPushButton(translated(texts::kExportCsv)),
                     new QPushButton(translated(texts::kExportPng)),
                     new QPushButton(translated(texts::kExportSvg))},
      chart_(new ResponseChart),
      cursor_(new QLabel),
      corners_(new QLabel),
      progress_(new QProgressBar),
      status_(new QLabel) {
    setWindowTitle(translated(texts::kTitle));
    address_->setObjectName("scopeAddress");
    address_->setEditable(true);
    address_->setMinimumContentsLength(28);
    address_->lineEdit()->setPlaceholderText("TCPIP::192.168.1.30::INSTR");
    searchButton_->setObjectName("searchButton");
    logarithmic_->setObjectName("logarithmic");
    linear_->setObjectName("linear");
    logarithmic_->setChecked(true);
    method_->setObjectName("method");
    method_->addItem(translated(texts::kCapture));
    method_->addItem(translated(texts::kMeasure));
    startButton_->setObjectName("startButton");
    startButton_->setDefault(true);
    cancelButton_->setObjectName("cancelButton");
    closeButton_->setObjectName("closeButton");
    const std::array<const char*, 3> exportNames = {"exportCsv", "exportPng", "exportSvg"};
    for (std::size_t i = 0; i < exportNames.size(); ++i) {
        exportButtons_[i]->setObjectName(exportNames[i]);
        exportButtons_[i]->setEnabled(false);
    }
    cursor_->setObjectName("cursor");
    corners_->setObjectName("corners");
    progress_->setObjectName("progress");
    status_->setObjectName("status");
    status_->setWordWrap(true);

    auto* scopeGroup = new QGroupBox(translated(texts::kScopeGroup));
    auto* scopeForm = new QFormLayout(scopeGroup);
    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(address_, 1);
    addressRow->addWidget(searchButton_);
    scopeForm->addRow(translated(texts::kAddress), addressRow);
    scopeForm->addRow(translated(texts::kInputChannel), inputChannel_);
    scopeForm->addRow(translated(texts::kOutputChannel), outputChannel_);
    scopeForm->addRow(translated(texts::kMethod), method_);
    auto* sweepGroup = new QGroupBox(translated(texts::kSweepGroup));
    auto* sweepForm = new QFormLayout(sweepGroup);
    sweepForm->addRow(translated(texts::kFrom), fromHz_);
    sweepForm->addRow(translated(texts::kTo), toHz_);
    sweepForm->addRow(logarithmic_);
    sweepForm->addRow(linear_);
    sweepForm->addRow(QString(), points_);
    sweepForm->addRow(translated(texts::kAmplitude), amplitude_);
    sweepForm->addRow(translated(texts::kSettle), settle_);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(startButton_);
    runRow->addWidget(cancelButton_);
    auto* left = new QVBoxLayout;
    left->addWidget(scopeGroup);
    left->addWidget(sweepGroup);
    left->addLayout(runRow);
    for (QPushButton* button : exportButtons_) {
        left->addWidget(button);
    }
    left->addStretch(1);
    left->addWidget(closeButton_);
    auto* right = new QVBoxLayout;
    chart_->setMinimumSize(560, 380);
    right->addWidget(chart_, 1);
    right->addWidget(cursor_);
    right->addWidget(corners_);
    right->addWidget(progress_);
    right->addWidget(status_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    connect(startButton_, &QPushButton::clicked, this, &FrequencyResponseDialog::start);
    connect(cancelButton_, &QPushButton::clicked, this, &FrequencyResponseDialog::cancel);
    connect(closeButton_, &QPushButton::clicked, this, &FrequencyResponseDialog::reject);
    connect(searchButton_, &QPushButton::clicked, this, &FrequencyResponseDialog::search);
    for (std::size_t i = 0; i < exportNames.size(); ++i) {
        connect(exportButtons_[i], &QPushButton::clicked, this,
                [this, i] { chooseExport(static_cast<Export>(i)); });
    }
    connect(chart_, &ResponseChart::cursorMoved, cursor_, &QLabel::setText);
    setSweeping(false);
}

FrequencyResponseDialog::~FrequencyResponseDialog() {
    // reject() lets no sweep outlive the dialog; a search may still be listening.
    cancel();
    for (std::thread* thread : {&worker_, &searcher_}) {
        if (thread->joinable()) {
            thread->join();
        }
    }
}

app::FrequencyResponseForm FrequencyResponseDialog::form() const {
    return {.scope = address_->currentText().trimmed().section(' ', 0, 0).toStdString(),
            .fromHz = fromHz_->value(),
            .toHz = toHz_->value(),
            .linear = linear_->isChecked(),
            .points = static_cast<unsigned>(points_->value()),
            .amplitudeMillivolt = static_cast<unsigned>(amplitude_->value()),
            .inputChannel = inputChannel_->value(),
            .outputChannel = outputChannel_->value(),
            .method = method_->currentIndex() == 1 ? measure::Method::kMeasure
                                                   : measure::Method::kCapture,
            .settleMs = static_cast<unsigned>(settle_->value())};
}

void FrequencyResponseDialog::setSweeping(bool on) {
    for (QWidget* field : std::initializer_list<QWidget*>{
             address_, searchButton_, inputChannel_, outputChannel_, fromHz_, toHz_, logarithmic_,
             linear_, points_, amplitude_, settle_, method_, startButton_, closeButton_}) {
        field->setEnabled(!on);
    }
    cancelButton_->setEnabled(on);
    for (QPushButton* button : exportButtons_) {
        button->setEnabled(!on && !chart_->points().empty());
    }
}

void FrequencyResponseDialog::start() {
    const app::FrequencyResponseForm fields = form();
    if (const std::optional<std::string_view> problem = app::formProblem(fields)) {
        status_->setText(translatedText(*problem));
        return;
    }
    const measure::SweepRequest request = app::sweepRequest(fields);
    chart_->begin(request.plan.fromCentiHz / 100.0, request.plan.toCentiHz / 100.0);
    chart_->markCorners({});
    corners_->clear();
    cursor_->clear();
    progress_->setValue(0);
    status_->setText(translated(texts::kConnecting).arg(QString::fromStdString(fields.scope)));
    setSweeping(true);
    clock_ = std::make_unique<measure::SteadySweepClock>();
    worker_ = std::thread([this, fields] { sweep(fields); });
}

void FrequencyResponseDialog::sweep(app::FrequencyResponseForm fields) {
    const auto post = [this](auto call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    };
    scope::ScopeConnection scope;
    try {
        scope = scope::connectScope(fields.scope);
    } catch (const std::exception& e) {
        const QString failure =
            translated(texts::kScopeUnreachable)
                .arg(QString::fromStdString(fields.scope), QString::fromLocal8Bit(e.what()));
        post([this, failure] { ended({}, failure); });
        return;
    }
    if (fields.method == measure::Method::kMeasure && !scope.model.limits.measures) {
        post([this] { ended({}, translated(texts::kNoMeasurements)); });
        return;
    }
    const QString name =
        translated(texts::kConnected)
            .arg(QString::fromStdString(scope.identity),
                 QString::fromUtf8(scope.model.family.data(),
                                   static_cast<qsizetype>(scope.model.family.size())));
    post([this, name] { status_->setText(name); });
    PointRelay relay(
        [this, post](const measure::ResponsePoint& point, std::size_t index, std::size_t count) {
            post([this, point, index, count] { pointDone(point, index, count); });
        });
    measure::SteadySweepClock& clock = *clock_;
    const measure::SweepOutcome outcome =
        measure::SweepRunner(source_, *scope.scope, clock, relay)
            .run(app::sweepRequest(fields), [&clock] { return clock.stopped(); });
    post([this, outcome] { ended(outcome, {}); });
}

void FrequencyResponseDialog::pointDone(const measure::ResponsePoint& point, std::size_t index,
                                        std::size_t count) {
    chart_->add(point);
    progress_->setRange(0, static_cast<int>(count));
    progress_->setValue(static_cast<int>(index + 1));
    const QString number = QString::number(index + 1);
    const QString total = QString::number(count);
    status_->setText(
        point.ok() ? translated(texts::kProgress).arg(number, total, hertz(point.frequencyHz()))
                   : translated(texts::kExcluded)
                         .arg(number, total, hertz(point.frequencyHz()),
                              translatedText(app::exclusionText(point.exclusion))));
}

void FrequencyResponseDialog::ended(const measure::SweepOutcome& outcome, const QString& failure) {
    worker_.join();
    clock_.reset();
    const QString kept = QString::number(outcome.points.size());
    const QString planned = QString::number(outcome.plannedPoints);
    std::size_t excluded = 0;
    for (const measure::ResponsePoint& point : outcome.points) {
        excluded += point.ok() ? 0 : 1;
    }
    if (!failure.isEmpty()) {
        status_->setText(failure);
    } else {
        switch (outcome.end) {
            case measure::SweepEnd::kFinished:
                status_->setText(translated(texts::kFinished).arg(kept, QString::number(excluded)));
                break;
            case measure::SweepEnd::kStopped:
                status_->setText(translated(texts::kStopped).arg(kept, planned));
                break;
            case measure::SweepEnd::kSourceFailed:
                status_->setText(translated(texts::kGeneratorFailed).arg(kept, planned));
                break;
            case measure::SweepEnd::kScopeLost:
                status_->setText(
                    translated(texts::kScopeLost)
                        .arg(QString::fromStdString(outcome.scopeFailure), kept, planned));
                break;
        }
    }
    const measure::ResponseSummary summary = measure::summarize(outcome.points);
    QStringList lines;
    std::vector<std::pair<double, double>> marks;
    for (const measure::ResponseReading& corner : summary.corners) {
        lines << translated(texts::kCorner)
                     .arg(hertz(corner.frequencyHz), QString::number(corner.phaseDeg, 'f', 1));
        marks.emplace_back(corner.frequencyHz, corner.magnitudeDb);
    }
    if (summary.centreHz) {
        lines << translated(texts::kCentre).arg(hertz(*summary.centreHz));
    }
    corners_->setText(lines.join("\n"));
    chart_->markCorners(marks);
    setSweeping(false);
    emit sweepEnded();
    if (closeWhenEnded_) {
        QDialog::reject();
    }
}

void FrequencyResponseDialog::cancel() {
    if (clock_) {
        clock_->stop();
    }
}

void FrequencyResponseDialog::reject() {
    // A sweep under way is stopped first; the dialog closes once the generator and the scope
    // have their settings back.
    if (sweeping()) {
        closeWhenEnded_ = true;
        cancel();
        return;
    }
    QDialog::reject();
}

void FrequencyResponseDialog::search() {
    searchButton_->setEnabled(false);
    status_->setText(translated(texts::kSearching));
    if (searcher_.joinable()) {
        searcher_.join();
    }
    searcher_ = std::thread([this] {
        const std::vector<scope::FoundInstrument> found = scope::discoverInstruments(kSearchTime);
        QMetaObject::invokeMethod(
            this,
            [this, found] {
                for (const scope::FoundInstrument& instrument : found) {
                    address_->addItem(
                        QString::fromStdString(instrument.resource + "  " + instrument.identity));
                }
                status_->setText(found.empty() ? translated(texts::kFoundNone)
                                               : translated(texts::kFound).arg(found.size()));
                searchButton_->setEnabled(!sweeping());
            },
            Qt::QueuedConnection);
    });
}

bool FrequencyResponseDialog::exportTo(const QString& path, Export kind) {
    QByteArray bytes;
    if (kind == Export::kCsv) {
        bytes = QByteArray::fromStdString(measure::responseTable(chart_->points()));
    } else if (kind == Export::kPng) {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly) || !chart_->grab().save(&buffer, "PNG")) {
            bytes.clear();
        }
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(chart_->size());
        svg.setViewBox(chart_->rect());
        svg.setTitle(translated(texts::kTitle));
        QPainter painter(&svg);
        chart_->render(&painter);
    }
    QSaveFile file(path);
    const bool saved = !bytes.isEmpty() && file.open(QIODevice::WriteOnly) &&
                       file.write(bytes) == bytes.size() && file.commit();
    if (!saved) {
        QMessageBox::warning(
            this, translated(texts::kSaveCaption),
            translated(texts::kSaveFailed)
                .arg(path +
                     (file.errorString().isEmpty() ? QString() : ": " + file.errorString())));
    }
    return saved;
}

void FrequencyResponseDialog::chooseExport(Export kind) {
    static constexpr std::array<const char*, 3> kFilters = {"CSV (*.csv)", "PNG (*.png)",
                                                            "SVG (*.svg)"};
    static constexpr std::array<const char*, 3> kSuffixes = {"csv", "png", "svg"};
    const auto index = static_cast<std::size_t>(kind);
    QFileDialog dialog(this, translated(texts::kSaveCaption));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(kFilters[index]);
    dialog.setDefaultSuffix(kSuffixes[index]);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        exportTo(dialog.selectedFiles().front(), kind);
    }
}

}  // namespace tavero::qt
