#include "core/psychrometrics/ChartCurves.h"

#include "core/psychrometrics/Psychrometrics.h"
#include "core/units/DehumUnits.h"

#include <algorithm>
#include <cmath>

namespace PsychroChart {
namespace {

// Fine enough that the saturation line's bend looks smooth at any print size.
constexpr double kStep = 0.5; // °C

template <typename F> Line Sample(double t0, double t1, F W) {
    Line line;
    const int steps = std::max(1, int(std::ceil((t1 - t0) / kStep)));
    line.reserve(std::size_t(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double t = i == steps ? t1 : t0 + i * kStep;
        line.push_back({t, W(t)});
    }
    return line;
}

} // namespace

Line SaturationLine(double pressureKPa, double t0, double t1) {
    return Sample(t0, t1, [pressureKPa](double t) {
        return Psychrometrics::ComputeSaturatedAirState(t, pressureKPa).W;
    });
}

Line RelativeHumidityLine(double rh, double pressureKPa, double t0, double t1) {
    return Sample(t0, t1, [rh, pressureKPa](double t) {
        return Psychrometrics::ComputeAirState(t, rh, pressureKPa).W;
    });
}

Line WetBulbLine(double twb, double pressureKPa, double t1) {
    const double p = pressureKPa * 1000;
    auto W = [p, twb](double t) { return Psychrometrics::WetBulbHumidityRatio(p, t, twb); };
    // Warmer air of the same wet bulb is drier; past where it is dry there is
    // no such air. That point is found on the relation itself.
    double end = t1;
    if (W(t1) < 0) {
        double wet = twb;
        double dry = t1;
        for (int i = 0; i < 60; ++i) {
            const double mid = (wet + dry) / 2;
            (W(mid) < 0 ? dry : wet) = mid;
        }
        end = wet;
    }
    Line line = Sample(twb, end, W);
    if (end < t1) {
        line.back().W = 0;
    }
    return line;
}

Line EnvelopeOutline(double low, double high, double pressureKPa, double t1) {
    const Line lowLine = WetBulbLine(low, pressureKPa, t1);
    const Line highLine = WetBulbLine(high, pressureKPa, t1);
    Line outline = lowLine;
    // From the low line's end to the high line's along the chart's edges: the
    // dry edge first, then up the warm edge.
    if (lowLine.back().W <= 0 && highLine.back().W > 0) {
        outline.push_back({t1, 0});
    }
    outline.insert(outline.end(), highLine.rbegin(), highLine.rend());
    const Line saturation = SaturationLine(pressureKPa, low, high);
    outline.insert(outline.end(), saturation.rbegin() + 1, saturation.rend() - 1);
    return outline;
}

bool Encloses(const Line& outline, Point p) {
    bool inside = false;
    for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        const Point& a = outline[i];
        const Point& b = outline[j];
        if ((a.W > p.W) != (b.W > p.W) && p.t < (b.t - a.t) * (p.W - a.W) / (b.W - a.W) + a.t) {
            inside = !inside;
        }
    }
    return inside;
}

Curves ChartCurves(double pressureKPa) {
    Curves c;
    c.pressureKPa = pressureKPa;
    c.saturation = SaturationLine(pressureKPa);
    for (int rh = 10; rh <= 90; rh += 10) {
        c.relativeHumidity.emplace_back(rh, RelativeHumidityLine(rh, pressureKPa));
    }
    for (int twb = 0; twb <= 35; twb += 5) {
        c.wetBulb.emplace_back(twb, WetBulbLine(twb, pressureKPa));
    }
    c.envelopeLow = WetBulbLine(Dehum_Units::kEnvelopeLow, pressureKPa);
    c.envelopeHigh = WetBulbLine(Dehum_Units::kEnvelopeHigh, pressureKPa);
    c.envelope =
        EnvelopeOutline(Dehum_Units::kEnvelopeLow, Dehum_Units::kEnvelopeHigh, pressureKPa);
    return c;
}

} // namespace PsychroChart
