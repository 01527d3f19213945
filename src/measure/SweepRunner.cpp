// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/SweepRunner.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "measure/ScaleSequence.h"
#include "measure/ToneEstimator.h"

namespace tavero::measure {

namespace {

/// A measured trace above this share of the screen counts as clipped: a scope's peak-to-peak of
/// a trace cut at the edge reads as the screen's height.
constexpr double kClippedShare = 0.95;

double degrees(double radians) {
    return radians * 180 / std::numbers::pi;
}

/// The first verdict of the pair that keeps the point from a value, by how it is reported.
Exclusion exclusionOf(RangeVerdict input, RangeVerdict output) {
    for (const RangeVerdict verdict : {input, output}) {
        switch (verdict) {
            case RangeVerdict::kClipped:
                return Exclusion::kClipped;
            case RangeVerdict::kBelowResolution:
                return Exclusion::kBelowResolution;
            case RangeVerdict::kInvalid:
                return Exclusion::kInvalidMeasurement;
            case RangeVerdict::kFits:
            case RangeVerdict::kRetry:
                break;
        }
    }
    return Exclusion::kNone;
}

}  // namespace

SweepRunner::SweepRunner(SignalSource& source, Oscilloscope& scope, SweepClock& clock,
                         SweepObserver& observer)
    : source_(source), scope_(scope), clock_(clock), observer_(observer) {}

double SweepRunner::timebaseFor(std::uint32_t frequencyCentiHz) const {
    const double wanted =
        kPeriodsOnScreen * 100.0 / (frequencyCentiHz * limits_.horizontalDivisions);
    return std::clamp(scaleAtLeast(wanted), limits_.minSecondsPerDivision,
                      limits_.maxSecondsPerDivision);
}

void SweepRunner::applyScale(int channel, double& current, double wanted) {
    if (current != wanted) {
        scope_.setVerticalScale(channel, wanted);
        current = wanted;
    }
}

ChannelView SweepRunner::look(const SweepRequest& request, int channel, double voltsPerDivision) {
    if (request.method == Method::kCapture) {
        Waveform& trace = channel == request.inputChannel ? inputTrace_ : outputTrace_;
        trace = scope_.waveform(channel);
        return {.peakToPeakVolts = peakToPeak(trace), .clipped = trace.clipped};
    }
    const std::optional<double> volts = scope_.peakToPeak(channel);
    return {
        .peakToPeakVolts = volts,
        .clipped = volts && *volts > kClippedShare * limits_.vertical.divisions * voltsPerDivision};
}

std::optional<Exclusion> SweepRunner::rangeChannels(const SweepRequest& request,
                                                    double frequencyHz) {
    VerticalRanging input(limits_.vertical, inputScale_, inputLost_);
    VerticalRanging output(limits_.vertical, outputScale_, outputLost_);
    const auto screenTime = std::chrono::microseconds(
        static_cast<std::int64_t>(std::ceil(timebase_ * limits_.horizontalDivisions * 1e6)));
    while (true) {
        applyScale(request.inputChannel, inputScale_, input.scale());
        applyScale(request.outputChannel, outputScale_, output.scale());
        if (!scope_.acquire(clock_, screenTime)) {
            return std::nullopt;
        }
        inputView_ = look(request, request.inputChannel, inputScale_);
        outputView_ = look(request, request.outputChannel, outputScale_);
        // Traces that cannot hold the tone would only mislead the ranging.
        if (request.method == Method::kCapture &&
            (checkSampling(inputTrace_, frequencyHz) != SamplingCheck::kEnough ||
             checkSampling(outputTrace_, frequencyHz) != SamplingCheck::kEnough)) {
            return Exclusion::kTooFewSamplesPerPeriod;
        }
        const RangeVerdict in = input.judge(inputView_);
        const RangeVerdict out = output.judge(outputView_);
        if (in != RangeVerdict::kRetry && out != RangeVerdict::kRetry) {
            inputLost_ = in == RangeVerdict::kInvalid;
            outputLost_ = out == RangeVerdict::kInvalid;
            return exclusionOf(in, out);
        }
    }
}

std::optional<ResponsePoint> SweepRunner::measurePoint(const SweepRequest& request,
                                                       std::uint32_t frequencyCentiHz) {
    ResponsePoint point{.frequencyCentiHz = frequencyCentiHz};
    const double hz = point.frequencyHz();
    const std::optional<Exclusion> exclusion = rangeChannels(request, hz);
    if (!exclusion) {
        return std::nullopt;
    }
    point.exclusion = *exclusion;
    if (!point.ok()) {
        return point;
    }
    if (request.method == Method::kCapture) {
        const std::complex<double> ratio =
            estimateTone(outputTrace_, hz) / estimateTone(inputTrace_, hz);
        point.magnitudeDb = 20 * std::log10(std::abs(ratio));
        point.phaseDeg = wrapPhase(degrees(std::arg(ratio)));
        return point;
    }
    // The peak-to-peak readings of the look that fitted: each reading costs the scope's time.
    const std::optional<double> in = inputView_.peakToPeakVolts;
    const std::optional<double> out = outputView_.peakToPeakVolts;
    const std::optional<double> lag = scope_.phaseLag(request.inputChannel, request.outputChannel);
    if (!in || !out || !lag || *in <= 0 || *out <= 0) {
        point.exclusion = Exclusion::kInvalidMeasurement;
        return point;
    }
    point.magnitudeDb = 20 * std::log10(*out / *in);
    point.phaseDeg = wrapPhase(-*lag);
    return point;
}

void SweepRunner::finish(SweepOutcome& outcome) {
    // Both get their settings back whatever ended the sweep; a scope that is gone cannot.
    const bool restored = source_.restore();
    if (!restored && outcome.end == SweepEnd::kFinished) {
        outcome.end = SweepEnd::kSourceFailed;
    }
    if (outcome.end != SweepEnd::kScopeLost) {
        try {
            scope_.restore();
        } catch (const ScopeError& e) {
            outcome.end = SweepEnd::kScopeLost;
            outcome.scopeFailure = e.what();
        }
    }
}

SweepOutcome SweepRunner::run(const SweepRequest& request,
                              const std::function<bool()>& stopRequested) {
    SweepOutcome outcome;
    const std::vector<std::uint32_t> plan =
        planFrequencies(request.plan, source_.range().gridCentiHz);
    outcome.plannedPoints = plan.size();
    try {
        limits_ = scope_.limits();
        scope_.prepare(request.inputChannel, request.outputChannel);
    } catch (const ScopeError& e) {
        outcome.end = SweepEnd::kScopeLost;
        outcome.scopeFailure = e.what();
        return outcome;
    }
    if (!source_.start(request.amplitudeMillivolt)) {
        outcome.end = SweepEnd::kSourceFailed;
        finish(outcome);
        return outcome;
    }
    const double startScale = fittingScale(request.amplitudeMillivolt / 1000.0, limits_.vertical);
    inputScale_ = outputScale_ = timebase_ = 0;
    inputLost_ = outputLost_ = false;
    int timeoutsInARow = 0;
    std::optional<double> lastPhase;
    try {
        for (std::size_t i = 0; i < plan.size(); ++i) {
            if (stopRequested()) {
                outcome.end = SweepEnd::kStopped;
                break;
            }
            if (i == 0) {
                applyScale(request.inputChannel, inputScale_, startScale);
                applyScale(request.outputChannel, outputScale_, startScale);
            }
            if (!source_.setFrequency(plan[i])) {
                outcome.end = SweepEnd::kSourceFailed;
                break;
            }
            const auto changed = clock_.now();
            const double timebase = timebaseFor(plan[i]);
            if (timebase != timebase_) {
                scope_.setTimebase(timebase);
                timebase_ = timebase;
            }
            std::optional<ResponsePoint> point;
            if (clock_.waitUntil(changed + settleTime(request.settle, plan[i]))) {
                try {
                    point = measurePoint(request, plan[i]);
                    timeoutsInARow = 0;
                } catch (const ScopeError& e) {
                    if (e.kind() != ScopeError::Kind::kTimeout ||
                        ++timeoutsInARow >= kTimeoutsToGiveUp) {
                        throw;
                    }
                    point = ResponsePoint{.frequencyCentiHz = plan[i],
                                          .exclusion = Exclusion::kScopeTimeout};
                }
            }
            if (!point) {
                outcome.end = SweepEnd::kStopped;
                break;
            }
            if (point->ok()) {
                point->unwrappedPhaseDeg = continuePhase(lastPhase, point->phaseDeg);
                lastPhase = point->unwrappedPhaseDeg;
            }
            outcome.points.push_back(*point);
            observer_.pointDone(*point, i, plan.size());
        }
    } catch (const ScopeError& e) {
        outcome.end = SweepEnd::kScopeLost;
        outcome.scopeFailure = e.what();
    }
    finish(outcome);
    return outcome;
}

}  // namespace tavero::measure
