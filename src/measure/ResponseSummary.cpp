// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ResponseSummary.h"

#include <algorithm>
#include <cmath>

namespace tavero::measure {

namespace {

std::vector<const ResponsePoint*> valued(const std::vector<ResponsePoint>& points) {
    std::vector<const ResponsePoint*> kept;
    for (const ResponsePoint& point : points) {
        if (point.ok()) {
            kept.push_back(&point);
        }
    }
    return kept;
}

/// The reading a share `t` of the way from `a` to `b`, over the log of the frequency.
ResponseReading between(const ResponsePoint& a, const ResponsePoint& b, double t) {
    const double logF =
        std::log(a.frequencyHz()) + t * (std::log(b.frequencyHz()) - std::log(a.frequencyHz()));
    return {.frequencyHz = std::exp(logF),
            .magnitudeDb = a.magnitudeDb + t * (b.magnitudeDb - a.magnitudeDb),
            .phaseDeg =
                wrapPhase(a.unwrappedPhaseDeg + t * (b.unwrappedPhaseDeg - a.unwrappedPhaseDeg))};
}

ResponseReading readingOf(const ResponsePoint& point) {
    return {.frequencyHz = point.frequencyHz(),
            .magnitudeDb = point.magnitudeDb,
            .phaseDeg = point.phaseDeg};
}

}  // namespace

std::optional<ResponseReading> responseAt(const std::vector<ResponsePoint>& points,
                                          double frequencyHz) {
    const std::vector<const ResponsePoint*> kept = valued(points);
    for (std::size_t i = 0; i + 1 < kept.size(); ++i) {
        const ResponsePoint& a = *kept[i];
        const ResponsePoint& b = *kept[i + 1];
        if (frequencyHz >= a.frequencyHz() && frequencyHz <= b.frequencyHz()) {
            const double span = std::log(b.frequencyHz() / a.frequencyHz());
            const double t = span > 0 ? std::log(frequencyHz / a.frequencyHz()) / span : 0.0;
            return between(a, b, t);
        }
    }
    if (kept.size() == 1 && kept[0]->frequencyHz() == frequencyHz) {
        return readingOf(*kept[0]);
    }
    return std::nullopt;
}

ResponseSummary summarize(const std::vector<ResponsePoint>& points, double dropDb) {
    ResponseSummary summary;
    const std::vector<const ResponsePoint*> kept = valued(points);
    if (kept.empty()) {
        return summary;
    }
    const auto peak = std::max_element(kept.begin(), kept.end(), [](const auto* a, const auto* b) {
        return a->magnitudeDb < b->magnitudeDb;
    });
    summary.peak = readingOf(**peak);
    const double level = (*peak)->magnitudeDb - dropDb;
    for (std::size_t i = 0; i + 1 < kept.size(); ++i) {
        const double a = kept[i]->magnitudeDb - level;
        const double b = kept[i + 1]->magnitudeDb - level;
        if ((a > 0 && b <= 0) || (a <= 0 && b > 0)) {
            summary.corners.push_back(between(*kept[i], *kept[i + 1], a / (a - b)));
        }
    }
    const double peakHz = (*peak)->frequencyHz();
    const auto above = std::find_if(summary.corners.begin(), summary.corners.end(),
                                    [peakHz](const auto& c) { return c.frequencyHz > peakHz; });
    if (above != summary.corners.begin() && above != summary.corners.end()) {
        summary.centreHz = std::sqrt(std::prev(above)->frequencyHz * above->frequencyHz);
    }
    return summary;
}

}  // namespace tavero::measure
