#include "core/report/ProjectReport.h"

#include "core/common/NumberText.h"
#include "core/jobs/ProjectWeather.h"

#include <cstddef>

namespace ProjectReport {
namespace {

std::string RoomName(const Room& room, std::size_t index) {
    return room.name.empty() ? "Room " + std::to_string(index + 1) : room.name;
}

std::string DesignWeatherText(const DesignWeather& weather) {
    switch (weather.source) {
    case DesignWeather::Source::Location:
        return weather.location;
    case DesignWeather::Source::WeatherFile:
        return weather.point.empty() ? weather.weatherFile
                                     : weather.point + " (" + weather.weatherFile + ")";
    case DesignWeather::Source::None:
        break;
    }
    return {};
}

// The project's design weather, while the room's ambient entries are still the
// ones it gives: a room typed over since says nothing of it.
std::string RoomWeather(const DesignAmbient& ambient, const std::string& name,
                        const ZoneTexts& texts) {
    if (!ambient.found || texts.ambientTemp != ambient.ambientTemp ||
        texts.ambientRh != ambient.ambientRh) {
        return {};
    }
    return name;
}

std::string OutcomeText(const RoomResult& r) {
    if (r.completed) {
        return "Completed";
    }
    return r.message.empty() ? r.outcome : r.message;
}

// The room's report as its screen gives it, details left out as they are
// behind the password there.
void AddRun(const Room& room, const DesignAmbient& ambient, const std::string& weather,
            const std::string& created, RoomReport& out) {
    const CalcReport::Header header{out.calculation, out.name, created};
    if (room.job.kind == JobKind::Zone) {
        ZoneTexts texts = JobToZoneTexts(room.job);
        const auto checks = ValidateZoneInputs(texts);
        if (checks.refusal || !checks.inputs) {
            return;
        }
        ZoneResult result = CalculateZone(*checks.inputs, texts.activity);
        if (result.outcome != Outcome::Completed) {
            return;
        }
        std::string location = RoomWeather(ambient, weather, texts);
        const CalcReport::ZoneRun run{std::move(texts), *checks.inputs, checks.warnings,
                                      std::move(result), std::move(location)};
        out.content = CalcReport::ZoneContent(run, header, false);
        out.chart = CalcReport::ZoneChart(run);
    } else {
        PoolTexts texts = JobToPoolTexts(room.job);
        const auto checks = ValidatePoolInputs(texts);
        if (checks.refusal || !checks.inputs) {
            return;
        }
        PoolResult result = CalculatePool(*checks.inputs);
        if (result.outcome != Outcome::Completed) {
            return;
        }
        const CalcReport::PoolRun run{std::move(texts), *checks.inputs, checks.warnings,
                                      std::move(result)};
        out.content = CalcReport::PoolContent(run, header, false);
        out.chart = CalcReport::PoolChart(run);
    }
}

} // namespace

Content Build(const Project& project, const std::filesystem::path& projectFile,
              const std::string& created) {
    Content c;
    c.projectTitle = project.title;
    c.client = project.client;
    c.site = project.site;
    c.reference = project.reference;
    c.created = created;
    c.program = CalcReport::ProgramName();
    c.designWeather = DesignWeatherText(project.weather);
    // Read once: a weather file's point is looked up in the file now.
    const DesignAmbient ambient = ResolveDesignWeather(project, projectFile);

    const std::vector<RoomResult> results = CalculateRooms(project);
    const ProjectTotals totals = TotalsOf(results);
    c.summary = {kSummaryHeading,
                 {"Room", "Quantity", "Calculation", "Total Gain (litres/day)", "Size Chosen",
                  "Units per Room", "Units in All", "Outcome"},
                 {}};
    c.rooms.reserve(results.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Room& room = project.rooms[i];
        const RoomResult& r = results[i];
        RoomReport report;
        report.name = RoomName(room, i);
        const bool zone = room.job.kind == JobKind::Zone;
        report.calculation = zone ? CalcReport::kZoneCalculation : CalcReport::kPoolCalculation;
        std::string size;
        if (r.completed) {
            size = kUnitSizeNames[static_cast<std::size_t>(r.sizeIndex)];
            if (room.size == SizeChoice::Fewest) {
                size += " (fewest units)";
            }
            AddRun(room, ambient, c.designWeather, created, report);
        } else {
            report.notCompleted = OutcomeText(r);
        }
        c.summary.rows.push_back({
            report.name,
            std::to_string(room.quantity),
            zone ? "Zone" : "Pool",
            r.totalGain ? NumberText::FormatFixed(*r.totalGain, 2) : std::string(),
            size,
            r.completed ? std::to_string(r.unitsPerRoom) : std::string(),
            r.completed ? std::to_string(r.unitsInAll) : std::string(),
            OutcomeText(r),
        });
        c.rooms.push_back(std::move(report));
    }
    c.totals = {kTotalsHeading, {"Size", "Units"}, {}};
    for (std::size_t s = 0; s < kUnitSizeNames.size(); ++s) {
        c.totals.rows.push_back(
            {std::string(kUnitSizeNames[s]), std::to_string(totals.unitsBySize[s])});
    }
    c.totals.rows.push_back({"All sizes", std::to_string(totals.units)});
    c.leftOut = LeftOutText(project, totals);
    return c;
}

} // namespace ProjectReport
