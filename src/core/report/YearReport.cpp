#include "core/report/YearReport.h"

#include "core/common/NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace CalcReport {
namespace {

std::string Hours(double hours) {
    return NumberText::FormatGeneral(hours);
}

std::string LitresPerDay(double v) {
    return NumberText::FormatFixed(v, 2) + " litres/day";
}

std::string MissingText(const Weather::MissingHours& m) {
    return "missing: dry bulb " + Hours(m.dryBulb) + ", dew point " + Hours(m.dewPoint) + ", RH " +
           Hours(m.rh) + ", pressure " + Hours(m.pressure);
}

constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};

} // namespace

std::vector<Table> YearTables(const Weather::WeatherFile& file, const Weather::Year& year) {
    const Weather::YearSummary& s = year.summary;
    const Weather::Record& peak = s.peak.record;
    Table summary{kYearHeading, {"", ""}, {}};
    summary.rows = {
        {"Station", Weather::StationLine(file.station)},
        {"Hours counted", Hours(s.hoursCounted)},
        {"Hours left out", Hours(s.hoursLeftOut) +
                               (file.missing.Any() ? " (" + MissingText(file.missing) + ")" : "")},
        {"Total at the design point", LitresPerDay(s.designTotal)},
    };
    if (s.peak.found) {
        summary.rows.push_back(
            {"Peak hour", Weather::DateText(peak) + " " + Weather::TimeText(peak)});
        summary.rows.push_back(
            {"Peak hour's ambient air", NumberText::FormatFixed(peak.dryBulb, 1) + " °C, " +
                                            NumberText::FormatFixed(s.peak.rh, 1) + " % RH"});
        summary.rows.push_back({"Peak hour's total gain", LitresPerDay(s.peak.total)});
    } else {
        summary.rows.push_back(
            {"Peak hour", "none: no hour has a dry bulb with a dew point or RH"});
    }
    summary.rows.push_back(
        {"Moisture load in the year", NumberText::FormatFixed(s.litres, 0) + " litres"});
    for (const std::string& note : file.notes) {
        summary.rows.push_back({"Note", "The weather file " + note});
    }

    Table shortfall{kShortfallHeading, {"Units"}, {}};
    std::size_t longest = 0;
    for (const Weather::Shortfall& sf : s.shortfall) {
        shortfall.columns.push_back("HX " + std::to_string(sf.size) + " (hours)");
        longest = std::max(longest, sf.hoursAbove.size());
    }
    for (std::size_t k = 0; k < longest; ++k) {
        std::vector<std::string> row{std::to_string(k + 1)};
        for (const Weather::Shortfall& sf : s.shortfall) {
            // A size's column ends at the count its peak needs.
            row.push_back(k < sf.hoursAbove.size() ? Hours(sf.hoursAbove[k]) : std::string());
        }
        shortfall.rows.push_back(std::move(row));
    }
    for (const Weather::Shortfall& sf : s.shortfall) {
        if (sf.cut) {
            summary.rows.push_back({"Note", "HX " + std::to_string(sf.size) +
                                                ": the peak needs more than " +
                                                std::to_string(Weather::kMaxUnitsListed) +
                                                " units; the table stops there"});
        }
    }

    Table months{kMonthsHeading, {"Month", "Hours", "Peak (litres/day)", "Mean (litres/day)"}, {}};
    for (std::size_t m = 0; m < s.months.size(); ++m) {
        const Weather::MonthFigures& f = s.months[m];
        if (f.hours > 0) {
            months.rows.push_back({kMonths[m], Hours(f.hours), NumberText::FormatFixed(f.peak, 2),
                                   NumberText::FormatFixed(f.mean, 2)});
        }
    }
    return {std::move(summary), std::move(shortfall), std::move(months)};
}

} // namespace CalcReport
