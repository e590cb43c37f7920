#include "TestSupport.h"
#include "core/common/NumberText.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/report/YearReport.h"
#include "core/weather/DesignPoints.h"
#include "core/weather/Epw.h"
#include "core/weather/Year.h"
#include "core/zone/ZoneCalc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDataDir = VARNELDH_WEATHER_DATA_DIR;

std::string Bytes(const std::string& name) {
    std::ifstream in(kDataDir + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Weather::WeatherFile Load(const std::string& name) {
    Weather::EpwRead read = Weather::ReadEpw(Bytes(name));
    EXPECT_TRUE(read.file.has_value()) << name << ": " << read.problem;
    return read.file ? std::move(*read.file) : Weather::WeatherFile{};
}

const Weather::WeatherFile& Chicago() {
    static const Weather::WeatherFile file = Load("chicago.epw");
    return file;
}

// Lines of a text, as split at LF.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        lines.push_back(l);
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        out += l + "\n";
    }
    return out;
}

TEST(EpwReader, ChicagoHeaderAndYear) {
    const Weather::WeatherFile& f = Chicago();
    EXPECT_EQ(f.station.name, "Chicago Ohare Intl Ap");
    EXPECT_EQ(f.station.region, "IL");
    EXPECT_EQ(f.station.country, "USA");
    EXPECT_EQ(f.station.source, "TMY3");
    EXPECT_EQ(f.station.wmo, "725300");
    EXPECT_DOUBLE_EQ(f.station.latitude, 41.98);
    EXPECT_DOUBLE_EQ(f.station.longitude, -87.92);
    EXPECT_DOUBLE_EQ(f.station.timeZone, -6);
    EXPECT_DOUBLE_EQ(f.station.elevation, 201);
    EXPECT_EQ(f.recordsPerHour, 1);
    EXPECT_EQ(f.periodStart, "1/1");
    EXPECT_EQ(f.periodEnd, "12/31");
    EXPECT_EQ(f.records.size(), 8760u);
    EXPECT_EQ(f.Hours(), 8760);
    EXPECT_FALSE(f.missing.Any());
    EXPECT_TRUE(f.notes.empty());
    ASSERT_EQ(f.comments.size(), 2u);
    EXPECT_TRUE(f.comments[0].starts_with("Custom/User Format -- WMO#725300"));
    // A typical year mixes years; the first and last records as written.
    EXPECT_EQ(f.records.front().year, 1986);
    EXPECT_EQ(f.records.front().hour, 1);
    EXPECT_DOUBLE_EQ(f.records.front().dryBulb, -12.2);
    EXPECT_DOUBLE_EQ(f.records.front().dewPoint, -16.1);
    EXPECT_DOUBLE_EQ(f.records.front().rh, 73);
    EXPECT_DOUBLE_EQ(f.records.front().pressure, 99500);
    EXPECT_EQ(f.records.back().year, 1981);
    EXPECT_EQ(f.records.back().month, 12);
    EXPECT_EQ(f.records.back().day, 31);
    EXPECT_EQ(f.records.back().hour, 24);

    ASSERT_TRUE(f.design.has_value());
    EXPECT_EQ(f.design->source, "Climate Design Data 2009 ASHRAE Handbook");
    EXPECT_EQ(f.design->edition, "2009");
    ASSERT_EQ(f.design->dehumidification.size(), 3u);
    const auto& d04 = f.design->dehumidification[0];
    EXPECT_DOUBLE_EQ(d04.percent, 0.4);
    EXPECT_DOUBLE_EQ(d04.dewPoint, 23.8);
    EXPECT_DOUBLE_EQ(d04.humidityRatio, 19.2);
    EXPECT_DOUBLE_EQ(d04.meanDryBulb, 28.9);
    EXPECT_DOUBLE_EQ(f.design->dehumidification[2].dewPoint, 21.9);
    EXPECT_DOUBLE_EQ(f.design->dehumidification[2].meanDryBulb, 26.5);
    ASSERT_EQ(f.design->cooling.size(), 3u);
    EXPECT_DOUBLE_EQ(f.design->cooling[0].dryBulb, 33.3);
    EXPECT_DOUBLE_EQ(f.design->cooling[0].meanWetBulb, 23.7);
    EXPECT_DOUBLE_EQ(f.design->cooling[1].dryBulb, 31.6);
    EXPECT_DOUBLE_EQ(f.design->cooling[2].meanWetBulb, 22.1);
}

// Each small file: what it is read as.
struct VariantCase {
    const char* name;
    const char* file;
    double hours;
    std::size_t records;
    int recordsPerHour;
    const char* stationName;
    const char* edition; // null: no stored design data
    Weather::MissingHours missing;
    const char* note; // a note the file must carry; null: none at all
};

class EpwVariant : public testing::TestWithParam<VariantCase> {};

