// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/SettingAssignments.h"

#include <algorithm>
#include <charconv>

#include "ctl/UsageError.h"
#include "model/FieldRules.h"

namespace tavero::ctl {

namespace {

std::string describe(const model::FieldRule& rule) {
    std::string text = std::to_string(rule.minimum) + " to " + std::to_string(rule.maximum);
    return rule.grid != 1 ? "a multiple of " + std::to_string(rule.grid) + " from " + text : text;
}

}  // namespace

SettingAssignment parseAssignment(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("expected KEY=VALUE, got '" + std::string(text) + "'");
    }
    const std::string_view key = text.substr(0, equals);
    const std::string_view number = text.substr(equals + 1);
    const std::size_t field = settingsFieldIndex(key);
    if (field == kSettingsFieldCount) {
        throw UsageError("unknown key '" + std::string(key) + "'");
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size()) {
        throw UsageError("'" + std::string(number) + "' is not a whole number for " +
                         std::string(key));
    }
    checkAssignment({field, value});
    return {field, value};
}

void checkAssignment(const SettingAssignment& assignment) {
    const model::FieldRule& rule = model::fieldRule(assignment.field);
    const std::int64_t value = assignment.value;
    if (!rule.admit(value, model::GridPolicy::kRefuse)) {
        throw UsageError(std::string(rule.key) + "=" + std::to_string(value) +
                         " is refused: allowed is " + describe(rule));
    }
}

std::vector<SettingAssignment> parseAssignments(const std::vector<std::string>& texts) {
    if (texts.empty()) {
        throw UsageError("expected at least one KEY=VALUE");
    }
    std::vector<SettingAssignment> assignments;
    for (const std::string& text : texts) {
        const SettingAssignment parsed = parseAssignment(text);
        if (std::any_of(
                assignments.begin(), assignments.end(),
                [&parsed](const SettingAssignment& a) { return a.field == parsed.field; })) {
            throw UsageError(std::string(model::fieldRule(parsed.field).key) +
                             " is given more than once");
        }
        assignments.push_back(parsed);
    }
    return assignments;
}

}  // namespace tavero::ctl
