#pragma once

#include "core/weather/Year.h"

#include <nlohmann/json.hpp>

#include <array>
#include <iosfwd>
#include <string>
#include <string_view>

// The year's figures for the units a design point asks for, as the batch's
// columns, the JSON of run and year, and run's text lines show them.
namespace CalcCli {

// The batch's columns after the result columns, with --weather.
inline constexpr std::array<std::string_view, 10> kYearColumns = {
    "year_peak_gain", "year_peak_date",       "year_peak_time", "year_litres",
    "year_units_100", "year_hours_short_100", "year_units_160", "year_hours_short_160",
    "year_units_200", "year_hours_short_200"};

// The cells of those columns, each written as year prints the same figure.
std::array<std::string, kYearColumns.size()> YearCells(const Weather::DesignYear& year);

// The peak hour as year --json gives it, or null.
nlohmann::ordered_json PeakJson(const Weather::PeakHour& peak);

// "designUnits": per size, its design count and the hours short with it.
nlohmann::ordered_json DesignUnitsJson(const Weather::DesignYear& year);

// Lines after a run's outcome: the peak, the moisture load and the hours short
// with each size's design count.
void PrintYearLines(const Weather::DesignYear& year, std::ostream& out);

} // namespace CalcCli
