#pragma once

// Moist-air properties at a given barometric pressure. Plain functions of numbers:
// no state, no checks. Temperatures in °C, pressures in Pa except where named kPa.
namespace Psychrometrics {

struct AirState {
    double pws = 0; // saturation vapour pressure, Pa
    double pw = 0;  // vapour pressure, Pa
    double W = 0;   // humidity ratio, kg/kg dry air
    double v = 0;   // specific volume, m3/kg
    double d = 0;   // density, kg/m3
    double h = 0;   // enthalpy, kJ/kg
    double DP = 0;  // dew point, °C
};

struct WetBulb {
    double temperature = 0; // °C
    int iterations = 0;
    // False when the search ran out of passes without meeting its tolerance.
    bool converged = false;
};

inline constexpr int kWetBulbPassLimit = 10000;

// Saturation vapour pressure over liquid water at t (°C), in Pa.
double SaturationPressure(double t);

// Humidity ratio of air at total pressure p with vapour pressure pw (both Pa).
double HumidityRatio(double p, double pw);

// The vapour pressure (Pa) of air at total pressure p (Pa) with humidity ratio W:
// HumidityRatio solved for pw.
double VapourPressure(double p, double W);

// The humidity ratio of air at t whose thermodynamic wet bulb is twb: the
// relation WetBulbTemperature solves for twb, evaluated as the search does.
double WetBulbHumidityRatio(double pressurePa, double t, double twb);

// The thermodynamic wet bulb by a fixed-step correction search starting at t.
WetBulb WetBulbTemperature(double pressurePa, double t, double W);

// The property set of air at t (°C), rh (%) and barometric pressure (kPa).
AirState ComputeAirState(double t, double rh, double pressureKPa);

// The same property set for saturated air at t (vapour pressure = saturation
// pressure); the dew point is not worked out and stays 0.
AirState ComputeSaturatedAirState(double t, double pressureKPa);

} // namespace Psychrometrics