TEST_P(EpwVariant, ReadsAsExpected) {
    const VariantCase& c = GetParam();
    const Weather::WeatherFile f = Load(c.file);
    EXPECT_EQ(f.Hours(), c.hours);
    EXPECT_EQ(f.records.size(), c.records);
    EXPECT_EQ(f.recordsPerHour, c.recordsPerHour);
    EXPECT_EQ(f.station.name, c.stationName);
    if (c.edition) {
        ASSERT_TRUE(f.design.has_value());
        EXPECT_EQ(f.design->edition, c.edition);
    } else {
        EXPECT_FALSE(f.design.has_value());
    }
    EXPECT_EQ(f.missing.dryBulb, c.missing.dryBulb);
    EXPECT_EQ(f.missing.dewPoint, c.missing.dewPoint);
    EXPECT_EQ(f.missing.rh, c.missing.rh);
    EXPECT_EQ(f.missing.pressure, c.missing.pressure);
    if (c.note) {
        ASSERT_EQ(f.notes.size(), 1u);
        EXPECT_NE(f.notes[0].find(c.note), std::string::npos) << f.notes[0];
    } else {
        EXPECT_TRUE(f.notes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, EpwVariant,
    testing::Values(
        VariantCase{"TwoDays",
                    "two-days.epw",
                    48,
                    48,
                    1,
                    "Chicago Ohare Intl Ap",
                    "2009",
                    {},
                    "has 48 hours, fewer than a year's 8760"},
        VariantCase{"NoDesign",
                    "no-design.epw",
                    48,
                    48,
                    1,
                    "Chicago Ohare Intl Ap",
                    nullptr,
                    {},
                    "has 48 hours"},
        VariantCase{
            "Latin1", "latin1.epw", 48, 48, 1, "Z\u00fcrich-Kloten", "2009", {}, "has 48 hours"},
        VariantCase{
            "Crlf", "crlf.epw", 48, 48, 1, "Chicago Ohare Intl Ap", "2009", {}, "has 48 hours"},
        VariantCase{"Handbook2021",
                    "handbook-2021.epw",
                    48,
                    48,
                    1,
                    "Chicago Ohare Intl Ap",
                    "2021",
                    {},
                    "has 48 hours"},
        VariantCase{"FourAnHour",
                    "four-an-hour.epw",
                    24,
                    96,
                    4,
                    "Chicago Ohare Intl Ap",
                    "2009",
                    {},
                    "has 24 hours"},
        VariantCase{"LeapDay",
                    "leap-day.epw",
                    72,
                    72,
                    1,
                    "Chicago Ohare Intl Ap",
                    "2009",
                    {},
                    "has 72 hours"},
        VariantCase{"Truncated",
                    "truncated.epw",
                    100,
                    100,
                    1,
                    "Chicago Ohare Intl Ap",
                    "2009",
                    {},
                    "has 100 hours, fewer than a year's 8760"},
        VariantCase{"MissingValues", "missing-values.epw", 48, 48, 1, "Chicago Ohare Intl Ap",
                    "2009", Weather::MissingHours{2, 3, 2, 2}, "has 48 hours"},
        VariantCase{
            "Chicago", "chicago.epw", 8760, 8760, 1, "Chicago Ohare Intl Ap", "2009", {}, nullptr}),
    [](const testing::TestParamInfo<VariantCase>& info) { return std::string(info.param.name); });

TEST(EpwReader, Latin1TextsBecomeUtf8) {
    const Weather::WeatherFile f = Load("latin1.epw");
    EXPECT_EQ(f.station.source, "IWEC Donn\u00e9es");
    ASSERT_EQ(f.comments.size(), 2u);
    EXPECT_EQ(f.comments[0], "Donn\u00e9es horaires de la station m\u00e9t\u00e9o; "
                             "temp\u00e9rature en \u00b0C");
    EXPECT_EQ(f.comments[1], "Erstellt f\u00fcr Pr\u00fcfungen");
}

TEST(EpwReader, CrlfReadsAsLf) {
    const Weather::WeatherFile crlf = Load("crlf.epw");
    const Weather::WeatherFile lf = Load("two-days.epw");
    ASSERT_EQ(crlf.records.size(), lf.records.size());
    for (std::size_t i = 0; i < lf.records.size(); ++i) {
        EXPECT_EQ(crlf.records[i].dryBulb, lf.records[i].dryBulb) << i;
        EXPECT_EQ(crlf.records[i].pressure, lf.records[i].pressure) << i;
    }
    EXPECT_EQ(crlf.periodEnd, "1/2");
    EXPECT_EQ(crlf.comments, lf.comments);
}

TEST(EpwReader, Handbook2021KeepsTheOffsetsAfterCooling) {
    const Weather::WeatherFile f = Load("handbook-2021.epw");
    ASSERT_TRUE(f.design.has_value());
    ASSERT_EQ(f.design->dehumidification.size(), 3u);
    EXPECT_DOUBLE_EQ(f.design->dehumidification[0].dewPoint, 24.1);
    EXPECT_DOUBLE_EQ(f.design->dehumidification[0].humidityRatio, 19.6);
    EXPECT_DOUBLE_EQ(f.design->dehumidification[0].meanDryBulb, 29.2);
    ASSERT_EQ(f.design->cooling.size(), 3u);
    EXPECT_DOUBLE_EQ(f.design->cooling[0].dryBulb, 33.9);
    EXPECT_DOUBLE_EQ(f.design->cooling[0].meanWetBulb, 23.9);
}

TEST(EpwReader, LeapDayAndWholeLeapYear) {
    const Weather::WeatherFile day = Load("leap-day.epw");
    EXPECT_EQ(day.records[24].month, 2);
    EXPECT_EQ(day.records[24].day, 29);

    // Chicago's year with a copy of Feb 28 as Feb 29: 8,784 hours and no note.
    std::vector<std::string> ordered;
    std::vector<std::string> feb29;
    for (const std::string& l : Lines(Bytes("chicago.epw"))) {
        if (l.find(",3,1,1,") == 4) {
            ordered.insert(ordered.end(), feb29.begin(), feb29.end());
        }
        ordered.push_back(l);
        if (l.find(",2,28,") == 4) {
            feb29.push_back(l.substr(0, 4) + ",2,29," + l.substr(10));
        }
    }
    ASSERT_EQ(feb29.size(), 24u);
    const Weather::EpwRead read = Weather::ReadEpw(Join(ordered));
    ASSERT_TRUE(read.file.has_value()) << read.problem;
    EXPECT_EQ(read.file->Hours(), 8784);
    EXPECT_TRUE(read.file->notes.empty());
}

// A good small file with one line changed (or the whole text replaced): refused
// with one message naming the line and what is wrong there.
struct BadCase {
    const char* name;
    int line; // 1-based line to replace; 0: the whole text is `text`; -1: a text just
              // over the size limit, made in the test rather than by every run of the suite
    std::string text;
    const char* problem; // the whole problem text
};

class EpwRefused : public testing::TestWithParam<BadCase> {};

TEST_P(EpwRefused, OneMessageNamingLineAndWhat) {
    const BadCase& c = GetParam();
    std::string bytes = c.text;
    if (c.line < 0) {
        bytes.assign(Weather::kEpwMaxBytes + 1, 'L');
    }
    if (c.line > 0) {
        std::vector<std::string> lines = Lines(Bytes("two-days.epw"));
        lines[static_cast<std::size_t>(c.line - 1)] = c.text;
        bytes = Join(lines);
    }
    const Weather::EpwRead read = Weather::ReadEpw(bytes);
    EXPECT_FALSE(read.file.has_value());
    EXPECT_EQ(read.problem, c.problem);
    const std::string message = Weather::EpwProblemMessage("site.epw", read.problem);
    EXPECT_EQ(message, "The weather file \"site.epw\" " + std::string(c.problem));
    EXPECT_EQ(message.find('\n'), std::string::npos);
}

const std::string kRecord10 = "1986,1,1,2,0,?9?9?9?9E0?9?9?9?9?9?9?9?9?9?9?9?9?9?9*_*9*9*9*9*9,";

INSTANTIATE_TEST_SUITE_P(
    Files, EpwRefused,
    testing::Values(
        BadCase{"Empty", 0, "", "is not an EPW weather file: line 1 is not its LOCATION line"},
        BadCase{"Csv", 0, "txttemp,txtrh\n28,60\n",
                "is not an EPW weather file: line 1 is not its LOCATION line"},
        BadCase{"Binary", 0,
                std::string("\x7f"
                            "ELF\0\0\1",
                            7),
                "is not an EPW weather file: line 1 is not its LOCATION line"},
        BadCase{"LocationTooShort", 1, "LOCATION,Chicago,IL,USA,TMY3",
                "is refused at line 1: LOCATION has 5 fields where it needs 10"},
        BadCase{"LatitudeNotANumber", 1, "LOCATION,Chicago,IL,USA,TMY3,725300,north,-87.92,-6,201",
                "is refused at line 1: the latitude (field 7) \"north\" is not a number"},
        BadCase{"RecordsAnHourNotANumber", 8, "DATA PERIODS,1,one,Data,Sunday, 1/ 1,1/ 2",
                "is refused at line 8: the records an hour (field 3) \"one\" is not a whole "
                "number"},
        BadCase{"RecordsAnHourZero", 8, "DATA PERIODS,1,0,Data,Sunday, 1/ 1,1/ 2",
                "is refused at line 8: the records an hour 0 is not 1 to 60"},
        BadCase{"RecordTooShort", 10, "1986,1,1,2,0",
                "is refused at line 10: a record of 5 fields where it needs at least 10"},
        BadCase{"DryBulbNotANumber", 10, kRecord10 + "warm,-15.6,73,99600,0",
                "is refused at line 10: the dry bulb (field 7) \"warm\" is not a number"},
        BadCase{"DewPointNan", 10, kRecord10 + "-11.7,nan,73,99600,0",
                "is refused at line 10: the dew point (field 8) \"nan\" is not a number"},
        BadCase{"PressureWithUnit", 10, kRecord10 + "-11.7,-15.6,73,99600Pa,0",
                "is refused at line 10: the station pressure (field 10) \"99600Pa\" is not a "
                "number"},
        BadCase{"DryBulbTooHot", 10, kRecord10 + "75.5,-15.6,73,99600,0",
                "is refused at line 10: the dry bulb 75.5 is outside -70 to 70 \u00b0C"},
        BadCase{"RhAbove110", 10, kRecord10 + "-11.7,-15.6,120,99600,0",
                "is refused at line 10: the relative humidity 120 is outside 0 to 110 %"},
        BadCase{"PressureTooLow", 10, kRecord10 + "-11.7,-15.6,73,1000,0",
                "is refused at line 10: the station pressure 1000 is outside 31000 to 120000 Pa"},
        BadCase{"MonthThirteen", 10, "1986,13,1,2,0,x,-11.7,-15.6,73,99600",
                "is refused at line 10: the month 13 is not 1 to 12"},
        BadCase{"FebruaryThirty", 10, "1986,2,30,2,0,x,-11.7,-15.6,73,99600",
                "is refused at line 10: the day 30 is not 1 to 29"},
        BadCase{"HourZero", 10, "1986,1,1,0,0,x,-11.7,-15.6,73,99600",
                "is refused at line 10: the hour 0 is not 1 to 24"},
        BadCase{"HourNotWhole", 10, "1986,1,1,2.5,0,x,-11.7,-15.6,73,99600",
                "is refused at line 10: the hour (field 4) \"2.5\" is not a whole number"},
        BadCase{"Backwards", 11, "1986,1,1,1,0,x,-11.7,-15.6,73,99600",
                "is refused at line 11: 1/1 hour 1 comes after 1/1 hour 2: the records run "
                "backwards"},
        BadCase{"HourTwiceInAnHourlyFile", 11, "1986,1,1,2,0,x,-11.7,-15.6,73,99600",
                "is refused at line 11: 1/1 hour 2 has more than the 1 record(s) an hour that "
                "DATA PERIODS gives"},
        BadCase{"HeaderOnly", 0,
                "LOCATION,Chicago,IL,USA,TMY3,725300,41.98,-87.92,-6.0,201.0\n"
                "DATA PERIODS,1,1,Data,Sunday, 1/ 1,12/31\n",
                "has no hourly records"},
        BadCase{"TooLarge", -1, "", "is larger than the 16 MB a weather file may have"}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(EpwReader, FileThatCannotBeOpened) {
    bool cannotOpen = false;
    const Weather::EpwRead read = Weather::ReadEpwFile(kDataDir + "/no-such-file.epw", &cannotOpen);
    EXPECT_FALSE(read.file.has_value());
    EXPECT_TRUE(cannotOpen);
    EXPECT_EQ(read.problem, "cannot be opened");
}

TEST(EpwReader, StationLine) {
    EXPECT_EQ(Weather::StationLine(Chicago().station),
              "Chicago Ohare Intl Ap, IL, USA (WMO 725300, 41.98\u00b0 N 87.92\u00b0 W, 201 m, "
              "TMY3)");
}

// ---- design points ----

const Weather::DesignPoint* Find(const std::vector<Weather::DesignPoint>& points,
                                 Weather::DesignKind kind, double percent, bool fromYear) {
    for (const Weather::DesignPoint& p : points) {
        if (p.kind == kind && p.percent == percent && p.fromFileYear == fromYear) {
            return &p;
        }
    }
    return nullptr;
}

struct StoredPointCase {
    const char* name;
    const char* file;
    Weather::DesignKind kind;
    double percent;
    const char* source;
    const char* tamb;
    const char* ambRh;
};

class StoredDesignPoint : public testing::TestWithParam<StoredPointCase> {};

// The RH texts were worked out by hand from the saturation-pressure formula:
// 100 * pws(23.8) / pws(28.9) = 74.01; the cooling point's humidity ratio from the
// wet-bulb relation at 101.325 kPa, 0.014577 kg/kg at 33.3 / 23.7 °C, is 45.14 %.
TEST_P(StoredDesignPoint, WritesItsTexts) {
    const StoredPointCase& c = GetParam();
    const auto points = Weather::DesignPoints(Load(c.file));
    const Weather::DesignPoint* p = Find(points, c.kind, c.percent, false);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->source, c.source);
    EXPECT_EQ(p->ambientTempText, c.tamb);
    EXPECT_EQ(p->ambientRhText, c.ambRh);
}

using K = Weather::DesignKind;
INSTANTIATE_TEST_SUITE_P(
    Files, StoredDesignPoint,
    testing::Values(StoredPointCase{"ChicagoDehum04", "chicago.epw", K::Dehumidification, 0.4,
                                    "ASHRAE Handbook 2009", "28.9", "74.0"},
                    StoredPointCase{"ChicagoCooling04", "chicago.epw", K::Cooling, 0.4,
                                    "ASHRAE Handbook 2009", "33.3", "45.1"},
                    StoredPointCase{"Dehum2021", "handbook-2021.epw", K::Dehumidification, 0.4,
                                    "ASHRAE Handbook 2021", "29.2", "74.1"},
                    StoredPointCase{"Cooling2021", "handbook-2021.epw", K::Cooling, 0.4,
                                    "ASHRAE Handbook 2021", "33.9", "43.8"}),
    [](const testing::TestParamInfo<StoredPointCase>& info) {
        return std::string(info.param.name);
    });

TEST(DesignPoints, ChicagoHasEveryPointOnce) {
    const auto points = Weather::DesignPoints(Chicago());
    EXPECT_EQ(points.size(), 12u);
    for (const K kind : {K::Dehumidification, K::Cooling}) {
        for (const double p : {0.4, 1.0, 2.0}) {
            for (const bool fromYear : {false, true}) {
                const Weather::DesignPoint* point = Find(points, kind, p, fromYear);
                ASSERT_NE(point, nullptr) << p;
                EXPECT_EQ(point->source,
                          fromYear ? Weather::kFromFileYear : "ASHRAE Handbook 2009");
                EXPECT_LE(point->rh, 100);
                EXPECT_GT(point->rh, 0);
            }
        }
    }
    EXPECT_EQ(points[0].caption,
              "0.4% dehumidification: 28.9\u00b0C / 74.0% RH (dew point 23.8\u00b0C, 19.2 g/kg)");
}

TEST(DesignPoints, NoStoredPointsWithoutDesignConditions) {
    const auto points = Weather::DesignPoints(Load("no-design.epw"));
    EXPECT_EQ(points.size(), 6u);
    for (const Weather::DesignPoint& p : points) {
        EXPECT_TRUE(p.fromFileYear);
    }
}

// 1,000 hand-made hours, dew point 0.02 * i and dry bulb 10 + 0.011 * i. From the
// top, index floor(p/100 * 1000) is hour 995, 989 and 979 for 0.4, 1 and 2 %;
// within 0.25 K of their dew points lie hours 983 to 999, 977 to 999 and 967 to
// 991, whose mean dry bulbs are 20.901, 20.868 and 20.769.
Weather::WeatherFile Ramp(int recordsPerHour) {
    Weather::WeatherFile f;
    f.recordsPerHour = recordsPerHour;
    for (int i = 0; i < 1000; ++i) {
        for (int k = 0; k < recordsPerHour; ++k) {
            Weather::Record r;
            r.dewPoint = 0.02 * i;
            r.dryBulb = 10 + 0.011 * i;
            r.rh = 50;
            r.pressure = 101325;
            f.records.push_back(r);
        }
    }
    return f;
}

TEST(DesignPoints, FromTheYearByIndexAndCoincidentBand) {
    for (const int perHour : {1, 4}) {
        const auto points = Weather::DesignPoints(Ramp(perHour));
        struct {
            double percent;
            double dewPoint;
            double meanDryBulb;
        } const expected[] = {{0.4, 19.90, 20.901}, {1, 19.78, 20.868}, {2, 19.58, 20.769}};
        for (const auto& e : expected) {
            const Weather::DesignPoint* p = Find(points, K::Dehumidification, e.percent, true);
            ASSERT_NE(p, nullptr) << e.percent;
            EXPECT_NEAR(p->dewPoint, e.dewPoint, 1e-9) << perHour << " " << e.percent;
            EXPECT_NEAR(p->dryBulb, e.meanDryBulb, 1e-9) << perHour << " " << e.percent;
            EXPECT_EQ(p->ambientTempText, NumberText::FormatFixed(e.meanDryBulb, 1));
        }
        // Dry bulbs rank the hours the same way; the band of 0.25 K holds 22 hours
        // either side of the point (hours 973 to 999 for 0.4 %: mean dew point 19.72).
        const Weather::DesignPoint* c = Find(points, K::Cooling, 0.4, true);
        ASSERT_NE(c, nullptr);
        EXPECT_NEAR(c->dryBulb, 20.945, 1e-9);
        EXPECT_NEAR(c->dewPoint, 19.72, 1e-9);
    }
}

// ---- the year ----

using Z = ZoneTexts;

ZoneTexts ZoneEntries(std::vector<std::pair<std::string Z::*, std::string>> changes = {}) {
    ZoneTexts t = InitialZoneTexts();
    t.occupancy = "10";
    t.ventRate = "2";
    t.processGain = "0.5";
    t.poolGain = "12.5";
    for (auto& [field, text] : changes) {
        t.*field = text;
    }
    return t;
}

// Each hour's gains are CalculateZone's with that hour's dry bulb and RH as the
// ambient air, to the last bit: hours across the year, frosty and hot ones included.
TEST(Year, EachHourIsTheZoneCalculation) {
    const ZoneTexts texts = ZoneEntries();
    const Weather::YearRun run = Weather::RunYear(Chicago(), texts);
    ASSERT_TRUE(run.year.has_value());
    const Weather::AmbientTable& table = *run.year->table;
    ASSERT_EQ(table.Size(), 8760u);
    std::vector<std::size_t> sample;
    for (std::size_t i = 0; i < table.Size(); i += 97) {
        sample.push_back(i);
    }
    const auto coldest = std::min_element(run.year->totals.begin(), run.year->totals.end());
    sample.push_back(static_cast<std::size_t>(coldest - run.year->totals.begin()));
    sample.push_back(run.year->summary.peak.hour);
    bool belowZero = false;
    for (const std::size_t i : sample) {
        const Weather::Record& r = Chicago().records[table.Record(i)];
        belowZero = belowZero || r.dryBulb < 0;
        // The RH the hour is given: from its dew point, as the saturation pressures' ratio.
        const double rh = std::min(100.0, 100 * Psychrometrics::SaturationPressure(r.dewPoint) /
                                              Psychrometrics::SaturationPressure(r.dryBulb));
        EXPECT_EQ(table.Rh(i), rh) << i;
        ZoneInputs in = *run.checks.inputs;
        in.ambientTemp = r.dryBulb;
        in.ambientRh = rh;
        const ZoneResult zone = CalculateZone(in, texts.activity);
        const Weather::HourGains g = run.year->zone.Gains(table.W()[i], table.D()[i]);
        EXPECT_EQ(g.vent, zone.numbers.ventGain) << i;
        EXPECT_EQ(g.infil, zone.numbers.infilGain) << i;
        EXPECT_EQ(g.people, zone.numbers.peopleGain) << i;
        EXPECT_EQ(g.process, zone.numbers.processGain) << i;
        EXPECT_EQ(g.pool, zone.numbers.poolGain) << i;
        EXPECT_EQ(g.total, zone.numbers.totalGain) << i;
        EXPECT_EQ(run.year->totals[i], zone.numbers.totalGain) << i;
    }
    EXPECT_TRUE(belowZero);
}

TEST(Year, ChicagoSummary) {
    const Weather::YearRun run = Weather::RunYear(Chicago(), ZoneEntries());
    ASSERT_TRUE(run.year.has_value());
    const Weather::YearSummary& s = run.year->summary;
    EXPECT_EQ(s.hoursCounted, 8760);
    EXPECT_EQ(s.hoursLeftOut, 0);
    EXPECT_EQ(s.designTotal, run.design->numbers.totalGain);
    EXPECT_GE(s.peak.record.month, 6);
    EXPECT_LE(s.peak.record.month, 8);
    const auto& totals = run.year->totals;
    EXPECT_EQ(s.peak.total, *std::max_element(totals.begin(), totals.end()));
    double litres = 0;
    for (const double t : totals) {
        litres += t > 0 ? t / 24 : 0;
    }
    EXPECT_NEAR(s.litres, litres, 1e-9 * litres);
    // Every month has its days' hours; January's mean and peak by hand.
    double janSum = 0;
    double janPeak = -1e300;
    double janHours = 0;
    for (std::size_t i = 0; i < totals.size(); ++i) {
        if (Chicago().records[run.year->table->Record(i)].month == 1) {
            janSum += totals[i];
            janPeak = std::max(janPeak, totals[i]);
            ++janHours;
        }
    }
    EXPECT_EQ(janHours, 744);
    EXPECT_EQ(s.months[0].hours, 744);
    EXPECT_EQ(s.months[0].peak, janPeak);
    EXPECT_NEAR(s.months[0].mean, janSum / janHours, 1e-9);
    EXPECT_EQ(s.months[1].hours, 672);
}

// The shortfall table counted one hour at a time, against the table's histogram.
TEST(Year, ShortfallHoursAboveEachCount) {
    const Weather::YearRun run =
        Weather::RunYear(Chicago(), ZoneEntries({{&Z::occupancy, "60"}, {&Z::ventRate, "4"}}));
    ASSERT_TRUE(run.year.has_value());
    const auto& totals = run.year->totals;
    const double peak = run.year->summary.peak.total;
    for (const Weather::Shortfall& sf : run.year->summary.shortfall) {
        ASSERT_GT(sf.rate, 0);
        const auto needed = static_cast<std::size_t>(std::ceil(peak / sf.rate));
        ASSERT_EQ(sf.hoursAbove.size(), std::max<std::size_t>(1, needed)) << sf.size;
        EXPECT_FALSE(sf.cut);
        for (std::size_t k = 1; k <= sf.hoursAbove.size(); ++k) {
            const auto above = std::count_if(totals.begin(), totals.end(), [&](double t) {
                return t > static_cast<double>(k) * sf.rate;
            });
            EXPECT_EQ(sf.hoursAbove[k - 1], static_cast<double>(above)) << sf.size << " " << k;
        }
        // As many units as the peak needs are never short.
        EXPECT_EQ(sf.hoursAbove.back(), 0) << sf.size;
    }
    EXPECT_EQ(run.year->summary.shortfall[0].size, 100);
    EXPECT_EQ(run.year->summary.shortfall[2].rate, 2 * run.year->summary.shortfall[0].rate);
    // The curve's lines across are the table's rows: size by size, 1 unit up.
    const auto lines = Weather::CapacityLines(run.year->summary);
    std::size_t at = 0;
    for (const Weather::Shortfall& sf : run.year->summary.shortfall) {
        for (std::size_t k = 1; k <= sf.hoursAbove.size(); ++k, ++at) {
            ASSERT_LT(at, lines.size());
            EXPECT_EQ(lines[at].size, sf.size);
            EXPECT_EQ(lines[at].units, static_cast<int>(k));
            EXPECT_DOUBLE_EQ(lines[at].litresPerDay, static_cast<double>(k) * sf.rate);
        }
    }
    EXPECT_EQ(at, lines.size());
}

// One hand-made hour far more humid than the rest is the peak, found once.
TEST(Year, HandMadePeakHour) {
    Weather::WeatherFile f = Load("two-days.epw");
    f.records[30].dryBulb = 35;
    f.records[30].dewPoint = 30;
    const Weather::YearRun run = Weather::RunYear(f, ZoneEntries());
    ASSERT_TRUE(run.year.has_value());
    const Weather::PeakHour& peak = run.year->summary.peak;
    EXPECT_TRUE(peak.found);
    EXPECT_EQ(peak.hour, 30u);
    EXPECT_EQ(peak.record.day, 2);
    EXPECT_EQ(peak.record.hour, 7);
    EXPECT_EQ(Weather::DateText(peak.record), "1986-01-02");
    EXPECT_EQ(Weather::TimeText(peak.record), "07:00");
    EXPECT_EQ(std::count(run.year->totals.begin(), run.year->totals.end(), peak.total), 1);
    EXPECT_GT(peak.total, 0);
    // Only January has hours; its peak is this hour.
    EXPECT_EQ(run.year->summary.months[0].peak, peak.total);
    EXPECT_TRUE(std::isnan(run.year->summary.months[5].mean));

    // The tables the window and the report show.
    const auto tables = CalcReport::YearTables(f, *run.year);
    ASSERT_EQ(tables.size(), 3u);
    const auto& rows = tables[0].rows;
    const auto row = [&rows](const std::string& caption) {
        for (const auto& r : rows) {
            if (r[0] == caption) {
                return r[1];
            }
        }
        return std::string("(none)");
    };
    EXPECT_EQ(row("Peak hour"), "1986-01-02 07:00");
    EXPECT_EQ(row("Peak hour's ambient air"), "35.0 \u00b0C, 75.4 % RH");
    EXPECT_EQ(row("Peak hour's total gain"),
              NumberText::FormatFixed(peak.total, 2) + " litres/day");
    EXPECT_EQ(row("Hours counted"), "48");
    EXPECT_EQ(row("Note"), "The weather file has 48 hours, fewer than a year's 8760");
    const CalcReport::Table& shortfall = tables[1];
    EXPECT_EQ(shortfall.columns, (std::vector<std::string>{"Units", "HX 100 (hours)",
                                                           "HX 160 (hours)", "HX 200 (hours)"}));
    ASSERT_EQ(shortfall.rows.size(), run.year->summary.shortfall[0].hoursAbove.size());
    EXPECT_EQ(shortfall.rows[0][1],
              NumberText::FormatGeneral(run.year->summary.shortfall[0].hoursAbove[0]));
    const CalcReport::Table& months = tables[2];
    ASSERT_EQ(months.rows.size(), 1u);
    EXPECT_EQ(months.rows[0][0], "January");
    EXPECT_EQ(months.rows[0][1], "48");
    EXPECT_EQ(months.rows[0][2], NumberText::FormatFixed(peak.total, 2));
}

// Four records an hour, each a quarter: the same counts and sums as one an hour.
TEST(Year, SubHourlyRecordsCountAsTheirShare) {
    const Weather::WeatherFile quarters = Load("four-an-hour.epw");
    Weather::WeatherFile hourly = Load("two-days.epw");
    hourly.records.resize(24);
    const auto q = Weather::RunYear(quarters, ZoneEntries());
    const auto h = Weather::RunYear(hourly, ZoneEntries());
    ASSERT_TRUE(q.year && h.year);
    EXPECT_EQ(q.year->summary.hoursCounted, 24);
    EXPECT_NEAR(q.year->summary.litres, h.year->summary.litres, 1e-9);
    EXPECT_EQ(q.year->summary.peak.total, h.year->summary.peak.total);
    EXPECT_EQ(Weather::TimeText(quarters.records[0]), "00:15");
    EXPECT_EQ(Weather::TimeText(quarters.records[3]), "01:00");
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(q.year->summary.shortfall[k].hoursAbove, h.year->summary.shortfall[k].hoursAbove);
    }
    EXPECT_NEAR(q.year->summary.months[0].mean, h.year->summary.months[0].mean, 1e-9);
}

TEST(Year, MissingValuesLeaveHoursOut) {
    const Weather::WeatherFile f = Load("missing-values.epw");
    const Weather::YearRun run = Weather::RunYear(f, ZoneEntries());
    ASSERT_TRUE(run.year.has_value());
    const Weather::AmbientTable& t = *run.year->table;
    // No dry bulb (hours 3 and 7) or neither dew point nor RH (hour 5): left out.
    EXPECT_EQ(t.HoursLeftOut(), 3);
    EXPECT_EQ(run.year->summary.hoursCounted, 45);
    std::vector<std::uint32_t> counted;
    for (std::size_t i = 0; i < t.Size(); ++i) {
        counted.push_back(t.Record(i));
    }
    EXPECT_EQ(std::count(counted.begin(), counted.end(), 2u), 0);
    EXPECT_EQ(std::count(counted.begin(), counted.end(), 4u), 0);
    EXPECT_EQ(std::count(counted.begin(), counted.end(), 6u), 0);
    // Hour 4 has no dew point: the file's RH is used. Hour 6 lacks only the
    // pressure, which the year does not need.
    ASSERT_EQ(t.Record(2), 3u);
    EXPECT_FALSE(t.RhFromDewPoint(2));
    EXPECT_EQ(t.Rh(2), f.records[3].rh);
    EXPECT_EQ(t.Record(3), 5u);
    EXPECT_TRUE(t.RhFromDewPoint(3));
}

// A file whose every hour lacks its dry bulb: a year of no hours, and no peak.
TEST(Year, NoHourCounted) {
    Weather::WeatherFile f = Load("two-days.epw");
    for (Weather::Record& r : f.records) {
        r.dryBulb = std::nan("");
    }
    const Weather::YearRun run = Weather::RunYear(f, ZoneEntries());
    ASSERT_TRUE(run.year.has_value());
    const Weather::YearSummary& s = run.year->summary;
    EXPECT_EQ(s.hoursCounted, 0);
    EXPECT_EQ(s.hoursLeftOut, 48);
    EXPECT_FALSE(s.peak.found);
    EXPECT_EQ(s.litres, 0);
    EXPECT_TRUE(Weather::LoadDuration(*run.year->table, run.year->totals, 10).empty());
    for (const Weather::Shortfall& sf : s.shortfall) {
        EXPECT_EQ(sf.hoursAbove, std::vector<double>{0});
    }
    const auto tables = CalcReport::YearTables(f, *run.year);
    bool saidNone = false;
    for (const auto& row : tables[0].rows) {
        saidNone = saidNone || (row[0] == "Peak hour" && row[1].starts_with("none"));
    }
    EXPECT_TRUE(saidNone);
    EXPECT_TRUE(tables[2].rows.empty());
}

TEST(Year, RefusedEntriesAndEnvelopeGiveNoYear) {
    const Weather::YearRun refused = Weather::RunYear(Chicago(), ZoneEntries({{&Z::volume, "10"}}));
    ASSERT_TRUE(refused.checks.refusal.has_value());
    EXPECT_EQ(refused.checks.refusal,
              ValidateZoneInputs(ZoneEntries({{&Z::volume, "10"}})).refusal);
    EXPECT_FALSE(refused.design.has_value());
    EXPECT_FALSE(refused.year.has_value());

    const Weather::YearRun outside =
        Weather::RunYear(Chicago(), ZoneEntries({{&Z::zoneTemp, "12"}}));
    ASSERT_TRUE(outside.design.has_value());
    EXPECT_EQ(outside.design->outcome, Outcome::EnvelopeRejected);
    EXPECT_EQ(outside.design->message,
              CalculateZone(*outside.checks.inputs, "Office Work").message);
    EXPECT_FALSE(outside.year.has_value());
}

TEST(Year, SharedTableOnlyAtItsPressure) {
    const auto shared = std::make_shared<const Weather::AmbientTable>(Chicago(), 101.325);
    const auto same = Weather::RunYear(Chicago(), ZoneEntries(), shared);
    ASSERT_TRUE(same.year.has_value());
    EXPECT_EQ(same.year->table.get(), shared.get());
    const auto other = Weather::RunYear(Chicago(), ZoneEntries({{&Z::pressure, "95"}}), shared);
    ASSERT_TRUE(other.year.has_value());
    EXPECT_NE(other.year->table.get(), shared.get());
    EXPECT_EQ(other.year->table->PressureKPa(), 95);
    // Thinner air carries less water per cubic metre: the peak falls.
    EXPECT_LT(other.year->summary.peak.total, same.year->summary.peak.total);
}

TEST(Year, LoadDurationCurve) {
    const Weather::YearRun run = Weather::RunYear(Chicago(), ZoneEntries());
    ASSERT_TRUE(run.year.has_value());
    const auto curve = Weather::LoadDuration(*run.year->table, run.year->totals, 101);
    ASSERT_EQ(curve.size(), 101u);
    EXPECT_EQ(curve.front().hours, 1);
    EXPECT_EQ(curve.front().total, run.year->summary.peak.total);
    EXPECT_EQ(curve.back().hours, 8760);
    EXPECT_EQ(curve.back().total,
              *std::min_element(run.year->totals.begin(), run.year->totals.end()));
    for (std::size_t i = 1; i < curve.size(); ++i) {
        EXPECT_LE(curve[i].total, curve[i - 1].total);
        EXPECT_GT(curve[i].hours, curve[i - 1].hours);
    }
    // Every hour when asked for more points than hours.
    EXPECT_EQ(Weather::LoadDuration(*run.year->table, run.year->totals, 100000).size(), 8760u);
}

TEST(Year, HoursCsvHasEveryRecord) {
    const Weather::WeatherFile f = Load("missing-values.epw");
    const Weather::YearRun run = Weather::RunYear(f, ZoneEntries());
    ASSERT_TRUE(run.year.has_value());
    std::ostringstream out;
    Weather::WriteHoursCsv(out, f, *run.year->table, run.year->zone);
    const std::vector<std::string> lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 49u);
    EXPECT_EQ(lines[0], "date,time,dry_bulb,dew_point,rh_used,rh_from,occupant_gain,"
                        "ventilation_gain,infiltration_gain,process_gain,pool_gain,total_gain");
    EXPECT_EQ(lines[3], "1986-01-01,03:00,,-15.0,,left out,,,,,,");
    EXPECT_EQ(lines[5], "1986-01-01,05:00,-10.6,,,left out,,,,,,");
    const Weather::HourGains g =
        run.year->zone.Gains(run.year->table->W()[0], run.year->table->D()[0]);
    EXPECT_EQ(lines[1], "1986-01-01,01:00,-12.2,-16.1," +
                            NumberText::FormatFixed(run.year->table->Rh(0), 2) +
                            ",dew point,17.52," + NumberText::FormatFixed(g.vent, 2) + "," +
                            NumberText::FormatFixed(g.infil, 2) + ",12.00,12.5," +
                            NumberText::FormatFixed(g.total, 2));
    EXPECT_NE(lines[4].find(",file,"), std::string::npos);
}

} // namespace
