#include "core/psychrometrics/Psychrometrics.h"

#include <cmath>

namespace Psychrometrics {
namespace {

constexpr double kAbsoluteZero = 273.15;
constexpr double C8 = -5.8002206e3;
constexpr double C9 = 1.3914993;
constexpr double C10 = -4.8640239e-2;
constexpr double C11 = 4.1764768e-5;
constexpr double C12 = -1.4452093e-8;
constexpr double C13 = 6.5459673;

constexpr double kMassRatio = 0.62198;
constexpr double kEnhancement = 1.0039;
constexpr double kPremultipliedRatio =
    0.624405722; // kMassRatio * kEnhancement, as used in the search

constexpr double kStartOffset = 0.01;
constexpr double kTolerance = 0.0001;
constexpr double kStepFactor = 0.1;

// Specific volume, density and enthalpy from t, W and the pressure in kPa.
void FillVolumeAndEnthalpy(AirState& s, double t, double pressureKPa) {
    s.v = 0.2871 * (t + kAbsoluteZero) * (1 + 1.6078 * s.W) / pressureKPa;
    s.d = 1 / s.v;
    s.h = 1.006 * t + s.W * (2501 + 1.805 * t);
}

// x cubed, rounded once as pow(x, 3) rounds it, without pow's cost: this runs on
// every pass of the wet-bulb search, where pow was a third of a batch's time.
// The product's rounding errors are taken exactly with fma and added back.
double Cube(double x) {
    const double square = x * x;
    const double squareError = std::fma(x, x, -square);
    const double cube = square * x;
    const double cubeError = std::fma(square, x, -cube);
    return cube + (squareError * x + cubeError);
}

} // namespace

double SaturationPressure(double t) {
    const double T = t + kAbsoluteZero;
    return std::exp(C8 / T + C9 + C10 * T + C11 * (T * T) + C12 * Cube(T) + C13 * std::log(T));
}

double HumidityRatio(double p, double pw) {
    return kMassRatio * ((kEnhancement * pw) / (p - kEnhancement * pw));
}

double VapourPressure(double p, double W) {
    return (W * p) / (kEnhancement * (kMassRatio + W));
}

double WetBulbHumidityRatio(double pressurePa, double t, double twb) {
    const double pwsStar = SaturationPressure(twb);
    const double WsStar = (kPremultipliedRatio * pwsStar) / (pressurePa - kEnhancement * pwsStar);
    return ((2501 - 2.381 * twb) * WsStar - (t - twb)) / (2501 + 1.805 * t - 4.186 * twb);
}

WetBulb WetBulbTemperature(double pressurePa, double t, double W) {
    int n = 0;
    double tStar = t;
    double Wc = W - kStartOffset;
    while (n < kWetBulbPassLimit && std::fabs(Wc - W) > kTolerance) {
        ++n;
        Wc = WetBulbHumidityRatio(pressurePa, t, tStar);
        tStar = tStar - kStepFactor * (Wc - W) / W;
    }
    // A NaN difference ends the loop as well; it never counts as met.
    const bool met = std::fabs(Wc - W) <= kTolerance;
    return {tStar, n, met};
}

AirState ComputeAirState(double t, double rh, double pressureKPa) {
    AirState s;
    s.pws = SaturationPressure(t);
    s.pw = s.pws * (rh / 100);
    s.W = HumidityRatio(pressureKPa * 1000, s.pw);
    FillVolumeAndEnthalpy(s, t, pressureKPa);
    const double pk = s.pw / 1000;
    const double alpha = std::log(pk);
    s.DP = 6.54 + 14.526 * alpha + 0.7389 * std::pow(alpha, 2) + 0.09486 * std::pow(alpha, 3) +
           0.4569 * std::pow(pk, 0.1984);
    if (s.DP < 0) {
        s.DP = 6.09 + 12.608 * alpha + 0.4959 * std::pow(alpha, 2);
    }
    return s;
}

AirState ComputeSaturatedAirState(double t, double pressureKPa) {
    AirState s;
    s.pws = SaturationPressure(t);
    s.pw = s.pws;
    s.W = HumidityRatio(pressureKPa * 1000, s.pw);
    FillVolumeAndEnthalpy(s, t, pressureKPa);
    return s;
}

} // namespace Psychrometrics
