#include "core/weather/Year.h"

#include "core/common/NumberText.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/report/CalcReport.h"
#include "core/weather/DesignPoints.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <mutex>
#include <ostream>

namespace Weather {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

AmbientTable::AmbientTable(const WeatherFile& file, double pressureKPa)
    : pressureKPa_(pressureKPa), weight_(file.Weight()) {
    const std::size_t n = file.records.size();
    record_.reserve(n);
    rh_.reserve(n);
    fromDewPoint_.reserve(n);
    w_.reserve(n);
    d_.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Weather::Record& r = file.records[i];
        const bool dewPoint = !std::isnan(r.dewPoint);
        if (std::isnan(r.dryBulb) || (!dewPoint && std::isnan(r.rh))) {
            leftOut_ += weight_;
            continue;
        }
        const double rh = dewPoint ? Weather::RhFromDewPoint(r.dryBulb, r.dewPoint)
                                   : std::clamp(r.rh, 0.0, 100.0);
        // The zone calculation's own ambient state, so each hour is its figure.
        const Psychrometrics::AirState air =
            Psychrometrics::ComputeAirState(r.dryBulb, rh, pressureKPa);
        record_.push_back(static_cast<std::uint32_t>(i));
        rh_.push_back(rh);
        fromDewPoint_.push_back(dewPoint ? 1 : 0);
        w_.push_back(air.W);
        d_.push_back(air.d);
    }
}

YearZone::YearZone(const ZoneInputs& in, const ZoneNumbers& design)
    : ventFlow_(ZoneGains::VentilationFlow(in)), infilFlow_(ZoneGains::InfiltrationFlow(in)),
      ventWater_(ZoneGains::ZoneWater(ventFlow_, design.zoneAir.W, design.zoneAir.d)),
      infilWater_(ZoneGains::ZoneWater(infilFlow_, design.zoneAir.W, design.zoneAir.d)),
      people_(design.peopleGain), process_(design.processGain), pool_(design.poolGain),
      designTotal_(design.totalGain), rates_{design.rate100.value_or(kNaN), design.rate160,
                                             design.rate200} {}

void YearZone::Totals(const AmbientTable& table, std::vector<double>& totals) const {
    const std::span<const double> w = table.W();
    const std::span<const double> d = table.D();
    totals.resize(w.size());
    for (std::size_t i = 0; i < w.size(); ++i) {
        totals[i] = Gains(w[i], d[i]).total;
    }
}

namespace {

// The units of one size whose removal rate the total is above: the k from 1 to
// `most` with k * rate < total, counted on the products as the table compares them.
int UnitsBelow(double total, double rate, int most) {
    if (!(total > rate)) {
        return 0;
    }
    const double ratio = total / rate;
    int k = ratio >= most ? most : static_cast<int>(ratio);
    while (k > 0 && !(k * rate < total)) {
        --k;
    }
    while (k < most && (k + 1) * rate < total) {
        ++k;
    }
    return k;
}

Shortfall ShortfallFor(int size, double rate, double peak, const AmbientTable& table,
                       std::span<const double> totals) {
    Shortfall s;
    s.size = size;
    s.rate = rate;
    const double needed = std::ceil(peak / rate);
    int most = 1;
    if (needed > kMaxUnitsListed) {
        most = kMaxUnitsListed;
        s.cut = true;
    } else if (needed > 1) {
        most = static_cast<int>(needed);
    }
    // Records by the number of units they exceed, then summed from the top. Most
    // hours exceed none and are passed over; counting whole records keeps the
    // sums exact.
    std::vector<std::uint32_t> exceeding(static_cast<std::size_t>(most) + 1, 0);
    for (const double total : totals) {
        if (total > rate) {
            ++exceeding[static_cast<std::size_t>(UnitsBelow(total, rate, most))];
        }
    }
    s.hoursAbove.assign(static_cast<std::size_t>(most), 0.0);
    std::uint64_t above = 0;
    for (int k = most; k >= 1; --k) {
        above += exceeding[static_cast<std::size_t>(k)];
        s.hoursAbove[static_cast<std::size_t>(k - 1)] = static_cast<double>(above) * table.Weight();
    }
    return s;
}

} // namespace

