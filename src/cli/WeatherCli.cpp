#include "cli/WeatherCli.h"

#include "cli/AtomicFile.h"
#include "cli/CalcCli.h"
#include "cli/JobRun.h"
#include "cli/MessageText.h"
#include "cli/YearFigures.h"
#include "core/common/NumberText.h"
#include "core/report/YearReport.h"
#include "core/weather/DesignPoints.h"
#include "core/weather/Epw.h"
#include "core/weather/Year.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <ostream>
#include <system_error>

namespace CalcCli {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kProgram = "varneldh-calc";
// Points of the load-duration curve in --json: enough to draw it, far fewer than the hours.
constexpr std::size_t kCurvePoints = 101;

Json NumberOrNull(double v) {
    return std::isfinite(v) ? Json(v) : Json(nullptr);
}

std::string Fixed(double v, int decimals) {
    return NumberText::FormatFixed(v, decimals);
}

Json StationJson(const Weather::WeatherFile& f) {
    const Weather::Station& s = f.station;
    return {{"name", s.name},
            {"region", s.region},
            {"country", s.country},
            {"source", s.source},
            {"wmo", s.wmo},
            {"latitude", s.latitude},
            {"longitude", s.longitude},
            {"timeZone", s.timeZone},
            {"elevation", s.elevation},
            {"line", Weather::StationLine(s)}};
}

Json MissingJson(const Weather::MissingHours& m) {
    return {
        {"dryBulb", m.dryBulb}, {"dewPoint", m.dewPoint}, {"rh", m.rh}, {"pressure", m.pressure}};
}

std::string MissingText(const Weather::MissingHours& m) {
    return "dry bulb " + NumberText::FormatGeneral(m.dryBulb) + ", dew point " +
           NumberText::FormatGeneral(m.dewPoint) + ", RH " + NumberText::FormatGeneral(m.rh) +
           ", pressure " + NumberText::FormatGeneral(m.pressure);
}

const char* KindName(Weather::DesignKind kind) {
    return kind == Weather::DesignKind::Dehumidification ? "dehumidification" : "cooling";
}

void PrintStation(const Weather::WeatherFile& f, std::ostream& out) {
    out << "station: " << Weather::StationLine(f.station) << "\n";
    out << "period: " << f.periodStart << " to " << f.periodEnd << ", " << f.recordsPerHour
        << " record(s) an hour\n";
    out << "hours: " << NumberText::FormatGeneral(f.Hours()) << "\n";
    out << "missing hours: " << MissingText(f.missing) << "\n";
    for (const std::string& note : f.notes) {
        out << "note: " << note << "\n";
    }
}

} // namespace

std::optional<Weather::WeatherFile> LoadWeather(const std::string& path, std::ostream& err,
                                                int& status) {
    bool cannotOpen = false;
    Weather::EpwRead read = Weather::ReadEpwFile(path, &cannotOpen);
    if (!read.file) {
        err << kProgram << ": " << Weather::EpwProblemMessage(path, read.problem) << "\n";
        status = cannotOpen ? kExitNoInput : kExitWeatherRefused;
        return std::nullopt;
    }
    return std::move(read.file);
}

