#include "core/jobs/Project.h"
#include "core/jobs/ProjectWeather.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;

Room ZoneRoom(std::string name, std::vector<std::pair<const char*, std::string>> changes,
              int quantity = 1, SizeChoice size = SizeChoice::Fewest) {
    ZoneTexts texts = InitialZoneTexts();
    for (const auto& [field, text] : changes) {
        texts.*FindEntry<ZoneTexts, ZoneInputs>(kZoneFields, field)->text = text;
    }
    return {std::move(name), quantity, size, ZoneJob(texts)};
}

Room PoolRoom(std::string name, int quantity = 1, SizeChoice size = SizeChoice::Fewest) {
    return {std::move(name), quantity, size, PoolJob(InitialPoolTexts())};
}

// Every text of every room and of the project, the quantities, the sizes and
// both kinds of design weather come back exactly; each room's job is its job file.
TEST(ProjectFile, EverythingSurvivesSaveAndOpen) {
    const std::vector<std::string> odd{"",
                                       "  28 ",
                                       "\"q\" \\n",
                                       "28 °C – 𝄞",
                                       "\x01\t\r\n\x7f",
                                       "2\0"
                                       "8"s};
    for (const std::string& text : odd) {
        Project p;
        p.title = p.client = p.site = p.reference = p.notes = text;
        p.weather = {DesignWeather::Source::WeatherFile, {}, "../weather/" + text, text};
        std::vector<std::pair<const char*, std::string>> all;
        for (const auto& entry : kZoneFields) {
            all.emplace_back(entry.name.data(), text);
        }
        p.rooms = {ZoneRoom(text, all, 7, SizeChoice::Hx160), PoolRoom("b", 1, SizeChoice::Hx200),
                   ZoneRoom("c", {}, kMaxRoomQuantity, SizeChoice::Hx100),
                   PoolRoom("d", 2, SizeChoice::Fewest)};
        p.rooms[1].job.title = text;
        p.rooms[1].job.notes = text;

        const std::string written = WriteProject(p);
        const ProjectRead read = ReadProject(written);
        ASSERT_TRUE(read.project) << read.problem;
        const Project& back = *read.project;
        EXPECT_EQ(back.title, text);
        EXPECT_EQ(back.client, text);
        EXPECT_EQ(back.site, text);
        EXPECT_EQ(back.reference, text);
        EXPECT_EQ(back.notes, text);
        EXPECT_EQ(back.weather, p.weather);
        EXPECT_EQ(back.writtenBy, JobWriterName());
        ASSERT_EQ(back.rooms.size(), p.rooms.size());
        for (std::size_t i = 0; i < p.rooms.size(); ++i) {
            EXPECT_EQ(back.rooms[i].name, p.rooms[i].name);
            EXPECT_EQ(back.rooms[i].quantity, p.rooms[i].quantity);
            EXPECT_EQ(back.rooms[i].size, p.rooms[i].size);
            // The room's job, taken out, is the job file of the same texts.
            EXPECT_EQ(WriteJob(back.rooms[i].job), WriteJob(p.rooms[i].job)) << i;
        }
        EXPECT_EQ(WriteProject(back), written) << "writing is not stable";
    }

    Project located;
    located.weather = {DesignWeather::Source::Location, "Kuwait", {}, {}};
    const ProjectRead read = ReadProject(WriteProject(located));
    ASSERT_TRUE(read.project) << read.problem;
    EXPECT_EQ(read.project->weather, located.weather);
}

