#pragma once

#include <utility>
#include <vector>

// The lines of a psychrometric chart, dry bulb against humidity ratio at one
// barometric pressure, worked out with the engine's own moist-air functions so
// that a point plotted from a calculation sits where its lines say it does.
namespace PsychroChart {

struct Point {
    double t = 0; // dry bulb, °C
    double W = 0; // humidity ratio, kg/kg dry air
};
using Line = std::vector<Point>;

inline constexpr double kLowestDryBulb = 0;   // °C, the calculations' range
inline constexpr double kHighestDryBulb = 50; // °C

// Saturated air from t0 to t1.
Line SaturationLine(double pressureKPa, double t0 = kLowestDryBulb, double t1 = kHighestDryBulb);

// Air of one relative humidity (%) from t0 to t1.
Line RelativeHumidityLine(double rh, double pressureKPa, double t0 = kLowestDryBulb,
                          double t1 = kHighestDryBulb);

// Air of one wet bulb: from saturation at t = twb towards warmer, drier air,
// ending where the air is dry (W = 0) or at t1, whichever comes first.
Line WetBulbLine(double twb, double pressureKPa, double t1 = kHighestDryBulb);

// The air whose wet bulb lies from low to high (both included) as one closed
// outline: the low wet-bulb line from saturation down, the dry and warm edges
// of the chart, the high wet-bulb line up to saturation and the saturation
// line back down to where it started.
Line EnvelopeOutline(double low, double high, double pressureKPa, double t1 = kHighestDryBulb);

// Whether the outline encloses the point (even-odd rule).
bool Encloses(const Line& outline, Point p);

// Every line of a chart at one pressure.
struct Curves {
    double pressureKPa = 0;
    Line saturation;
    std::vector<std::pair<int, Line>> relativeHumidity; // 10 % to 90 %, every 10 %
    std::vector<std::pair<int, Line>> wetBulb;          // 0 °C to 35 °C, every 5 °C
    Line envelopeLow;                                   // the units' lowest wet bulb
    Line envelopeHigh;                                  // and their highest
    Line envelope;
};

Curves ChartCurves(double pressureKPa);

} // namespace PsychroChart
