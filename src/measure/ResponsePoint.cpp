// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/ResponsePoint.h"

#include <array>
#include <cmath>

namespace tavero::measure {

std::string_view exclusionName(Exclusion exclusion) {
    static constexpr std::array<std::string_view, 6> kNames = {"ok",
                                                               "clipped",
                                                               "below-resolution",
                                                               "invalid-measurement",
                                                               "too-few-samples-per-period",
                                                               "scope-timeout"};
    return kNames[static_cast<std::size_t>(exclusion)];
}

double wrapPhase(double degrees) {
    double wrapped = std::fmod(degrees, 360.0);
    if (wrapped <= -180) {
        wrapped += 360;
    } else if (wrapped > 180) {
        wrapped -= 360;
    }
    return wrapped;
}

double continuePhase(std::optional<double> previousUnwrappedDeg, double phaseDeg) {
    return previousUnwrappedDeg
               ? *previousUnwrappedDeg + wrapPhase(phaseDeg - *previousUnwrappedDeg)
               : phaseDeg;
}

}  // namespace tavero::measure
