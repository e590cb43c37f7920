#pragma once

#include "core/weather/Epw.h"
#include "core/zone/ZoneCalc.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The building zone through every hour of a weather file. The work is split in
// two so that many zones can share one file: an AmbientTable holds each hour's
// ambient air at one pressure, worked out once; a zone's year is then a pass of
// multiply-adds over it. Each hour's figures are CalculateZone's for that hour's
// dry bulb and RH as the ambient air.
namespace Weather {

// The hours of a file that have an ambient air: a dry bulb, and a dew point or
// else an RH. Immutable once built, so threads may share it.
class AmbientTable {
public:
    AmbientTable(const WeatherFile& file, double pressureKPa);

    double PressureKPa() const { return pressureKPa_; }
    std::size_t Size() const { return record_.size(); }
    double Weight() const { return weight_; } // hours per record
    double HoursCounted() const { return static_cast<double>(Size()) * weight_; }
    double HoursLeftOut() const { return leftOut_; }

    // By hour of the table: the record of the file, the RH used (from the dew
    // point, or the file's RH where the dew point is missing), and the ambient
    // air's humidity ratio (kg/kg) and density (kg/m3) at the table's pressure.
    std::uint32_t Record(std::size_t i) const { return record_[i]; }
    double Rh(std::size_t i) const { return rh_[i]; }
    bool RhFromDewPoint(std::size_t i) const { return fromDewPoint_[i] != 0; }
    std::span<const double> W() const { return w_; }
    std::span<const double> D() const { return d_; }

private:
    double pressureKPa_;
    double weight_;
    double leftOut_ = 0;
    std::vector<std::uint32_t> record_;
    std::vector<double> rh_;
    std::vector<char> fromDewPoint_;
    std::vector<double> w_;
    std::vector<double> d_;
};

// One hour's gains, litres/day.
struct HourGains {
    double people = 0;
    double vent = 0;
    double infil = 0;
    double process = 0;
    double pool = 0;
    double total = 0;
};

// What a zone's year needs of its entries: worked out once from the design
// point's run (zone air, wet bulb and removal rates), then the same every hour.
class YearZone {
public:
    // `design` is CalculateZone's completed run of `in`.
    YearZone(const ZoneInputs& in, const ZoneNumbers& design);

    HourGains Gains(double ambientW, double ambientD) const {
        HourGains g;
        g.people = people_;
        g.vent = ZoneGains::FlowGain(ventFlow_, ventWater_, ambientW, ambientD);
        g.infil = ZoneGains::FlowGain(infilFlow_, infilWater_, ambientW, ambientD);
        g.process = process_;
        g.pool = pool_;
        g.total = ZoneGains::Total(g.people, g.vent, g.infil, g.process, g.pool);
        return g;
    }

    // Each hour's total gain of the table, litres/day.
    void Totals(const AmbientTable& table, std::vector<double>& totals) const;