int RunWeather(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
    int status = kExitCompleted;
    const auto file = LoadWeather(path, err, status);
    if (!file) {
        return status;
    }
    const std::vector<Weather::DesignPoint> points = Weather::DesignPoints(*file);
    if (json) {
        Json list = Json::array();
        for (const Weather::DesignPoint& p : points) {
            list.push_back({{"kind", KindName(p.kind)},
                            {"percent", p.percent},
                            {"source", p.source},
                            {"fromFileYear", p.fromFileYear},
                            {"dryBulb", p.dryBulb},
                            {"dewPoint", NumberOrNull(p.dewPoint)},
                            {"wetBulb", NumberOrNull(p.wetBulb)},
                            {"humidityRatio", NumberOrNull(p.humidityRatio)},
                            {"rh", p.rh},
                            {"txtTamb", p.ambientTempText},
                            {"txtAmbrh", p.ambientRhText},
                            {"caption", p.caption}});
        }
        const Json doc = {
            {"file", path},
            {"station", StationJson(*file)},
            {"recordsPerHour", file->recordsPerHour},
            {"periodStart", file->periodStart},
            {"periodEnd", file->periodEnd},
            {"hours", file->Hours()},
            {"missingHours", MissingJson(file->missing)},
            {"meanPressureKPa", NumberOrNull(file->MeanPressureKPa())},
            {"designConditions", file->design ? Json(file->design->source) : Json(nullptr)},
            {"comments", file->comments},
            {"notes", file->notes},
            {"designPoints", std::move(list)},
        };
        out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
        return kExitCompleted;
    }
    PrintStation(*file, out);
    const double pressure = file->MeanPressureKPa();
    if (std::isfinite(pressure)) {
        out << "mean station pressure: " << Fixed(pressure, 3) << " kPa\n";
    }
    out << "design conditions: " << (file->design ? file->design->source : "none") << "\n";
    for (const std::string& c : file->comments) {
        out << "comment: " << c << "\n";
    }
    for (const Weather::DesignPoint& p : points) {
        out << "point: " << NumberText::FormatGeneral(p.percent) << "% " << KindName(p.kind) << " ("
            << p.source << ") txtTamb=" << p.ambientTempText << " txtAmbrh=" << p.ambientRhText
            << " (" << p.detail << ")\n";
    }
    return kExitCompleted;
}

namespace {

Json YearJson(const std::string& path, const Weather::WeatherFile& file,
              const Weather::YearRun& run, const JobRun& design) {
    const Weather::Year& year = *run.year;
    const Weather::YearSummary& s = year.summary;
    Json shortfall = Json::array();
    for (const Weather::Shortfall& sf : s.shortfall) {
        shortfall.push_back(
            {{"size", sf.size}, {"rate", sf.rate}, {"hoursAbove", sf.hoursAbove}, {"cut", sf.cut}});
    }
    Json months = Json::array();
    for (std::size_t m = 0; m < s.months.size(); ++m) {
        months.push_back({{"month", m + 1},
                          {"hours", s.months[m].hours},
                          {"peak", NumberOrNull(s.months[m].peak)},
                          {"mean", NumberOrNull(s.months[m].mean)}});
    }
    Json curve = Json::array();
    for (const Weather::DurationPoint& p :
         Weather::LoadDuration(*year.table, year.totals, kCurvePoints)) {
        curve.push_back({{"hours", p.hours}, {"total", p.total}});
    }
    Json tables = Json::array();
    for (const CalcReport::Table& t : CalcReport::YearTables(file, year)) {
        tables.push_back({{"heading", t.heading}, {"columns", t.columns}, {"rows", t.rows}});
    }
    Json entries = Json::object();
    const auto table = Entries(Calculation::Zone);
    for (std::size_t i = 0; i < table.size(); ++i) {
        entries[std::string(table[i].name)] = design.entryTexts[i];
    }
    return {
        {"file", path},
        {"station", StationJson(file)},
        {"entries", std::move(entries)},
        {"warnings", design.warnings},
        {"pressureKPa", year.table->PressureKPa()},
        {"hoursCounted", s.hoursCounted},
        {"hoursLeftOut", s.hoursLeftOut},
        {"missingHours", MissingJson(file.missing)},
        {"notes", file.notes},
        {"designTotal", s.designTotal},
        {"peak", PeakJson(s.peak)},
        {"litres", s.litres},
        {"shortfall", std::move(shortfall)},
        {"designUnits",
         DesignUnitsJson(Weather::RunDesignYear(file, *year.table, year.zone,
                                                Weather::DesignUnits(run.design->numbers)))},
        {"months", std::move(months)},
        {"loadDuration", std::move(curve)},
        {"tables", std::move(tables)},
        {"outcome", "Completed"},
    };
}

void PrintYear(const Weather::WeatherFile& file, const Weather::YearRun& run, const JobRun& design,
               std::ostream& out) {
    const Weather::YearSummary& s = run.year->summary;
    for (const std::string& w : design.warnings) {
        out << "warning: " << w << "\n";
    }
    out << "station: " << Weather::StationLine(file.station) << "\n";
    out << "hours counted: " << NumberText::FormatGeneral(s.hoursCounted) << "\n";
    out << "hours left out: " << NumberText::FormatGeneral(s.hoursLeftOut) << " (missing "
        << MissingText(file.missing) << ")\n";
    for (const std::string& note : file.notes) {
        out << "note: " << note << "\n";
    }
    out << "design point total: " << Fixed(s.designTotal, 2) << " litres/day\n";
    const Weather::Record& p = s.peak.record;
    if (s.peak.found) {
        out << "peak hour: " << Weather::DateText(p) << " " << Weather::TimeText(p) << ", "
            << Fixed(p.dryBulb, 1) << "°C " << Fixed(s.peak.rh, 1) << "% RH, total "
            << Fixed(s.peak.total, 2) << " litres/day\n";
    } else {
        out << "peak hour: none (no hour has a dry bulb with a dew point or RH)\n";
    }
    out << "moisture load: " << Fixed(s.litres, 0) << " litres in the year\n";
    for (const Weather::Shortfall& sf : s.shortfall) {
        out << "hours short, HX " << sf.size << " (" << NumberText::FormatGeneral(sf.rate)
            << " litres/day each):";
        for (std::size_t k = 0; k < sf.hoursAbove.size(); ++k) {
            out << (k ? ", " : " ") << k + 1 << " unit" << (k ? "s " : " ")
                << NumberText::FormatGeneral(sf.hoursAbove[k]);
        }
        out << (sf.cut ? " (cut: the peak needs more units)" : "") << "\n";
    }
    for (std::size_t m = 0; m < s.months.size(); ++m) {
        if (s.months[m].hours > 0) {
            out << "month " << m + 1 << ": peak " << Fixed(s.months[m].peak, 2) << ", mean "
                << Fixed(s.months[m].mean, 2) << " litres/day\n";
        }
    }
    out << "outcome: Completed\n";
}

} // namespace