// Only completed rooms count; a refused room and one outside the envelope are
// named as left out; a zone losing moisture completes with no units.
TEST(ProjectTotals, CountOnlyCompletedRoomsAndNameTheOthers) {
    Project p;
    p.rooms = {
        // 102.11 l/day: one of any size; fewest takes the smallest.
        ZoneRoom("Gallery", {}, 3),
        // 172.19 l/day: 2 × HX 100, 2 × HX 160 (1.03 rounds up), 1 × HX 200.
        ZoneRoom("Hall", {{"txtOccupancy", "40"}}, 2),
        ZoneRoom("Hall chosen", {{"txtOccupancy", "40"}}, 1, SizeChoice::Hx160),
        ZoneRoom("Refused", {{"txtrh", "abc"}}, 5),
        ZoneRoom("Cold", {{"txttemp", "12"}}, 5),
        ZoneRoom("Dry",
                 {{"txtOccupancy", "0"},
                  {"txtTamb", "10"},
                  {"txtAmbrh", "10"},
                  {"txtProcess", "0"},
                  {"txtSwimPoolGain", "0"}},
                 4, SizeChoice::Hx200),
        PoolRoom("Pool", 1, SizeChoice::Hx100),
    };
    const std::vector<RoomResult> r = CalculateRooms(p);

    struct Row {
        const char* outcome;
        int sizeIndex;
        int perRoom;
        std::int64_t inAll;
    };
    const std::vector<Row> expected{
        {"Completed", 0, 1, 3}, {"Completed", 2, 1, 2},         {"Completed", 1, 2, 2},
        {"Refused", -1, 0, 0},  {"EnvelopeRejected", -1, 0, 0}, {"Completed", 2, 0, 0},
        {"Completed", 0, 1, 1},
    };
    ASSERT_EQ(r.size(), expected.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
        SCOPED_TRACE(p.rooms[i].name);
        EXPECT_EQ(r[i].outcome, expected[i].outcome);
        EXPECT_EQ(r[i].sizeIndex, expected[i].sizeIndex);
        EXPECT_EQ(r[i].unitsPerRoom, expected[i].perRoom);
        EXPECT_EQ(r[i].unitsInAll, expected[i].inAll);
    }
    EXPECT_EQ(r[1].unitsBySize, (std::array<int, 3>{2, 2, 1}));
    EXPECT_NEAR(*r[1].totalGain, 172.19, 0.005);
    EXPECT_LT(*r[5].totalGain, 0);
    EXPECT_EQ(r[3].messageField, "txtrh");
    EXPECT_FALSE(r[3].message.empty());
    EXPECT_FALSE(r[4].totalGain.has_value());
    EXPECT_FALSE(r[4].message.empty());

    const ProjectTotals totals = TotalsOf(r);
    EXPECT_EQ(totals.unitsBySize, (std::array<std::int64_t, 3>{4, 2, 2}));
    EXPECT_EQ(totals.units, 8);
    EXPECT_EQ(totals.leftOut, (std::vector<std::size_t>{3, 4}));
    EXPECT_EQ(LeftOutText(p, totals), R"(Left out of the totals: "Refused", "Cold")");
}

// The picker location's ambient goes into every zone room and no pool room.
TEST(ProjectWeather, LocationAppliesToZoneRoomsOnly) {
    Project p;
    p.rooms = {ZoneRoom("a", {{"txtTamb", "5"}, {"txtVol", "77"}}), PoolRoom("p")};
    EXPECT_EQ(ApplyDesignAmbient(p, ResolveDesignWeather(p, {})), 0) << "no weather chosen";
    p.weather = {DesignWeather::Source::Location, "London", {}, {}};
    const std::string poolBefore = WriteJob(p.rooms[1].job);
    EXPECT_EQ(ApplyDesignAmbient(p, ResolveDesignWeather(p, {})), 1);
    const ZoneTexts texts = JobToZoneTexts(p.rooms[0].job);
    EXPECT_EQ(texts.ambientTemp, "29");
    EXPECT_EQ(texts.ambientRh, "50");
    EXPECT_EQ(texts.volume, "77");
    EXPECT_EQ(WriteJob(p.rooms[1].job), poolBefore);
}

struct BadCase {
    const char* name;
    std::string file;
    std::string problem;
};

std::string WithRoom(const std::string& room) {
    return R"({"format": "varneldh-project", "formatVersion": 1, "rooms": [)" + room + "]}";
}

const std::string kJob = R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone"})";

