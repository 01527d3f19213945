// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring a circuit's frequency response with an oscilloscope.
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/NumberText.h"
#include "ctl/BodeArguments.h"
#include "ctl/ControlTool.h"
#include "ctl/JsonObject.h"
#include "ctl/RunSweepClock.h"
#include "ctl/UsageError.h"
#include "measure/ResponseSummary.h"
#include "measure/ResponseTable.h"
#include "measure/SweepRunner.h"
#include "model/GeneratorSignalSource.h"
#include "scope/ScopeConnection.h"

namespace tavero::ctl {

namespace {

/// Prints a line a point on standard error and, when the table goes there, its row on
/// standard output as soon as the point is done.
class BodeProgress final : public measure::SweepObserver {
public:
    BodeProgress(std::ostream& errors, std::ostream* table) : errors_(errors), table_(table) {}

    void pointDone(const measure::ResponsePoint& point, std::size_t index,
                   std::size_t count) override {
        errors_ << "bode: " << index + 1 << "/" << count << " "
                << formatFixed(point.frequencyHz(), 2) << " Hz ";
        if (point.ok()) {
            errors_ << formatFixed(point.magnitudeDb, 3) << " dB " << formatFixed(point.phaseDeg, 2)
                    << " deg\n";
        } else {
            errors_ << measure::exclusionName(point.exclusion) << '\n';
        }
        if (table_ != nullptr) {
            *table_ << measure::tableRow(point) << '\n' << std::flush;
        }
    }

private:
    std::ostream& errors_;
    std::ostream* table_;
};

std::string_view endName(measure::SweepEnd end) {
    switch (end) {
        case measure::SweepEnd::kFinished:
            return "finished";
        case measure::SweepEnd::kStopped:
            return "stopped";
        case measure::SweepEnd::kSourceFailed:
            return "generator-failed";
        case measure::SweepEnd::kScopeLost:
            break;
    }
    return "scope-lost";
}

std::string jsonReading(const measure::ResponseReading& reading) {
    JsonObject object;
    object.addNumber("frequency_hz", formatFixed(reading.frequencyHz, 2));
    object.addNumber("phase_deg", formatFixed(reading.phaseDeg, 2));
    return object.text();
}

/// The whole sweep as one JSON object.
std::string jsonOutcome(const std::string& identity, const measure::SweepOutcome& outcome) {
    std::string points;
    for (const measure::ResponsePoint& point : outcome.points) {
        JsonObject object;
        object.addNumber("frequency_hz", formatFixed(point.frequencyHz(), 2));
        if (point.ok()) {
            object.addNumber("magnitude_db", formatFixed(point.magnitudeDb, 3));
            object.addNumber("phase_deg", formatFixed(point.phaseDeg, 2));
            object.addNumber("phase_unwrapped_deg", formatFixed(point.unwrappedPhaseDeg, 2));
        }
        object.addString("status", measure::exclusionName(point.exclusion));
        points += (points.empty() ? "" : ",") + object.text();
    }
    const measure::ResponseSummary summary = measure::summarize(outcome.points);
    std::string corners;
    for (const measure::ResponseReading& corner : summary.corners) {
        corners += (corners.empty() ? "" : ",") + jsonReading(corner);
    }
    std::string text = "{\"scope\":" + jsonString(identity) +
                       ",\"end\":" + jsonString(endName(outcome.end)) +
                       ",\"planned_points\":" + std::to_string(outcome.plannedPoints) +
                       ",\"points\":[" + points + "],\"corners_3db\":[" + corners + "]";
    if (summary.centreHz) {
        text += ",\"centre_hz\":" + formatFixed(*summary.centreHz, 2);
    }
    return text + "}";
}

}  // namespace

int ControlTool::bode(const CommandLine& line) {
    const BodeArguments arguments = parseBodeArguments(line.sweepOptions);
    // The scope first: a wrong address must not touch the generator.
    scope::ScopeConnection scope;
    try {
        scope = scope::connectScope(arguments.scope);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    } catch (const measure::ScopeError& e) {
        env_.errors << "tavero-ctl: the scope at " << arguments.scope << ": " << e.what() << '\n';
        return kExitFailure;
    }
    if (arguments.request.method == measure::Method::kMeasure && !scope.model.limits.measures) {
        throw UsageError("the scope " + scope.identity +
                         " has no measurements this program knows; use --method capture");
    }
    env_.errors << "bode: " << scope.model.family << ": " << scope.identity << '\n';

    const std::unique_ptr<GeneratorSession> generator = session();
    if (!generator->open() || interrupted() || !generator->readParameters() || interrupted()) {
        return stopped();
    }
    model::GeneratorSignalSource source(
        [&generator](const model::Edit& edit) { return generator->apply(edit); },
        generator->settings());
    RunSweepClock clock(env_.clock);
    const bool tableToOutput = !line.json && arguments.csvPath.empty();
    if (tableToOutput) {
        env_.out << measure::kTableHeader << '\n' << std::flush;
    }
    BodeProgress progress(env_.errors, tableToOutput ? &env_.out : nullptr);
    const measure::SweepOutcome outcome =
        measure::SweepRunner(source, *scope.scope, clock, progress)
            .run(arguments.request, [&clock] { return clock.stopRequested(); });

    const measure::ResponseSummary summary = measure::summarize(outcome.points);
    for (const measure::ResponseReading& corner : summary.corners) {
        env_.errors << "bode: -3 dB at " << formatFixed(corner.frequencyHz, 2) << " Hz, phase "
                    << formatFixed(corner.phaseDeg, 2) << " deg\n";
    }
    if (summary.centreHz) {
        env_.errors << "bode: band centre " << formatFixed(*summary.centreHz, 2) << " Hz\n";
    }
    if (line.json) {
        env_.out << jsonOutcome(scope.identity, outcome) << '\n';
    }
    int status = kExitSuccess;
    if (!arguments.csvPath.empty()) {
        const store::SaveResult saved =
            env_.fileWriter.replaceFile(arguments.csvPath, measure::responseTable(outcome.points));
        if (!saved) {
            env_.errors << "tavero-ctl: cannot write " << saved.text() << '\n';
            status = kExitFailure;
        }
    }
    const std::string kept = std::to_string(outcome.points.size()) + " of " +
                             std::to_string(outcome.plannedPoints) + " points";
    switch (outcome.end) {
        case measure::SweepEnd::kFinished:
            return status;
        case measure::SweepEnd::kStopped:
            env_.errors << "tavero-ctl: bode stopped after " << kept << "; they are written\n";
            return stopped();
        case measure::SweepEnd::kSourceFailed:
            env_.errors << "tavero-ctl: the generator failed; bode stopped after " << kept
                        << "; they are written\n";
            return kExitFailure;
        case measure::SweepEnd::kScopeLost:
            break;
    }
    env_.errors << "tavero-ctl: the scope is gone (" << outcome.scopeFailure
                << "); bode stopped after " << kept << "; they are written\n";
    return kExitFailure;
}

}  // namespace tavero::ctl
