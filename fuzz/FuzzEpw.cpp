// The weather file reader on any bytes: a file or one problem, never both, never a
// crash. A file read has records running forwards within the format's bounds, its
// design points have texts and an RH up to 100, and its year runs to finite figures
// whose summary adds up.

#include "FuzzChecks.h"
#include "core/csv/Csv.h"
#include "core/weather/DesignPoints.h"
#include "core/weather/Epw.h"
#include "core/weather/Year.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

using namespace FuzzChecks;

namespace {

void CheckFile(const Weather::WeatherFile& f) {
    Require(!f.records.empty(), "a file without records");
    Require(f.recordsPerHour >= 1 && f.recordsPerHour <= 60, "records an hour ", f.recordsPerHour);
    for (const std::string* text : {&f.station.name, &f.station.region, &f.station.country,
                                    &f.station.source, &f.station.wmo}) {
        Require(Csv::IsUtf8(*text), "a station text that is not UTF-8");
    }
    for (const std::string& c : f.comments) {
        Require(Csv::IsUtf8(c), "a comment that is not UTF-8");
    }
    int last = 0;
    for (const Weather::Record& r : f.records) {
        Require(r.month >= 1 && r.month <= 12 && r.day >= 1 && r.day <= 31 && r.hour >= 1 &&
                    r.hour <= 24 && r.minute <= 60,
                "a record dated ", int(r.month), "/", int(r.day), " hour ", int(r.hour));
        const int key = (r.month * 32 + r.day) * 25 + r.hour;
        Require(key >= last, "records running backwards");
        last = key;
        Require(std::isnan(r.dryBulb) || std::fabs(r.dryBulb) <= 70, "dry bulb ", r.dryBulb);
        Require(std::isnan(r.dewPoint) || std::fabs(r.dewPoint) <= 70, "dew point ", r.dewPoint);
        Require(std::isnan(r.rh) || (r.rh >= 0 && r.rh <= 110), "RH ", r.rh);
    }
    const double hours = f.Hours();
    for (const double missing :
         {f.missing.dryBulb, f.missing.dewPoint, f.missing.rh, f.missing.pressure}) {
        Require(missing >= 0 && missing <= hours, "missing hours ", missing, " of ", hours);
    }
}

void CheckDesignPoints(const Weather::WeatherFile& f) {
    for (const Weather::DesignPoint& p : Weather::DesignPoints(f)) {
        Require(p.rh > 0 && p.rh <= 100, "design point RH ", p.rh);
        Require(!p.ambientTempText.empty() && !p.ambientRhText.empty(), "a point without texts");
        Require(!p.caption.empty() && Csv::IsUtf8(p.caption), "a point without a caption");
    }
}

void CheckYear(const Weather::WeatherFile& f) {
    const Weather::YearRun run = Weather::RunYear(f, InitialZoneTexts());
    Require(run.year.has_value(), "the initial entries gave no year");
    const Weather::Year& y = *run.year;
    const Weather::YearSummary& s = y.summary;
    Require(y.totals.size() == y.table->Size(), "totals for ", y.totals.size(), " of ",
            y.table->Size(), " hours");
    Require(std::fabs(s.hoursCounted + s.hoursLeftOut - f.Hours()) < 1e-6,
            "hours counted and left out do not make the file's");
    double monthHours = 0;
    for (const Weather::MonthFigures& m : s.months) {
        monthHours += m.hours;
    }
    Require(std::fabs(monthHours - s.hoursCounted) < 1e-6, "months hold ", monthHours, " of ",
            s.hoursCounted, " hours");
    for (const double t : y.totals) {
        Require(std::isfinite(t), "an hour's total is ", t);
        Require(t <= s.peak.total, "an hour above the peak");
    }
    Require(s.litres >= 0 && std::isfinite(s.litres), "the year's litres ", s.litres);
    for (const Weather::Shortfall& sf : s.shortfall) {
        Require(!sf.hoursAbove.empty(), "an empty shortfall table");
        for (std::size_t k = 1; k < sf.hoursAbove.size(); ++k) {
            Require(sf.hoursAbove[k] <= sf.hoursAbove[k - 1], "more hours short with more units");
        }
        Require(sf.hoursAbove[0] <= s.hoursCounted, "more hours short than counted");
    }
    const auto curve = Weather::LoadDuration(*y.table, y.totals, 50);
    for (std::size_t i = 1; i < curve.size(); ++i) {
        Require(curve[i].total <= curve[i - 1].total, "a load-duration curve that rises");
    }
    std::ostringstream csv;
    Weather::WriteHoursCsv(csv, f, *y.table, y.zone);
    std::size_t lines = 0;
    for (const char c : csv.str()) {
        lines += c == '\n';
    }
    Require(lines == f.records.size() + 1, "the hours file has ", lines, " lines for ",
            f.records.size(), " records");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Weather::EpwRead read = Weather::ReadEpw(bytes);
    Require(read.file.has_value() != !read.problem.empty(), "a file and a problem, or neither");
    if (!read.file) {
        Require(read.problem.find('\n') == std::string::npos, "a problem of several lines");
        Require(Csv::IsUtf8(read.problem), "a problem that is not UTF-8");
        return 0;
    }
    CheckFile(*read.file);
    CheckDesignPoints(*read.file);
    CheckYear(*read.file);
    return 0;
}
