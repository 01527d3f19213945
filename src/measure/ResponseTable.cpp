// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ResponseTable.h"

#include "core/NumberText.h"

namespace tavero::measure {

std::string tableRow(const ResponsePoint& point) {
    std::string row = formatFixed(point.frequencyHz(), 2) + ",";
    if (point.ok()) {
        row += formatFixed(point.magnitudeDb, 3) + "," + formatFixed(point.phaseDeg, 2);
    } else {
        row += ",";
    }
    row += ",";
    row += exclusionName(point.exclusion);
    return row;
}

std::string responseTable(const std::vector<ResponsePoint>& points) {
    std::string table(kTableHeader);
    table += '\n';
    for (const ResponsePoint& point : points) {
        table += tableRow(point) + '\n';
    }
    return table;
}

}  // namespace tavero::measure