int RunYearCommand(const std::string& path, std::vector<std::string> entryTexts, bool json,
                   const std::string& hoursPath, std::ostream& out, std::ostream& err) {
    int status = kExitCompleted;
    const auto file = LoadWeather(path, err, status);
    if (!file) {
        return status;
    }
    // The design point run as zone runs it: a refusal or a rejection is printed
    // as zone prints it, and no year follows.
    const JobRun design = RunJob(Calculation::Zone, std::move(entryTexts));
    if (design.exitStatus != kExitCompleted) {
        if (json) {
            PrintJson(design, out);
        } else {
            PrintEvents(design, out);
        }
        return design.exitStatus;
    }
    const Weather::YearRun run = Weather::RunYear(*file, design.zoneRun->texts);
    if (!run.year) { // cannot happen after a completed design run; said rather than hidden
        err << kProgram << ": the year did not run\n";
        return kExitRejected;
    }
    if (!hoursPath.empty()) {
        std::string error;
        const int written = WriteFileWhole(
            hoursPath,
            [&](std::ostream& to) {
                Weather::WriteHoursCsv(to, *file, *run.year->table, run.year->zone);
            },
            error);
        if (written != kExitCompleted) {
            err << kProgram << ": " << error << "\n";
            return written;
        }
    }
    if (json) {
        out << YearJson(path, *file, run, design)
                   .dump(2, ' ', false, Json::error_handler_t::replace)
            << "\n";
    } else {
        PrintYear(*file, run, design, out);
    }
    return kExitCompleted;
}

int WriteFileWhole(const std::filesystem::path& target,
                   const std::function<void(std::ostream&)>& write, std::string& error) {
    AtomicFile file(target);
    if (!file.IsOpen()) {
        error = "cannot create " + Printable(target.string()) + ": " + file.Error();
        return kExitCantCreate;
    }
    write(file.Stream());
    if (const std::string problem = file.Commit(); !problem.empty()) {
        error = "writing " + Printable(target.string()) + " failed: " + problem;
        return kExitIoError;
    }
    return kExitCompleted;
}

} // namespace CalcCli
