// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/ChangePlan.h"

namespace tavero::ctl {

/// One `KEY=VALUE` of the command line: a settings field (by its index in record order) and an
/// integer in the field's unit.
using SettingAssignment = model::FieldValue;

/// Refuses a value outside the field's range or off its grid (UsageError).
void checkAssignment(const SettingAssignment& assignment);

/// Parses `KEY=VALUE` with a profile-file key and a decimal integer, and refuses a value outside
/// the field's own range (UsageError). Needs no generator.
SettingAssignment parseAssignment(std::string_view text);

/// Parses one or more assignments, each key at most once; throws UsageError.
std::vector<SettingAssignment> parseAssignments(const std::vector<std::string>& texts);

}  // namespace tavero::ctl