    // Removal rate of one unit of each size (100, 160, 200), litres/day.
    const std::array<double, 3>& Rates() const { return rates_; }
    double DesignTotal() const { return designTotal_; }

private:
    double ventFlow_;
    double infilFlow_;
    double ventWater_;
    double infilWater_;
    double people_;
    double process_;
    double pool_;
    double designTotal_;
    std::array<double, 3> rates_;
};

inline constexpr std::array<int, 3> kUnitSizes = {100, 160, 200};
// The shortfall table stops at this many units of a size.
inline constexpr int kMaxUnitsListed = 200;

// The hour with the highest total, the first of them; none when no hour counted.
struct PeakHour {
    bool found = false;
    std::size_t hour = 0; // in the table
    Weather::Record record;
    double rh = 0;
    double total = 0;
};

// For one size: the hours of the year when the total gain is above k units'
// removal rate, k from 1 to the units the peak needs (at least 1).
struct Shortfall {
    int size = 0;
    double rate = 0;
    std::vector<double> hoursAbove; // [k - 1]
    bool cut = false;               // the peak needs more than kMaxUnitsListed
};

struct MonthFigures {
    double hours = 0;
    double peak = 0; // NaN when the month has no hours
    double mean = 0; // NaN when the month has no hours
};

struct YearSummary {
    double hoursCounted = 0;
    double hoursLeftOut = 0;
    double designTotal = 0;
    PeakHour peak;
    double litres = 0; // the sum over hours of max(total, 0) / 24
    std::array<Shortfall, 3> shortfall;
    std::array<MonthFigures, 12> months;
};

YearSummary Summarise(const WeatherFile& file, const AmbientTable& table, const YearZone& zone,
                      std::span<const double> totals);

struct DurationPoint {
    double hours = 0; // hours of the year at or above this total
    double total = 0; // litres/day
};

// The hours sorted by total gain from the highest, as a curve of at most
// maxPoints points (the highest and the lowest hour always among them).
std::vector<DurationPoint> LoadDuration(const AmbientTable& table, std::span<const double> totals,
                                        std::size_t maxPoints);

// One line drawn across the load-duration curve: what that many units of a
// size remove.
struct CapacityLine {
    int size = 0;
    int units = 0;
    double litresPerDay = 0;
};

// 1, 2, ... units of each size, up to the count the peak needs (the shortfall
// table's rows), by size then count.
std::vector<CapacityLine> CapacityLines(const YearSummary& summary);

// "date,time,dry_bulb,dew_point,rh_used,rh_from,occupant_gain,..." and one line per
// record of the file, every one of them, the hours left out without figures.
void WriteHoursCsv(std::ostream& out, const WeatherFile& file, const AmbientTable& table,
                   const YearZone& zone);

// "1986-07-20" and "15:00" (the end of the record's interval).
std::string DateText(const Weather::Record& r);
std::string TimeText(const Weather::Record& r);

struct Year {
    std::shared_ptr<const AmbientTable> table;
    YearZone zone;
    std::vector<double> totals; // by hour of the table
    YearSummary summary;
};

// The year as the zone screen runs it: its check chain and Calculate at the
// design point first; a refusal or a rejection ends the run with Calculate's
// message, and no year.
struct YearRun {
    CheckResult<ZoneInputs> checks;
    std::optional<ZoneResult> design; // when the checks passed
    std::optional<Year> year;         // when the design run completed
};

// What the year says of the units the design point asks for: the peak hour,
// the moisture load, and for each size the hours when the total gain is above
// what the design count of that size removes.
struct DesignYear {
    PeakHour peak;                      // its record and RH are set when found
    double litres = 0;                  // as YearSummary::litres
    std::array<int, 3> units{};         // the design count of each size, rounded up
    std::array<double, 3> hoursShort{}; // hours with total > units * rate
};

// The design count of each size as the report rounds it up to units to
// install; 0 when the design point has no load to remove.
std::array<int, 3> DesignUnits(const ZoneNumbers& design);

// The DesignYear of a zone in one pass over the table, keeping no hour: the
// same figures Summarise gives for the peak and the litres, and its hoursAbove
// at each design count. Cheap enough to run for every row of a batch.
DesignYear RunDesignYear(const WeatherFile& file, const AmbientTable& table, const YearZone& zone,
                         const std::array<int, 3>& units);

// Ambient tables by pressure, made when first asked for and kept for the run;
// safe to call from several threads. Past `kept` pressures a table is made for
// the caller alone rather than kept.
class AmbientTables {
public:
    AmbientTables(const WeatherFile& file, double firstPressureKPa, std::size_t kept = 16);
    ~AmbientTables();
    AmbientTables(const AmbientTables&) = delete;
    AmbientTables& operator=(const AmbientTables&) = delete;

    std::shared_ptr<const AmbientTable> At(double pressureKPa) const;

private:
    struct Others;
    const WeatherFile& file_;
    std::shared_ptr<const AmbientTable> first_; // read without a lock
    std::unique_ptr<Others> others_;
    std::size_t kept_;
};

// `shared`, when given and at the entries' pressure, is used instead of building
// a table.
YearRun RunYear(const WeatherFile& file, const ZoneTexts& texts,
                std::shared_ptr<const AmbientTable> shared = nullptr);

} // namespace Weather
