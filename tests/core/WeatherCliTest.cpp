#include "cli/WeatherCli.h"
#include "CliTestSupport.h"
#include "TestSupport.h"
#include "cli/CalcCli.h"
#include "core/csv/Csv.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDataDir = VARNELDH_WEATHER_DATA_DIR;
const std::string kChicago = kDataDir + "/chicago.epw";

// A folder of its own under the build's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("varneldh-weather-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

TEST(WeatherCli, StationAndDesignPoints) {
    const CliRun r = InProcess({"weather", kChicago});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    EXPECT_TRUE(r.err.empty()) << r.err;
    for (const char* line :
         {"station: Chicago Ohare Intl Ap, IL, USA (WMO 725300, 41.98\u00b0 N 87.92\u00b0 W, 201 "
          "m, "
          "TMY3)",
          "hours: 8760", "design conditions: Climate Design Data 2009 ASHRAE Handbook",
          "point: 0.4% dehumidification (ASHRAE Handbook 2009) txtTamb=28.9 txtAmbrh=74.0 (dew "
          "point 23.8\u00b0C, 19.2 g/kg)",
          "point: 0.4% cooling (ASHRAE Handbook 2009) txtTamb=33.3 txtAmbrh=45.1 (mean "
          "coincident wet bulb 23.7\u00b0C)"}) {
        EXPECT_TRUE(HasLine(r.out, line)) << line << "\n" << r.out;
    }
}

TEST(WeatherCli, StationAndDesignPointsAsJson) {
    const CliRun r = InProcess({"--json", "weather", kChicago});
    ASSERT_EQ(r.status, CalcCli::kExitCompleted);
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["station"]["wmo"], "725300");
    EXPECT_EQ(doc["hours"], 8760);
    ASSERT_EQ(doc["designPoints"].size(), 12u);
    const auto& first = doc["designPoints"][0];
    EXPECT_EQ(first["kind"], "dehumidification");
    EXPECT_EQ(first["txtTamb"], "28.9");
    EXPECT_EQ(first["txtAmbrh"], "74.0");
    EXPECT_EQ(first["humidityRatio"], 19.2);
    EXPECT_TRUE(doc["designPoints"][3]["dewPoint"].is_null());
    EXPECT_EQ(doc["designPoints"][11]["source"], "from this file's year");
}

// A refused file: one line naming the file and the line, and its own status.
TEST(WeatherCli, RefusedAndMissingFiles) {
    TempDir dir;
    const std::string bad = (dir.Path() / "bad.epw").string();
    {
        std::ifstream in(kDataDir + "/two-days.epw", std::ios::binary);
        std::ofstream out(bad, std::ios::binary);
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            out << (n == 12 ? "1986,1,1,1,0,x,1,1,50,99000" : line) << "\n";
        }
    }
    const std::string rooms = (dir.Path() / "rooms.csv").string();
    std::ofstream(rooms) << "txtOccupancy\n10\n";
    const std::vector<std::vector<std::string>> commands = {
        {"weather"}, {"year"}, {"batch", "zone", rooms, "--weather"}};
    for (const auto& command : commands) {
        std::vector<std::string> args = command;
        args.push_back(bad);
        const CliRun r = InProcess(args);
        EXPECT_EQ(r.status, CalcCli::kExitWeatherRefused) << command[0];
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err, "varneldh-calc: The weather file \"" + bad +
                             "\" is refused at line 12: 1/1 hour 1 comes after 1/1 hour 3: the "
                             "records run backwards\n");
        args.back() = (dir.Path() / "none.epw").string();
        EXPECT_EQ(InProcess(args).status, CalcCli::kExitNoInput) << command[0];
    }
}

// A file past the limit is refused after reading just past it, not read whole.
TEST(WeatherCli, FileLargerThanTheLimit) {
    TempDir dir;
    const std::string big = (dir.Path() / "big.epw").string();
    {
        std::ofstream out(big, std::ios::binary);
        out << "LOCATION,Chicago,IL,USA,TMY3,725300,41.98,-87.92,-6.0,201.0\n";
        const std::string filler(1 << 20, 'x');
        for (int i = 0; i < 17; ++i) {
            out << filler;
        }
    }
    const CliRun r = InProcess({"weather", big});
    EXPECT_EQ(r.status, CalcCli::kExitWeatherRefused);
    EXPECT_EQ(r.err, "varneldh-calc: The weather file \"" + big +
                         "\" is larger than the 16 MB a weather file may have\n");
}

