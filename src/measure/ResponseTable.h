// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "measure/ResponsePoint.h"

namespace tavero::measure {

/// The first line of a sweep's table.
inline constexpr std::string_view kTableHeader = "frequency_hz,magnitude_db,phase_deg,status";

/// One point as a line of the table, without its line end: "1591.50,-3.010,-45.00,ok", or
/// "10.00,,,clipped" for a point without a value. Numbers with a point, whatever the locale.
std::string tableRow(const ResponsePoint& point);

/// The header and a row per point, each line ended by a line feed.
std::string responseTable(const std::vector<ResponsePoint>& points);

}  // namespace tavero::measure
