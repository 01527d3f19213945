// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/measure/ResponseChart.h"

#include <QChart>
#include <QGraphicsLineItem>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "measure/ResponseSummary.h"
#include "qt/i18n/TextTranslation.h"
#include "qt/measure/ResponseTexts.h"

namespace tavero::qt {

namespace {

/// The axes reach this far beyond the curve, in dB and degrees, and end on whole steps of it.
constexpr double kMagnitudeStep = 10;
constexpr double kPhaseStep = 45;

std::pair<double, double> span(const std::vector<double>& values, double step) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return {std::floor(*low / step) * step - step, std::ceil(*high / step) * step + step};
}

/// Ticks on whole steps from 0, twice the step apart once more than 8 would crowd the axis.
void setTicks(QValueAxis& axis, double low, double high, double step) {
    axis.setRange(low, high);
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0);
    axis.setTickInterval((high - low) / step > 8 ? 2 * step : step);
}

}  // namespace

ResponseChart::ResponseChart(QWidget* parent)
    : QChartView(parent),
      magnitude_(new QLineSeries),
      phase_(new QLineSeries),
      corners_(new QScatterSeries),
      frequencyAxis_(new QLogValueAxis),
      magnitudeAxis_(new QValueAxis),
      phaseAxis_(new QValueAxis),
      cursor_(new QGraphicsLineItem) {
    setObjectName("chart");
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
    QChart* plot = chart();
    plot->legend()->setAlignment(Qt::AlignBottom);
    magnitude_->setName(translatedText(texts::kMagnitude));
    phase_->setName(translatedText(texts::kPhase));
    corners_->setName(QStringLiteral("−3 dB"));
    corners_->setMarkerSize(9);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(magnitude_), static_cast<QAbstractSeries*>(phase_),
          static_cast<QAbstractSeries*>(corners_)}) {
        plot->addSeries(series);
    }
    frequencyAxis_->setTitleText(translatedText(texts::kFrequencyAxis));
    frequencyAxis_->setLabelFormat("%.0f");
    frequencyAxis_->setMinorTickCount(8);
    magnitudeAxis_->setTitleText(translatedText(texts::kMagnitudeAxis));
    magnitudeAxis_->setLabelFormat("%.0f");
    phaseAxis_->setTitleText(translatedText(texts::kPhaseAxis));
    phaseAxis_->setLabelFormat("%.0f");
    plot->addAxis(frequencyAxis_, Qt::AlignBottom);
    plot->addAxis(magnitudeAxis_, Qt::AlignLeft);
    plot->addAxis(phaseAxis_, Qt::AlignRight);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(magnitude_), static_cast<QAbstractSeries*>(corners_)}) {
        series->attachAxis(frequencyAxis_);
        series->attachAxis(magnitudeAxis_);
    }
    phase_->attachAxis(frequencyAxis_);
    phase_->attachAxis(phaseAxis_);
    cursor_->setPen(QPen(Qt::gray, 1, Qt::DashLine));
    cursor_->hide();
    scene()->addItem(cursor_);
    begin(10, 1e6);
}

void ResponseChart::begin(double fromHz, double toHz) {
    points_.clear();
    magnitude_->clear();
    phase_->clear();
    corners_->clear();
    cursor_->hide();
    frequencyAxis_->setRange(fromHz, std::max(toHz, fromHz * 10));
    setTicks(*magnitudeAxis_, -40, 10, kMagnitudeStep);
    setTicks(*phaseAxis_, -180, 180, kPhaseStep);
}

void ResponseChart::add(const measure::ResponsePoint& point) {
    points_.push_back(point);
    if (!point.ok()) {
        return;
    }
    magnitude_->append(point.frequencyHz(), point.magnitudeDb);
    phase_->append(point.frequencyHz(), point.unwrappedPhaseDeg);
    fitAxes();
}

void ResponseChart::fitAxes() {
    std::vector<double> decibels;
    std::vector<double> degrees;
    for (const measure::ResponsePoint& point : points_) {
        if (point.ok()) {
            decibels.push_back(point.magnitudeDb);
            degrees.push_back(point.unwrappedPhaseDeg);
        }
    }
    const auto [lowDb, highDb] = span(decibels, kMagnitudeStep);
    const auto [lowDegrees, highDegrees] = span(degrees, kPhaseStep);
    setTicks(*magnitudeAxis_, lowDb, highDb, kMagnitudeStep);
    setTicks(*phaseAxis_, lowDegrees, highDegrees, kPhaseStep);
}

void ResponseChart::markCorners(const std::vector<std::pair<double, double>>& corners) {
    corners_->clear();
    for (const auto& [hz, db] : corners) {
        corners_->append(hz, db);
    }
}

void ResponseChart::placeCursor(double frequencyHz) {
    const std::optional<measure::ResponseReading> reading =
        measure::responseAt(points_, frequencyHz);
    if (!reading) {
        cursor_->hide();
        emit cursorMoved({});
        return;
    }
    const QRectF area = chart()->plotArea();
    const double x = chart()->mapToPosition(QPointF(frequencyHz, 0), magnitude_).x();
    cursor_->setLine(x, area.top(), x, area.bottom());
    cursor_->show();
    emit cursorMoved(translatedText(texts::kCursor)
                         .arg(QString::number(reading->frequencyHz, 'f', 2),
                              QString::number(reading->magnitudeDb, 'f', 2),
                              QString::number(reading->phaseDeg, 'f', 1)));
}

void ResponseChart::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    if (chart()->plotArea().contains(event->position())) {
        placeCursor(chart()->mapToValue(event->position(), magnitude_).x());
    }
}

}  // namespace tavero::qt