TEST(WeatherCli, YearSummary) {
    const CliRun r = InProcess({"year", kChicago, "txtOccupancy=10"});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted) << r.err;
    for (const char* line :
         {"hours counted: 8760", "design point total: 119.63 litres/day", "outcome: Completed"}) {
        EXPECT_TRUE(HasLine(r.out, line)) << line << "\n" << r.out;
    }
    EXPECT_NE(r.out.find("\npeak hour: 1989-08-"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nhours short, HX 100 (104.0554 litres/day each): 1 unit "),
              std::string::npos);
    EXPECT_NE(r.out.find("\nmonth 12: peak "), std::string::npos);
}

TEST(WeatherCli, YearAsJson) {
    const CliRun r = InProcess({"--json", "year", kChicago, "txtOccupancy=10"});
    ASSERT_EQ(r.status, CalcCli::kExitCompleted) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["hoursCounted"], 8760);
    EXPECT_EQ(doc["entries"]["txtOccupancy"], "10");
    EXPECT_EQ(doc["months"].size(), 12u);
    EXPECT_EQ(doc["shortfall"][0]["size"], 100);
    EXPECT_EQ(doc["loadDuration"].size(), 101u);
    EXPECT_EQ(doc["loadDuration"][0]["total"], doc["peak"]["total"]);
    EXPECT_EQ(doc["outcome"], "Completed");
    // The design counts' hours short are the shortfall table's at those counts
    // (119.63 litres/day: 2 of HX 100, 1 of HX 160 and HX 200).
    ASSERT_EQ(doc["designUnits"].size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const auto& design = doc["designUnits"][k];
        const auto& shortfall = doc["shortfall"][k];
        EXPECT_EQ(design["size"], shortfall["size"]);
        EXPECT_EQ(design["units"], k == 0 ? 2 : 1) << k;
        EXPECT_EQ(design["hoursShort"],
                  shortfall["hoursAbove"][design["units"].get<std::size_t>() - 1])
            << k;
    }
}

// Entries zone refuses or rejects: printed as zone prints them, and no year.
struct YearRefusalCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* lastLine;
    const char* line; // another line the output holds
};

class YearRefusal : public testing::TestWithParam<YearRefusalCase> {};

