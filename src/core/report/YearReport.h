#pragma once

#include "core/report/CalcReport.h"
#include "core/weather/Epw.h"
#include "core/weather/Year.h"

#include <vector>

// A year run hour by hour, laid out as the report's headed tables of texts: the
// year window shows the same tables, and the report carries them after the run's.
namespace CalcReport {

inline constexpr const char* kYearHeading = "A Year, Hour by Hour";
inline constexpr const char* kShortfallHeading = "Hours in the Year Above the Units' Removal Rate";
inline constexpr const char* kMonthsHeading = "Total Moisture Gain by Month";

// The summary (station, hours, design-point total, peak hour, the year's litres),
// the hours each count of each size falls short, up to the count the peak needs,
// and each month's peak and mean total gain.
std::vector<Table> YearTables(const Weather::WeatherFile& file, const Weather::Year& year);

} // namespace CalcReport
