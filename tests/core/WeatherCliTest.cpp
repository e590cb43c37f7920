#include "cli/WeatherCli.h"
#include "TestSupport.h"
#include "cli/CalcCli.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDataDir = VARNELDH_WEATHER_DATA_DIR;
const std::string kChicago = kDataDir + "/chicago.epw";

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun Calc(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = CalcCli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

bool HasLine(const std::string& out, const std::string& line) {
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

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
    const CliRun r = Calc({"weather", kChicago});
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
    const CliRun r = Calc({"--json", "weather", kChicago});
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
    for (const char* command : {"weather", "year"}) {
        const CliRun r = Calc({command, bad});
        EXPECT_EQ(r.status, CalcCli::kExitWeatherRefused) << command;
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err, "varneldh-calc: The weather file \"" + bad +
                             "\" is refused at line 12: 1/1 hour 1 comes after 1/1 hour 3: the "
                             "records run backwards\n");
        const CliRun missing = Calc({command, (dir.Path() / "none.epw").string()});
        EXPECT_EQ(missing.status, CalcCli::kExitNoInput) << command;
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
    const CliRun r = Calc({"weather", big});
    EXPECT_EQ(r.status, CalcCli::kExitWeatherRefused);
    EXPECT_EQ(r.err, "varneldh-calc: The weather file \"" + big +
                         "\" is larger than the 16 MB a weather file may have\n");
}

TEST(WeatherCli, YearSummary) {
    const CliRun r = Calc({"year", kChicago, "txtOccupancy=10"});
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
    const CliRun r = Calc({"--json", "year", kChicago, "txtOccupancy=10"});
    ASSERT_EQ(r.status, CalcCli::kExitCompleted) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["hoursCounted"], 8760);
    EXPECT_EQ(doc["entries"]["txtOccupancy"], "10");
    EXPECT_EQ(doc["months"].size(), 12u);
    EXPECT_EQ(doc["shortfall"][0]["size"], 100);
    EXPECT_EQ(doc["loadDuration"].size(), 101u);
    EXPECT_EQ(doc["loadDuration"][0]["total"], doc["peak"]["total"]);
    EXPECT_EQ(doc["outcome"], "Completed");
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
    const CliRun r = Calc(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(r.out.ends_with(std::string(c.lastLine) + "\n")) << r.out;
    EXPECT_TRUE(HasLine(r.out, c.line)) << r.out;
    EXPECT_EQ(r.out.find("hours counted"), std::string::npos);
    std::vector<std::string> zoneArgs = {"zone"};
    zoneArgs.insert(zoneArgs.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(r.out, Calc(zoneArgs).out);
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
    EXPECT_EQ(Calc({"year", kChicago, "txtNoSuch=1"}).status, CalcCli::kExitUsage);
    EXPECT_EQ(Calc({"year"}).status, CalcCli::kExitUsage);
    EXPECT_EQ(Calc({"weather"}).status, CalcCli::kExitUsage);
}

TEST(WeatherCli, HoursCsvWrittenWhole) {
    TempDir dir;
    const auto target = dir.Path() / "hours.csv";
    const CliRun r = Calc({"year", kChicago, "--hours", target.string()});
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
        Calc({"year", kChicago, "--hours", (dir.Path() / "no/such.csv").string()});
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

TEST(WeatherCli, HelpNamesTheCommandsAndTheirStatus) {
    const CliRun r = Calc({"--help"});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    EXPECT_NE(r.out.find("weather"), std::string::npos);
    EXPECT_NE(r.out.find("year"), std::string::npos);
    EXPECT_NE(r.out.find("5 the weather file is refused"), std::string::npos);
}

} // namespace
