// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/BodeArguments.h"

#include <charconv>
#include <cmath>
#include <map>
#include <optional>

#include "core/SettingsLimits.h"
#include "ctl/UsageError.h"

namespace tavero::ctl {

namespace {

constexpr unsigned kMostPointsPerDecade = 1000;
constexpr unsigned kMostPoints = 100000;
constexpr unsigned kLongestSettleMs = 60000;
constexpr int kChannels = 4;

std::optional<double> decimal(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

/// The option's value as a whole number in [least, most]; throws UsageError otherwise.
unsigned whole(const std::string& option, const std::string& text, unsigned least, unsigned most) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty() || value < least ||
        value > most) {
        throw UsageError(option + " takes a whole number from " + std::to_string(least) + " to " +
                         std::to_string(most) + ", not '" + text + "'");
    }
    return value;
}

/// A frequency in Hz as 0.01 Hz, within the generator's range.
std::uint32_t frequency(const std::string& option, const std::string& text) {
    const std::optional<double> hz = decimal(text);
    const double centiHz = hz ? std::round(*hz * 100) : -1;
    if (centiHz < kFrequencyGridCentiHz || centiHz > kMaximumFrequencyCentiHz) {
        throw UsageError(option + " takes a frequency in Hz from 0.25 to 30000000, not '" + text +
                         "'");
    }
    return static_cast<std::uint32_t>(centiHz);
}

}  // namespace

BodeArguments parseBodeArguments(const std::vector<std::pair<std::string, std::string>>& options) {
    std::map<std::string, std::string> given;
    for (const auto& [option, value] : options) {
        if (!given.emplace(option, value).second) {
            throw UsageError(option + " is given twice");
        }
    }
    const auto value = [&given](const std::string& option) -> const std::string* {
        const auto found = given.find(option);
        return found == given.end() ? nullptr : &found->second;
    };
    for (const char* needed : {"--scope", "--from", "--to"}) {
        if (value(needed) == nullptr) {
            throw UsageError(std::string("bode needs ") + needed);
        }
    }
    BodeArguments arguments;
    arguments.scope = *value("--scope");
    measure::SweepRequest& request = arguments.request;
    request.plan.fromCentiHz = frequency("--from", *value("--from"));
    request.plan.toCentiHz = frequency("--to", *value("--to"));
    if (request.plan.fromCentiHz > request.plan.toCentiHz) {
        throw UsageError("--from must not lie above --to");
    }
    const bool linear = value("--linear") != nullptr;
    if (linear != (value("--points") != nullptr)) {
        throw UsageError("--points and --linear go together");
    }
    if (linear && value("--points-per-decade") != nullptr) {
        throw UsageError("--points-per-decade and --linear exclude each other");
    }
    request.plan.spacing =
        linear ? measure::PlanSpacing::kLinear : measure::PlanSpacing::kLogarithmic;
    request.plan.points =
        linear ? whole("--points", *value("--points"), 2, kMostPoints)
        : value("--points-per-decade")
            ? whole("--points-per-decade", *value("--points-per-decade"), 1, kMostPointsPerDecade)
            : 10;
    if (const std::string* amplitude = value("--amplitude")) {
        request.amplitudeMillivolt =
            whole("--amplitude", *amplitude, 1, kMaximumAmplitudeMillivolt);
    }
    if (const std::string* input = value("--input")) {
        request.inputChannel = static_cast<int>(whole("--input", *input, 1, kChannels));
    }
    if (const std::string* output = value("--output")) {
        request.outputChannel = static_cast<int>(whole("--output", *output, 1, kChannels));
    }
    if (request.inputChannel == request.outputChannel) {
        throw UsageError("--input and --output must name two channels");
    }
    if (const std::string* method = value("--method")) {
        if (*method != "measure" && *method != "capture") {
            throw UsageError("--method takes measure or capture, not '" + *method + "'");
        }
        request.method =
            *method == "measure" ? measure::Method::kMeasure : measure::Method::kCapture;
    }
    if (const std::string* settle = value("--settle")) {
        request.settle.time =
            std::chrono::milliseconds(whole("--settle", *settle, 0, kLongestSettleMs));
    }
    if (const std::string* csv = value("--csv")) {
        if (csv->empty()) {
            throw UsageError("--csv needs a file");
        }
        arguments.csvPath = *csv;
    }
    return arguments;
}

}  // namespace tavero::ctl
