#include "core/report/ProjectReport.h"
#include "core/jobs/Project.h"
#include "core/jobs/ProjectWeather.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace {

Room ZoneRoom(std::string name) {
    return {std::move(name), 1, SizeChoice::Fewest, ZoneJob(InitialZoneTexts())};
}

struct WeatherRow {
    const char* name;
    DesignWeather weather;
    std::string named; // what the cover and a room still using it say
};

const std::vector<WeatherRow> kWeatherRows{
    {"Location", {DesignWeather::Source::Location, "London", {}, {}}, "London"},
    {"WeatherFilePoint",
     {DesignWeather::Source::WeatherFile, {}, "chicago.epw", "1% cooling"},
     "1% cooling (chicago.epw)"},
};

void PrintTo(const WeatherRow& row, std::ostream* out) {
    *out << row.name;
}

class ProjectReportWeather : public testing::TestWithParam<WeatherRow> {};

// On paper a room names the project's design weather only while its ambient
// entries are still the ones that weather gave; a room without a name is
// headed by its place, and one that did not complete says why instead.
TEST_P(ProjectReportWeather, RoomsNameItOnlyWhileTheyUseIt) {
    const WeatherRow& row = GetParam();
    const std::filesystem::path projectFile =
        std::filesystem::path(VARNELDH_WEATHER_DATA_DIR) / "p.vdhproj";
    Project p;
    p.weather = row.weather;
    p.rooms = {ZoneRoom("Applied"),
               ZoneRoom("Typed over"),
               {"Pool", 1, SizeChoice::Fewest, PoolJob(InitialPoolTexts())},
               ZoneRoom("")};
    const DesignAmbient ambient = ResolveDesignWeather(p, projectFile);
    ASSERT_TRUE(ambient.found) << ambient.problem;
    ASSERT_EQ(ApplyDesignAmbient(p, ambient), 3);
    ZoneTexts typed = JobToZoneTexts(p.rooms[1].job);
    typed.ambientTemp = "30";
    p.rooms[1].job = ZoneJob(typed);
    ZoneTexts refused = JobToZoneTexts(p.rooms[3].job);
    refused.zoneRh = "abc";
    p.rooms[3].job = ZoneJob(refused);

    const ProjectReport::Content report = ProjectReport::Build(p, projectFile, "today");
    EXPECT_EQ(report.designWeather, row.named);
    ASSERT_EQ(report.rooms.size(), 4U);
    ASSERT_TRUE(report.rooms[0].content);
    EXPECT_EQ(report.rooms[0].content->designLocation, row.named);
    ASSERT_TRUE(report.rooms[1].content);
    EXPECT_EQ(report.rooms[1].content->designLocation, "");
    ASSERT_TRUE(report.rooms[2].content);
    EXPECT_EQ(report.rooms[2].content->jobTitle, "Pool");
    EXPECT_EQ(report.rooms[3].name, "Room 4");
    EXPECT_FALSE(report.rooms[3].content);
    EXPECT_EQ(report.rooms[3].notCompleted, CalculateRoom(p.rooms[3]).message);
    EXPECT_EQ(report.summary.rows[3][0], "Room 4");
}

INSTANTIATE_TEST_SUITE_P(Weather, ProjectReportWeather, testing::ValuesIn(kWeatherRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
