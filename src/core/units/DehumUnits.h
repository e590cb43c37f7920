#pragma once

#include <optional>

// The HX unit series: removal rate of one unit and its operating envelope.
namespace Dehum_Units {

inline constexpr double kEnvelopeLow = 13.0;  // °C wet bulb, included
inline constexpr double kEnvelopeHigh = 31.0; // °C wet bulb, included
inline constexpr double kFactor160 = 1.6;
inline constexpr double kFactor200 = 2.0;

// True when the room air's wet bulb lies inside the units' operating envelope.
bool InsideEnvelope(double wetBulb);

// Removal rate of one HX 100 unit in litres/day at wet bulb twb, relative humidity
// rh (%) and dry bulb t (°C); no value outside both rating bands. May be negative.
std::optional<double> UnitMoistureRemoval(double twb, double rh, double t);

struct Rates {
    double r100 = 0;
    double r160 = 0;
    double r200 = 0;

    // All three usable for dividing a load by.
    bool AllPositive() const { return r100 > 0 && r160 > 0 && r200 > 0; }
};

// The three sizes' rates derived from the rate of one 100 unit.
Rates RatesFor(double r100);

// The rates at a room's condition (no rate of a 100 outside both rating bands)
// and the number of units of each size a load calls for.
struct UnitCounts {
    std::optional<double> rate100;
    double rate160 = 0;
    double rate200 = 0;
    double count100 = 0;
    double count160 = 0;
    double count200 = 0;
};

} // namespace Dehum_Units
