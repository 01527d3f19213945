// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChartView>
#include <vector>

#include "measure/ResponsePoint.h"

class QGraphicsLineItem;
class QLineSeries;
class QLogValueAxis;
class QScatterSeries;
class QValueAxis;

namespace tavero::qt {

/// Magnitude (dB, left axis) and phase (degrees, right axis) over a logarithmic frequency axis,
/// drawn point by point as a sweep measures them. The phase is drawn continued across the
/// sweep. A cursor follows the pointer and reads the curve between points; the -3 dB points are
/// marked.
class ResponseChart final : public QChartView {
    Q_OBJECT

public:
    explicit ResponseChart(QWidget* parent = nullptr);

    /// Empties the curves and spans the frequency axis over the sweep to come.
    void begin(double fromHz, double toHz);
    void add(const measure::ResponsePoint& point);
    /// Marks the -3 dB points, each at its frequency and level.
    void markCorners(const std::vector<std::pair<double, double>>& corners);

    const std::vector<measure::ResponsePoint>& points() const { return points_; }
    /// The cursor at `frequencyHz`, as the pointer puts it there.
    void placeCursor(double frequencyHz);

signals:
    /// The cursor's reading: frequency, magnitude and phase; empty outside the curve.
    void cursorMoved(const QString& reading);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void fitAxes();

    QLineSeries* magnitude_;
    QLineSeries* phase_;
    QScatterSeries* corners_;
    QLogValueAxis* frequencyAxis_;
    QValueAxis* magnitudeAxis_;
    QValueAxis* phaseAxis_;
    QGraphicsLineItem* cursor_;
    std::vector<measure::ResponsePoint> points_;
};

}  // namespace tavero::qt
