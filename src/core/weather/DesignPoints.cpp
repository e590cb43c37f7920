#include "core/weather/DesignPoints.h"

#include "core/common/NumberText.h"
#include "core/psychrometrics/Psychrometrics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Weather {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kStandardPressurePa = 101325;
// Hours whose value lies this close to the design value make its mean coincident value.
constexpr double kCoincidentBand = 0.25;
// The three design percentages in tenths, so that their hour index is exact.
constexpr int kPercentTenths[] = {4, 10, 20};

std::string Degrees(double t) {
    return NumberText::FormatFixed(t, 1) + "°C";
}

std::string PercentText(double p) {
    return NumberText::FormatGeneral(p) + "%";
}

// Fills the texts and caption; false when the RH is no usable number.
bool Finish(DesignPoint& p) {
    if (!std::isfinite(p.rh) || p.rh <= 0 || !std::isfinite(p.dryBulb)) {
        return false;
    }
    p.ambientTempText = NumberText::FormatFixed(p.dryBulb, 1);
    p.ambientRhText = NumberText::FormatFixed(p.rh, 1);
    std::string& detail = p.detail;
    if (p.kind == DesignKind::Dehumidification) {
        detail = "dew point " + Degrees(p.dewPoint);
        if (std::isfinite(p.humidityRatio)) {
            detail += ", " + NumberText::FormatGeneral(p.humidityRatio) + " g/kg";
        }
    } else if (p.fromFileYear) {
        detail = "mean coincident dew point " + Degrees(p.dewPoint);
    } else {
        detail = "mean coincident wet bulb " + Degrees(p.wetBulb);
    }
    p.caption = PercentText(p.percent) +
                (p.kind == DesignKind::Dehumidification ? " dehumidification: " : " cooling: ") +
                p.ambientTempText + "°C / " + p.ambientRhText + "% RH (" + detail + ")";
    return true;
}

void AddStored(const WeatherFile& file, std::vector<DesignPoint>& out) {
    if (!file.design) {
        return;
    }
    const StoredDesign& d = *file.design;
    const std::string source = d.edition.empty() ? d.source : "ASHRAE Handbook " + d.edition;
    for (const StoredDehumidification& s : d.dehumidification) {
        DesignPoint p;
        p.kind = DesignKind::Dehumidification;
        p.percent = s.percent;
        p.source = source;
        p.dryBulb = s.meanDryBulb;
        p.dewPoint = s.dewPoint;
        p.wetBulb = kNaN;
        p.humidityRatio = s.humidityRatio;
        p.rh = RhFromDewPoint(s.meanDryBulb, s.dewPoint);
        if (Finish(p)) {
            out.push_back(std::move(p));
        }
    }
    for (const StoredCooling& s : d.cooling) {
        DesignPoint p;
        p.kind = DesignKind::Cooling;
        p.percent = s.percent;
        p.source = source;
        p.dryBulb = s.dryBulb;
        p.dewPoint = kNaN;
        p.wetBulb = s.meanWetBulb;
        p.humidityRatio = kNaN;
        p.rh = RhFromWetBulb(s.dryBulb, s.meanWetBulb);
        if (Finish(p)) {
            out.push_back(std::move(p));
        }
    }
}

struct Pair {
    double sorted;     // the value the hours are ranked by
    double coincident; // the other value of the same hour
};

// The design points of one kind from the hours ranked by one value: the value at
// the hour index floor(p/100 * N), N the hours, and the mean of the other value
// over the hours within the band of it. Every record is the same share of an
// hour, so the point is the first record of that hour's share.
void AddFromYear(std::vector<Pair> pairs, int recordsPerHour, DesignKind kind,
                 std::vector<DesignPoint>& out) {
    if (pairs.empty()) {
        return;
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const Pair& a, const Pair& b) { return a.sorted > b.sorted; });
    const auto records = static_cast<long long>(pairs.size());
    for (const int tenths : kPercentTenths) {
        const long long hour = (tenths * records) / (1000LL * recordsPerHour);
        const auto at = static_cast<std::size_t>(hour * recordsPerHour);
        if (at >= pairs.size()) {
            continue;
        }
        const double value = pairs[at].sorted;
        double sum = 0;
        std::size_t n = 0;
        for (const Pair& q : pairs) {
            if (std::fabs(q.sorted - value) <= kCoincidentBand) {
                sum += q.coincident;
                ++n;
            }
        }
        const double mean = sum / static_cast<double>(n);
        DesignPoint p;
        p.kind = kind;
        p.percent = tenths / 10.0;
        p.fromFileYear = true;
        p.source = kFromFileYear;
        p.wetBulb = kNaN;
        p.humidityRatio = kNaN;
        if (kind == DesignKind::Dehumidification) {
            p.dewPoint = value;
            p.dryBulb = mean;
        } else {
            p.dryBulb = value;
            p.dewPoint = mean;
        }
        p.rh = RhFromDewPoint(p.dryBulb, p.dewPoint);
        if (Finish(p)) {
            out.push_back(std::move(p));
        }
    }
}

} // namespace

double RhFromDewPoint(double dryBulb, double dewPoint) {
    const double rh = 100 * Psychrometrics::SaturationPressure(dewPoint) /
                      Psychrometrics::SaturationPressure(dryBulb);
    return std::min(rh, 100.0);
}

double RhFromWetBulb(double dryBulb, double wetBulb) {
    const double W = Psychrometrics::WetBulbHumidityRatio(kStandardPressurePa, dryBulb, wetBulb);
    const double pw = Psychrometrics::VapourPressure(kStandardPressurePa, W);
    return std::min(100 * pw / Psychrometrics::SaturationPressure(dryBulb), 100.0);
}

std::vector<DesignPoint> DesignPoints(const WeatherFile& file) {
    std::vector<DesignPoint> out;
    AddStored(file, out);
    std::vector<Pair> byDewPoint;
    std::vector<Pair> byDryBulb;
    byDewPoint.reserve(file.records.size());
    byDryBulb.reserve(file.records.size());
    for (const Record& r : file.records) {
        if (!std::isnan(r.dryBulb) && !std::isnan(r.dewPoint)) {
            byDewPoint.push_back({r.dewPoint, r.dryBulb});
            byDryBulb.push_back({r.dryBulb, r.dewPoint});
        }
    }
    AddFromYear(std::move(byDewPoint), file.recordsPerHour, DesignKind::Dehumidification, out);
    AddFromYear(std::move(byDryBulb), file.recordsPerHour, DesignKind::Cooling, out);
    return out;
}

} // namespace Weather