YearSummary Summarise(const WeatherFile& file, const AmbientTable& table, const YearZone& zone,
                      std::span<const double> totals) {
    YearSummary s;
    s.hoursCounted = table.HoursCounted();
    s.hoursLeftOut = table.HoursLeftOut();
    s.designTotal = zone.DesignTotal();
    const double w = table.Weight();
    // The records run forwards, so a month's hours come together: each month's
    // figures are summed in locals and stored when the month ends.
    for (MonthFigures& m : s.months) {
        m.peak = kNaN;
        m.mean = kNaN;
    }
    bool anyPeak = false;
    std::size_t month = 0;
    std::size_t inMonth = 0;
    double monthPeak = 0;
    double monthSum = 0;
    double positiveSum = 0;
    auto endMonth = [&] {
        if (inMonth > 0) {
            MonthFigures& m = s.months[month];
            m.hours = static_cast<double>(inMonth) * w;
            m.peak = monthPeak;
            m.mean = monthSum * w / m.hours;
        }
    };
    for (std::size_t i = 0; i < totals.size(); ++i) {
        const double total = totals[i];
        if (!anyPeak || total > s.peak.total) {
            anyPeak = true;
            s.peak.hour = i;
            s.peak.total = total;
        }
        positiveSum += std::max(total, 0.0);
        const std::size_t m = file.records[table.Record(i)].month - 1u;
        if (m != month || inMonth == 0) {
            endMonth();
            month = m;
            inMonth = 0;
            monthPeak = total;
            monthSum = 0;
        }
        ++inMonth;
        monthPeak = std::max(monthPeak, total);
        monthSum += total;
    }
    endMonth();
    s.litres = positiveSum / 24 * w;
    s.peak.found = anyPeak;
    if (anyPeak) {
        s.peak.record = file.records[table.Record(s.peak.hour)];
        s.peak.rh = table.Rh(s.peak.hour);
    } else {
        s.peak.total = kNaN;
    }
    for (std::size_t k = 0; k < kUnitSizes.size(); ++k) {
        s.shortfall[k] = ShortfallFor(kUnitSizes[k], zone.Rates()[k], anyPeak ? s.peak.total : 0.0,
                                      table, totals);
    }
    return s;
}

std::vector<DurationPoint> LoadDuration(const AmbientTable& table, std::span<const double> totals,
                                        std::size_t maxPoints) {
    std::vector<double> sorted(totals.begin(), totals.end());
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    std::vector<DurationPoint> curve;
    if (sorted.empty() || maxPoints == 0) {
        return curve;
    }
    const std::size_t n = sorted.size();
    const std::size_t points = std::max<std::size_t>(2, std::min(maxPoints, n));
    curve.reserve(points);
    std::size_t last = n;
    for (std::size_t p = 0; p < points; ++p) {
        // Evenly over the hours, the first and the last hour included.
        const std::size_t i = n == 1 ? 0 : p * (n - 1) / (points - 1);
        if (i == last) {
            continue;
        }
        last = i;
        curve.push_back({static_cast<double>(i + 1) * table.Weight(), sorted[i]});
    }
    return curve;
}

std::vector<CapacityLine> CapacityLines(const YearSummary& summary) {
    std::vector<CapacityLine> lines;
    for (const Shortfall& s : summary.shortfall) {
        for (std::size_t k = 1; k <= s.hoursAbove.size(); ++k) {
            lines.push_back({s.size, static_cast<int>(k), static_cast<double>(k) * s.rate});
        }
    }
    return lines;
}

std::string DateText(const Weather::Record& r) {
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", r.year, r.month, r.day);
    return text;
}

std::string TimeText(const Weather::Record& r) {
    // The hour field names the hour that ends then; a minute inside it is a part of it.
    const bool atHourEnd = r.minute == 0 || r.minute == 60;
    const int hour = atHourEnd ? r.hour : r.hour - 1;
    const int minute = atHourEnd ? 0 : r.minute;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    return text;
}

void WriteHoursCsv(std::ostream& out, const WeatherFile& file, const AmbientTable& table,
                   const YearZone& zone) {
    out << "date,time,dry_bulb,dew_point,rh_used,rh_from,occupant_gain,ventilation_gain,"
           "infiltration_gain,process_gain,pool_gain,total_gain\n";
    auto number = [](double v, int decimals) {
        return std::isnan(v) ? std::string() : NumberText::FormatFixed(v, decimals);
    };
    std::size_t next = 0; // the next hour of the table
    std::string line;
    for (std::size_t i = 0; i < file.records.size(); ++i) {
        const Weather::Record& r = file.records[i];
        line = DateText(r) + "," + TimeText(r) + "," + number(r.dryBulb, 1) + "," +
               number(r.dewPoint, 1) + ",";
        if (next < table.Size() && table.Record(next) == i) {
            const HourGains g = zone.Gains(table.W()[next], table.D()[next]);
            line += NumberText::FormatFixed(table.Rh(next), 2) + "," +
                    (table.RhFromDewPoint(next) ? "dew point" : "file") + "," +
                    NumberText::FormatFixed(g.people, 2) + "," +
                    NumberText::FormatFixed(g.vent, 2) + "," + NumberText::FormatFixed(g.infil, 2) +
                    "," + NumberText::FormatFixed(g.process, 2) + "," +
                    NumberText::FormatGeneral(g.pool) + "," + NumberText::FormatFixed(g.total, 2);
            ++next;
        } else {
            line += ",left out,,,,,,";
        }
        line += '\n';
        out << line;
    }
}

