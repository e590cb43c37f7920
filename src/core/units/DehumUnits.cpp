#include "core/units/DehumUnits.h"

#include <cmath>

namespace Dehum_Units {

bool InsideEnvelope(double wetBulb) {
    // Written so that a wet bulb that is not a number lies outside.
    return wetBulb >= kEnvelopeLow && wetBulb <= kEnvelopeHigh;
}

std::optional<double> UnitMoistureRemoval(double twb, double rh, double t) {
    const double rh2 = std::pow(rh, 2);
    if (twb > 15 && twb < 31) {
        return (-0.002 * rh2 + 0.293 * rh - 6.2312) * t + 0.0383 * rh2 - 3.6865 * rh + 71.199;
    }
    if (twb > 8 && twb <= 15) {
        return (0.0803 * rh + 0.1293) * t + 0.0221 * rh2 - 2.0429 * rh + 9.429;
    }
    return std::nullopt;
}

Rates RatesFor(double r100) {
    return {r100, kFactor160 * r100, kFactor200 * r100};
}

} // namespace Dehum_Units
