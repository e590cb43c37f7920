#pragma once

#include "core/weather/Epw.h"

#include <string>
#include <vector>

// Design points of a weather file, each as the ambient temperature and RH texts
// the zone screen takes: from the handbook data the file stores, and worked out
// from the file's own hours.
namespace Weather {

enum class DesignKind { Dehumidification, Cooling };

inline constexpr const char* kFromFileYear = "from this file's year";

struct DesignPoint {
    DesignKind kind = DesignKind::Dehumidification;
    double percent = 0; // 0.4, 1 or 2: the share of the year's hours above it
    bool fromFileYear = false;
    std::string source; // "ASHRAE Handbook 2009", or kFromFileYear
    double dryBulb = 0; // °C: the design dry bulb, or the mean coincident one
    // Dehumidification: the design dew point; cooling from the year: the mean
    // coincident dew point; NaN for a stored cooling point.
    double dewPoint = 0;
    double wetBulb = 0;          // stored cooling: the mean coincident wet bulb; else NaN
    double humidityRatio = 0;    // g/kg, stored dehumidification only; else NaN
    double rh = 0;               // % worked out from the above, at most 100
    std::string ambientTempText; // txtTamb, one decimal
    std::string ambientRhText;   // txtAmbrh, one decimal
    std::string detail;          // "dew point 23.8°C, 19.2 g/kg"
    // "0.4% dehumidification: 28.9°C / 74.0% RH (dew point 23.8°C, 19.2 g/kg)"
    std::string caption;
};

// Stored dehumidification, stored cooling, then from the year's hours the
// dehumidification and cooling points, each at 0.4, 1 and 2 %. A stored point
// whose RH cannot be formed is left out; the year's points need hours with both
// a dry bulb and a dew point.
std::vector<DesignPoint> DesignPoints(const WeatherFile& file);

// RH (%) of air at dryBulb with that dew point, at most 100.
double RhFromDewPoint(double dryBulb, double dewPoint);

// RH (%) of air at dryBulb with that thermodynamic wet bulb at 101.325 kPa, at most 100.
double RhFromWetBulb(double dryBulb, double wetBulb);

} // namespace Weather