std::array<int, 3> DesignUnits(const ZoneNumbers& design) {
    const bool loadPositive = design.totalGain > 0;
    return {CalcReport::UnitsToInstall(design.count100, loadPositive),
            CalcReport::UnitsToInstall(design.count160, loadPositive),
            CalcReport::UnitsToInstall(design.count200, loadPositive)};
}

DesignYear RunDesignYear(const WeatherFile& file, const AmbientTable& table, const YearZone& zone,
                         const std::array<int, 3>& units) {
    DesignYear y;
    y.units = units;
    // The products as Summarise's shortfall compares them: k * rate < total.
    std::array<double, 3> removes{};
    for (std::size_t k = 0; k < removes.size(); ++k) {
        removes[k] = units[k] * zone.Rates()[k];
    }
    const std::span<const double> w = table.W();
    const std::span<const double> d = table.D();
    const std::size_t n = w.size();
    // The hours go in runs: each run's totals first, in a loop the compiler makes
    // vector code of, then the figures over them. The sum runs in the hours'
    // order, as Summarise's does, so that the litres are the same to the last
    // bit; the counts and the peak are exact anyway.
    constexpr std::size_t kRun = 512;
    double totals[kRun];
    double positiveSum = 0;
    double peak = 0;
    std::size_t peakHour = 0;
    std::array<std::uint32_t, 3> above{};
    for (std::size_t from = 0; from < n; from += kRun) {
        const std::size_t count = std::min(kRun, n - from);
        for (std::size_t j = 0; j < count; ++j) {
            totals[j] = zone.Gains(w[from + j], d[from + j]).total;
        }
        // Bound by the sum's additions one after another; the rest fits beside them.
        for (std::size_t j = 0; j < count; ++j) {
            const double total = totals[j];
            if (total > peak || from + j == 0) {
                peak = total;
                peakHour = from + j;
            }
            positiveSum += std::max(total, 0.0);
            above[0] += removes[0] < total;
            above[1] += removes[1] < total;
            above[2] += removes[2] < total;
        }
    }
    y.litres = positiveSum / 24 * table.Weight();
    for (std::size_t k = 0; k < above.size(); ++k) {
        y.hoursShort[k] = static_cast<double>(above[k]) * table.Weight();
    }
    if (n > 0) {
        y.peak.found = true;
        y.peak.hour = peakHour;
        y.peak.total = peak;
        y.peak.record = file.records[table.Record(peakHour)];
        y.peak.rh = table.Rh(peakHour);
    } else {
        y.peak.total = kNaN;
    }
    return y;
}

struct AmbientTables::Others {
    std::mutex mutex;
    std::map<double, std::shared_ptr<const AmbientTable>> tables;
};

AmbientTables::AmbientTables(const WeatherFile& file, double firstPressureKPa, std::size_t kept)
    : file_(file), first_(std::make_shared<const AmbientTable>(file, firstPressureKPa)),
      others_(std::make_unique<Others>()), kept_(kept) {}

AmbientTables::~AmbientTables() = default;

std::shared_ptr<const AmbientTable> AmbientTables::At(double pressureKPa) const {
    if (pressureKPa == first_->PressureKPa()) {
        return first_;
    }
    {
        const std::lock_guard lock(others_->mutex);
        if (const auto found = others_->tables.find(pressureKPa); found != others_->tables.end()) {
            return found->second;
        }
    }
    // Made outside the lock: another thread may make the same one meanwhile,
    // and the first kept is the one every later row gets.
    auto table = std::make_shared<const AmbientTable>(file_, pressureKPa);
    const std::lock_guard lock(others_->mutex);
    if (others_->tables.size() >= kept_) {
        return table;
    }
    return others_->tables.emplace(pressureKPa, std::move(table)).first->second;
}

YearRun RunYear(const WeatherFile& file, const ZoneTexts& texts,
                std::shared_ptr<const AmbientTable> shared) {
    YearRun run;
    run.checks = ValidateZoneInputs(texts);
    if (!run.checks.inputs) {
        return run;
    }
    const ZoneInputs& in = *run.checks.inputs;
    run.design = CalculateZone(in, texts.activity);
    if (run.design->outcome != Outcome::Completed) {
        return run;
    }
    if (!shared || shared->PressureKPa() != in.pressure) {
        shared = std::make_shared<const AmbientTable>(file, in.pressure);
    }
    Year year{std::move(shared), YearZone(in, run.design->numbers), {}, {}};
    year.zone.Totals(*year.table, year.totals);
    year.summary = Summarise(file, *year.table, year.zone, year.totals);
    run.year = std::move(year);
    return run;
}

} // namespace Weather
