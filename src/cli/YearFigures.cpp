#include "cli/YearFigures.h"

#include "core/common/NumberText.h"

#include <cmath>
#include <ostream>

namespace CalcCli {

std::array<std::string, kYearColumns.size()> YearCells(const Weather::DesignYear& year) {
    std::array<std::string, kYearColumns.size()> cells;
    if (year.peak.found) {
        cells[0] = NumberText::FormatFixed(year.peak.total, 2);
        cells[1] = Weather::DateText(year.peak.record);
        cells[2] = Weather::TimeText(year.peak.record);
    }
    cells[3] = NumberText::FormatFixed(year.litres, 0);
    for (std::size_t k = 0; k < Weather::kUnitSizes.size(); ++k) {
        cells[4 + 2 * k] = std::to_string(year.units[k]);
        cells[5 + 2 * k] = NumberText::FormatGeneral(year.hoursShort[k]);
    }
    return cells;
}

nlohmann::ordered_json PeakJson(const Weather::PeakHour& peak) {
    if (!peak.found) {
        return nullptr;
    }
    const Weather::Record& r = peak.record;
    return {{"date", Weather::DateText(r)},
            {"time", Weather::TimeText(r)},
            {"dryBulb", r.dryBulb},
            {"dewPoint", std::isfinite(r.dewPoint) ? nlohmann::ordered_json(r.dewPoint)
                                                   : nlohmann::ordered_json(nullptr)},
            {"rh", peak.rh},
            {"total", peak.total}};
}

nlohmann::ordered_json DesignUnitsJson(const Weather::DesignYear& year) {
    nlohmann::ordered_json sizes = nlohmann::ordered_json::array();
    for (std::size_t k = 0; k < Weather::kUnitSizes.size(); ++k) {
        sizes.push_back({{"size", Weather::kUnitSizes[k]},
                         {"units", year.units[k]},
                         {"hoursShort", year.hoursShort[k]}});
    }
    return sizes;
}

void PrintYearLines(const Weather::DesignYear& year, std::ostream& out) {
    const Weather::Record& p = year.peak.record;
    if (year.peak.found) {
        out << "year peak hour: " << Weather::DateText(p) << " " << Weather::TimeText(p)
            << ", total " << NumberText::FormatFixed(year.peak.total, 2) << " litres/day\n";
    }
    out << "year moisture load: " << NumberText::FormatFixed(year.litres, 0) << " litres\n";
    for (std::size_t k = 0; k < Weather::kUnitSizes.size(); ++k) {
        out << "year hours short, HX " << Weather::kUnitSizes[k] << " (" << year.units[k] << " unit"
            << (year.units[k] == 1 ? "" : "s")
            << "): " << NumberText::FormatGeneral(year.hoursShort[k]) << "\n";
    }
}

} // namespace CalcCli