TEST_P(YearRefusal, AsZonePrintsIt) {
    const YearRefusalCase& c = GetParam();
    std::vector<std::string> args = {"year", kChicago};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun r = InProcess(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(r.out.ends_with(std::string(c.lastLine) + "\n")) << r.out;
    EXPECT_TRUE(HasLine(r.out, c.line)) << r.out;
    EXPECT_EQ(r.out.find("hours counted"), std::string::npos);
    std::vector<std::string> zoneArgs = {"zone"};
    zoneArgs.insert(zoneArgs.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(r.out, InProcess(zoneArgs).out);
}

INSTANTIATE_TEST_SUITE_P(Entries, YearRefusal,
                         testing::Values(YearRefusalCase{"VolumeRefused",
                                                         {"txtVol=10"},
                                                         CalcCli::kExitRefused,
                                                         "outcome: Refused",
                                                         "focus: txtVol"},
                                         YearRefusalCase{"AmbientEntryRefused",
                                                         {"txtTamb="},
                                                         CalcCli::kExitRefused,
                                                         "outcome: Refused",
                                                         "focus: txtTamb"},
                                         YearRefusalCase{"OutsideEnvelope",
                                                         {"txttemp=12"},
                                                         CalcCli::kExitRejected,
                                                         "outcome: EnvelopeRejected",
                                                         "focus: txttemp"}),
                         [](const testing::TestParamInfo<YearRefusalCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(WeatherCli, YearUsageErrors) {
    EXPECT_EQ(InProcess({"year", kChicago, "txtNoSuch=1"}).status, CalcCli::kExitUsage);
    EXPECT_EQ(InProcess({"year"}).status, CalcCli::kExitUsage);
    EXPECT_EQ(InProcess({"weather"}).status, CalcCli::kExitUsage);
}

TEST(WeatherCli, HoursCsvWrittenWhole) {
    TempDir dir;
    const auto target = dir.Path() / "hours.csv";
    const CliRun r = InProcess({"year", kChicago, "--hours", target.string()});
    ASSERT_EQ(r.status, CalcCli::kExitCompleted) << r.err;
    std::ifstream in(target);
    std::size_t lines = 0;
    std::string first;
    for (std::string l; std::getline(in, l); ++lines) {
        if (lines == 0) {
            first = l;
        }
    }
    EXPECT_EQ(lines, 8761u);
    EXPECT_TRUE(first.starts_with("date,time,dry_bulb,dew_point,rh_used")) << first;
    // Nothing but the file itself is left in its folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);

    const CliRun noFolder =
        InProcess({"year", kChicago, "--hours", (dir.Path() / "no/such.csv").string()});
    EXPECT_EQ(noFolder.status, CalcCli::kExitCantCreate);
    EXPECT_NE(noFolder.err.find("cannot create"), std::string::npos) << noFolder.err;
}

// The writer leaves the old file as it was when writing fails, and no temporary file.
TEST(WeatherCli, WriteFileWholeKeepsTheOldFileOnFailure) {
    TempDir dir;
    const auto target = dir.Path() / "out.csv";
    std::ofstream(target) << "old\n";
    std::string error;
    const int status = CalcCli::WriteFileWhole(
        target, [](std::ostream& out) { out.setstate(std::ios::badbit); }, error);
    EXPECT_EQ(status, CalcCli::kExitIoError);
    EXPECT_NE(error.find("writing"), std::string::npos);
    std::ifstream in(target);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(CalcCli::WriteFileWhole(
                  target, [](std::ostream& out) { out << "new\n"; }, error),
              CalcCli::kExitCompleted);
    std::ifstream again(target);
    std::getline(again, content);
    EXPECT_EQ(content, "new");
}

// The text after `prefix` on the line that starts with it.
std::string After(const std::string& out, const std::string& prefix) {
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) {
        if (l.starts_with(prefix)) {
            return l.substr(prefix.size());
        }
    }
    return "(no line " + prefix + ")";
}

// What year prints for k units of a size, or "0" past the units it lists (the
// peak needs fewer).
std::string HoursShort(const std::string& yearOut, const std::string& size, int units) {
    std::istringstream line(After(yearOut, "hours short, HX " + size + " "));
    std::string word;
    std::string count;
    for (std::string previous; line >> word; previous = word) {
        if ((word == "unit" || word == "units") && previous == std::to_string(units)) {
            line >> count;
            return count.ends_with(',') ? count.substr(0, count.size() - 1) : count;
        }
    }
    return "0";
}

// Each completed row's year columns are what year prints for the row's entries;
// a row that did not complete has them empty. Both through the real program.
TEST(WeatherCli, BatchYearColumnsAreTheYearOfEachRow) {
    TempDir dir;
    const std::string in = (dir.Path() / "rooms.csv").string();
    const std::string out = (dir.Path() / "sized.csv").string();
    const std::vector<std::string> header = {"txtOccupancy",    "txtVentrate", "txtProcess",
                                             "txtSwimPoolGain", "txttemp",     "txtPresskPa"};
    {
        std::ofstream csv(in, std::ios::binary);
        csv << "txtOccupancy,txtVentrate,txtProcess,txtSwimPoolGain,txttemp,txtPresskPa\n"
               "10,2,0.5,12.5,28,101.325\n" // completed
               "10,0,0,0,12,101.325\n"      // outside the units' envelope
               "40,4,3,50,28,95\n"          // completed, at another pressure
               "10,2,0.5,12.5,28,30\n"      // pressure refused
               "0,0,0,0,28,101.325\n"       // completed, only infiltration
               "1,2\n";                     // unreadable
    }
    const CliRun batch =
        Program("batch zone " + in + " -o " + out + " --jobs 2 --weather " + kChicago);
    ASSERT_EQ(batch.status, CalcCli::kExitSomeRowsFailed) << batch.out;
    std::ifstream written(out, std::ios::binary);
    Csv::Reader reader(written);
    Csv::Record names;
    ASSERT_TRUE(reader.Next(names));
    const auto column = [&names](const std::string& name) {
        return static_cast<std::size_t>(std::find(names.fields.begin(), names.fields.end(), name) -
                                        names.fields.begin());
    };
    const std::size_t first = column("year_peak_gain");
    ASSERT_EQ(names.fields.size() - first, 10u) << "the year's columns come last";
    int completed = 0;
    for (Csv::Record row; reader.Next(row);) {
        const std::vector<std::string> cells(row.fields.begin() + std::ptrdiff_t(first),
                                             row.fields.end());
        if (row.fields[column("outcome")] != "Completed") {
            EXPECT_EQ(cells, std::vector<std::string>(10)) << "line " << row.line;
            continue;
        }
        ++completed;
        std::string args = "year " + kChicago;
        for (std::size_t i = 0; i < header.size(); ++i) {
            args += " " + header[i] + "=" + row.fields[i];
        }
        const CliRun year = Program(args);
        ASSERT_EQ(year.status, CalcCli::kExitCompleted) << year.out;
        const auto cell = [&](const std::string& name) { return row.fields[column(name)]; };
        const std::string peak = After(year.out, "peak hour: ");
        EXPECT_TRUE(peak.starts_with(cell("year_peak_date") + " " + cell("year_peak_time") + ", "))
            << peak;
        EXPECT_TRUE(peak.ends_with(", total " + cell("year_peak_gain") + " litres/day")) << peak;
        EXPECT_EQ(After(year.out, "moisture load: "), cell("year_litres") + " litres in the year");
        for (const std::string size : {"100", "160", "200"}) {
            const int units = std::stoi(cell("year_units_" + size));
            EXPECT_GT(units, 0);
            EXPECT_EQ(cell("year_hours_short_" + size), HoursShort(year.out, size, units))
                << "HX " << size << " line " << row.line << "\n"
                << year.out;
        }
    }
    EXPECT_EQ(completed, 3);
}

// run --weather gives a zone job the year figures year --json gives its texts.
TEST(WeatherCli, RunJobWeatherIsTheYearOfItsTexts) {
    TempDir dir;
    const std::string job = (dir.Path() / "hall.vdhjob").string();
    std::ofstream(job) << R"({"format": "varneldh-job", "formatVersion": 1,
        "calculation": "zone", "title": "Hall", "entries": {"txtOccupancy": "40",
        "txtVentrate": "4", "txtSwimPoolGain": "50", "txtPresskPa": "95"}})";
    const CliRun run = InProcess({"--json", "run", job, "--weather", kChicago});
    ASSERT_EQ(run.status, CalcCli::kExitCompleted) << run.err;
    const auto year = nlohmann::json::parse(run.out).at("year");
    const auto expected =
        nlohmann::json::parse(InProcess({"--json", "year", kChicago, "txtOccupancy=40",
                                         "txtVentrate=4", "txtSwimPoolGain=50", "txtPresskPa=95"})
                                  .out);
    for (const char* key : {"pressureKPa", "hoursCounted", "peak", "litres", "designUnits"}) {
        EXPECT_EQ(year.at(key), expected.at(key)) << key;
    }
    EXPECT_EQ(InProcess({"run", job, "--weather", (dir.Path() / "none.epw").string()}).status,
              CalcCli::kExitNoInput);
}

TEST(WeatherCli, HelpNamesTheCommandsAndTheirStatus) {
    const CliRun r = InProcess({"--help"});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    EXPECT_NE(r.out.find("weather"), std::string::npos);
    EXPECT_NE(r.out.find("year"), std::string::npos);
    EXPECT_NE(r.out.find("5 the weather file is refused"), std::string::npos);
}

} // namespace