const std::vector<BadCase> kBadFiles{
    {"JobFile", kJob, "is not a Varnel DH project file"},
    {"Newer", R"({"format": "varneldh-project", "formatVersion": 2})",
     "was written by a newer version of Varnel DH (project format 2; this version reads format 1)"},
    {"NewerJobInARoom",
     WithRoom(R"({"job": {"format": "varneldh-job", "formatVersion": 3, "calculation": "pool"}})"),
     "was written by a newer version of Varnel DH (job format 3; this version reads format 1 in "
     "room 1)"},
    {"Utf16", "{\0\"\0"s, "is UTF-16 text; a project file must be UTF-8"},
    {"Duplicate", WithRoom(R"({"job": )" + kJob + R"(, "size": "100", "size": "200"})"),
     R"(is damaged: "size" is given twice in "rooms")"},
    {"RoomWithoutJob", WithRoom(R"({"name": "a"}, {"name": "b"})"),
     R"(is damaged: in room 1, "job" is missing)"},
    {"QuantityZero", WithRoom(R"({"job": )" + kJob + R"(, "quantity": 0})"),
     R"(is damaged: in room 1, "quantity" must be a whole number from 1 to 10000)"},
    {"QuantityFraction", WithRoom(R"({"job": )" + kJob + R"(, "quantity": 1.5})"),
     R"(is damaged: in room 1, "quantity" must be a whole number from 1 to 10000)"},
    {"UnknownSize", WithRoom(R"({"job": )" + kJob + R"(, "size": "HX 100"})"),
     R"(is damaged: in room 1, "size" must be "100", "160", "200" or "fewest")"},
    {"MisspeltEntry",
     WithRoom(R"({"job": {"format": "varneldh-job", "formatVersion": 1, "calculation": "pool",
              "entries": {"txtVol": "1"}}})"),
     R"(is damaged: in room 1, "txtVol" is not an entry of the pool calculation)"},
    {"ForeignJob", WithRoom(R"({"job": {"format": "other"}})"),
     "is damaged: in room 1, its job is not a Varnel DH job file"},
    {"UnknownLocation",
     R"({"format": "varneldh-project", "formatVersion": 1, "designWeather": {"location": "Oslo"}})",
     R"(is damaged: "Oslo" is not a design weather location)"},
    {"CutShort", WithRoom(R"({"job": )" + kJob).substr(0, 60), "is damaged: it is cut short"},
};

class ProjectBadFile : public testing::TestWithParam<BadCase> {};

// Refused as a whole, with the one problem that says why.
TEST_P(ProjectBadFile, RefusedWithOneClearProblem) {
    const ProjectRead read = ReadProject(GetParam().file);
    EXPECT_FALSE(read.project.has_value());
    EXPECT_EQ(read.problem, GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(Files, ProjectBadFile, testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

struct WeatherCase {
    const char* name;
    DesignWeather weather;
    const char* projectFile; // beside which the weather file's path starts
    std::string ambientTemp; // empty when refused
    std::string ambientRh;
    std::string problem;
};

const std::string kWeatherDir = VARNELDH_WEATHER_DATA_DIR;
using Src = DesignWeather::Source;

const std::vector<WeatherCase> kWeatherCases{
    {"Location", {Src::Location, "Dubai", {}, {}}, "/nowhere/p.vdhproj", "46", "30", {}},
    {"StoredPoint",
     {Src::WeatherFile, {}, "chicago.epw", "0.4% dehumidification"},
     "p.vdhproj",
     "28.9",
     "74.0",
     {}},
    // The year's point is not the stored one of the same name.
    {"YearPoint",
     {Src::WeatherFile, {}, "chicago.epw", "0.4% dehumidification (from this file's year)"},
     "p.vdhproj",
     "28.7",
     "72.6",
     {}},
    {"PathFromASubfolder",
     {Src::WeatherFile, {}, "../chicago.epw", "1% cooling"},
     "rooms/p.vdhproj",
     "31.6",
     "48.5",
     {}},
    // An edition or a caption is not a point's name.
    {"CaptionIsNoName",
     {Src::WeatherFile, {}, "chicago.epw", "0.4% dehumidification (ASHRAE Handbook 2009)"},
     "p.vdhproj",
     {},
     {},
     R"x(The weather file "chicago.epw" has no design point "0.4% dehumidification (ASHRAE )x"
     R"x(Handbook 2009)".)x"},
    {"MissingFile",
     {Src::WeatherFile, {}, "oslo.epw", "1% cooling"},
     "p.vdhproj",
     {},
     {},
     R"(The weather file "oslo.epw" cannot be opened)"},
    {"None", {}, "p.vdhproj", {}, {}, "The project has no design weather."},
};

class ProjectDesignWeather : public testing::TestWithParam<WeatherCase> {};

// The ambient texts every zone room gets, or the one message why there are none;
// a refusal changes no room.
TEST_P(ProjectDesignWeather, ResolvedAndAppliedToZoneRooms) {
    const WeatherCase& c = GetParam();
    Project p;
    p.weather = c.weather;
    p.rooms = {ZoneRoom("a", {{"txtTamb", "5"}, {"txtAmbrh", "20"}}), PoolRoom("p")};
    const std::string before = WriteProject(p);
    const DesignAmbient ambient =
        ResolveDesignWeather(p, std::filesystem::path(kWeatherDir) / c.projectFile);
    EXPECT_EQ(ambient.problem, c.problem);
    EXPECT_EQ(ambient.found, c.problem.empty());
    const int changed = ApplyDesignAmbient(p, ambient);
    if (!ambient.found) {
        EXPECT_EQ(changed, 0);
        EXPECT_EQ(WriteProject(p), before);
        return;
    }
    EXPECT_EQ(changed, 1);
    const ZoneTexts texts = JobToZoneTexts(p.rooms[0].job);
    EXPECT_EQ(texts.ambientTemp, c.ambientTemp);
    EXPECT_EQ(texts.ambientRh, c.ambientRh);
}

struct MoveCase {
    const char* from;
    const char* to;
    const char* weatherFile;
    const char* moved;
};

// Saved elsewhere, the project still finds its weather file.
TEST(ProjectWeather, WeatherFilePathFollowsTheProjectFile) {
    const MoveCase cases[] = {
        {"/a/p.vdhproj", "/a/q.vdhproj", "sites/w.epw", "sites/w.epw"},
        {"/a/p.vdhproj", "/a/b/q.vdhproj", "w.epw", "../w.epw"},
        {"/a/b/p.vdhproj", "/a/q.vdhproj", "../w.epw", "w.epw"},
        {"/a/b/p.vdhproj", "/c/d/q.vdhproj", "../x/w.epw", "../../a/x/w.epw"},
        {"/a/p.vdhproj", "/z/q.vdhproj", "/srv/w.epw", "../srv/w.epw"},
        {"", "/z/q.vdhproj", "w.epw", "w.epw"}, // never saved: nothing to go from
        {"", "/z/q.vdhproj", "/srv/w.epw", "../srv/w.epw"},
    };
    for (const MoveCase& c : cases) {
        Project p;
        p.weather = {DesignWeather::Source::WeatherFile, {}, c.weatherFile, "1% cooling"};
        MoveWeatherFilePath(p, c.from, c.to);
        EXPECT_EQ(p.weather.weatherFile, c.moved) << c.from << " -> " << c.to;
        EXPECT_EQ(p.weather.point, "1% cooling");
    }
    Project location;
    location.weather = {DesignWeather::Source::Location, "London", {}, {}};
    MoveWeatherFilePath(location, "/a/p.vdhproj", "/b/q.vdhproj");
    EXPECT_EQ(location.weather.location, "London");
    EXPECT_TRUE(location.weather.weatherFile.empty());
}

INSTANTIATE_TEST_SUITE_P(Sources, ProjectDesignWeather, testing::ValuesIn(kWeatherCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
