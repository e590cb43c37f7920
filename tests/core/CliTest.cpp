#include "CliTestSupport.h"
#include "TestSupport.h"
#include "cli/Batch.h"
#include "cli/CalcCli.h"
#include "core/csv/Csv.h"
#include "core/jobs/JobFile.h"
#include "core/pool/EvaporationMethods.h"
#include "core/pool/PoolCalc.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/zone/ZoneCalc.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string LastLine(const std::string& out) {
    std::istringstream in(out);
    std::string last;
    for (std::string l; std::getline(in, l);) {
        last = l;
    }
    return last;
}

TEST(CalcCli, ZoneExample) {
    const CliRun r = InProcess(
        {"zone", "txtOccupancy=10", "txtVentrate=2", "txtProcess=0.5", "txtSwimPoolGain=12.5"});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    for (const char* line : {"txtTotGain: 184.97", "txt100s: 1.8", "txt160s: 1.1", "txt200s: 0.9",
                             "txtRate100: 104.0554"}) {
        EXPECT_TRUE(HasLine(r.out, line)) << line << "\n" << r.out;
    }
    EXPECT_EQ(LastLine(r.out), "outcome: Completed");
    EXPECT_TRUE(r.err.empty());
}

// Warnings first, then the refusal, the emptied field and the focus.
TEST(CalcCli, ZoneWarningThenRefusal) {
    const CliRun r = InProcess({"zone", "txtVentrate=15", "txtInfil="});
    EXPECT_EQ(r.status, CalcCli::kExitRefused);
    std::istringstream in(r.out);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        lines.push_back(l);
    }
    ASSERT_EQ(lines.size(), 5u) << r.out;
    EXPECT_EQ(lines[0].rfind("warning: ENTERED MECHANICAL VENTILATION RATE", 0), 0u);
    EXPECT_EQ(lines[1].rfind("refused txtInfil: Please enter a value for the natural", 0), 0u);
    EXPECT_EQ(lines[2], "txtInfil: ");
    EXPECT_EQ(lines[3], "focus: txtInfil");
    EXPECT_EQ(lines[4], "outcome: Refused");
}

TEST(CalcCli, PoolRefusalKeepsFocus) {
    const CliRun r = InProcess({"pool", "txtpoolarea=0.5"});
    EXPECT_EQ(r.status, CalcCli::kExitRefused);
    EXPECT_TRUE(HasLine(r.out, "txtpoolarea: "));
    EXPECT_EQ(r.out.find("focus:"), std::string::npos);
}

TEST(CalcCli, PoolIterationsGoToZoneScreen) {
    const CliRun r = InProcess({"pool"});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    EXPECT_TRUE(HasLine(r.out, "frmMethod1.txtiter: 440"));
    EXPECT_TRUE(HasLine(r.out, "txtm2: 99.60"));
}

// Message, focus, then the fields emptied after it, then the outcome.
TEST(CalcCli, RejectionOrder) {
    const CliRun r = InProcess({"zone", "txttemp=12"});
    EXPECT_EQ(r.status, CalcCli::kExitRejected);
    const auto message = r.out.find("message: Operating conditions out of range for "
                                    "dehumidification units.");
    const auto focus = r.out.find("focus: txttemp");
    const auto emptied = r.out.find("txtPeopleGain: \n");
    ASSERT_NE(message, std::string::npos);
    EXPECT_LT(message, focus);
    EXPECT_LT(focus, emptied);
    EXPECT_EQ(LastLine(r.out), "outcome: EnvelopeRejected");
}

TEST(CalcCli, TextsTakenAsTyped) {
    const CliRun r = InProcess({"zone", "comboActivity=Social ", "txtOccupancy= 1 0"});
    EXPECT_TRUE(HasLine(r.out, "txtPeopleGain: 0.00")) << r.out;
    const CliRun social = InProcess({"zone", "comboActivity=Social", "txtOccupancy= 1 0"});
    EXPECT_TRUE(HasLine(social.out, "txtPeopleGain: 19.92")) << social.out;
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* says = ""; // what the line must hold
};

class CliUsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageTest, ExitsWith64AndOneLine) {
    const CliRun r = InProcess(GetParam().args);
    EXPECT_EQ(r.status, CalcCli::kExitUsage);
    EXPECT_TRUE(r.out.empty());
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CliUsageTest,
    testing::Values(
        UsageCase{"NoArguments", {}}, UsageCase{"UnknownScreen", {"garden"}},
        UsageCase{"UnknownField", {"zone", "txtpoolarea=5"}},
        UsageCase{"PoolHasNoActivity", {"pool", "comboActivity=Social"}},
        UsageCase{"NoEquals", {"pool", "txttemp"}},
        // The keys it takes are named.
        UsageCase{"UnknownPoolType", {"--json", "--pool-type", "deep", "pool"}, "public-deep"},
        // Not standard output: a name left empty by a script.
        UsageCase{"EmptyOutputName", {"batch", "zone", "in.csv", "-o", ""}, "-o needs a file name"},
        UsageCase{"WeatherYearIsForZones",
                  {"batch", "pool", "in.csv", "--weather", "w.epw"},
                  "--weather applies to batch zone"},
        // No terminal control comes through raw.
        UsageCase{"ControlCharactersEscaped", {"zone", "txt\x1b[2J\r=1"}, "'txt\\u001b[2J\\r'"}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

// Every field of both tables, on its own line with its caption and initial text.
TEST(CalcCli, HelpListsFieldsWithCaptionsAndInitialTexts) {
    const CliRun r = InProcess({"--help"});
    EXPECT_EQ(r.status, 0);
    const auto listed = [&r](const auto& table) {
        for (const auto& f : table) {
            std::string line = "  " + std::string(f.name);
            line.resize(std::max<std::size_t>(line.size() + 2, 19), ' ');
            line += std::string(f.caption) + " [initial \"" + std::string(f.initialText) + "\"]";
            EXPECT_TRUE(HasLine(r.out, line)) << line;
        }
    };
    listed(kZoneFields);
    listed(kPoolFields);
    for (const char* command : {"zone", "pool", "batch", "run", "--json", "--jobs", "--quiet"}) {
        EXPECT_NE(r.out.find(command), std::string::npos) << command;
    }
}

std::vector<std::string> Lines(const std::string& out) {
    std::istringstream in(out);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        lines.push_back(l);
    }
    return lines;
}

// The text each field is left with by the "FIELD: TEXT" lines, the last one winning.
std::map<std::string, std::string> FinalTexts(const std::string& out) {
    std::map<std::string, std::string> texts;
    for (const std::string& l : Lines(out)) {
        const auto colon = l.find(": ");
        const std::string field = l.substr(0, colon);
        if (colon == std::string::npos || field.find(' ') != std::string::npos ||
            field == "warning" || field == "message" || field == "focus" || field == "outcome") {
            continue;
        }
        texts[field == "frmMethod1.txtiter" ? "txtiter" : field] = l.substr(colon + 2);
    }
    return texts;
}

// The message and warnings the text lines show.
std::string MessageOf(const std::string& out) {
    for (const std::string& l : Lines(out)) {
        if (l.rfind("message: ", 0) == 0 || l.rfind("refused ", 0) == 0) {
            return l.substr(l.find(": ") + 2);
        }
    }
    return {};
}

std::vector<std::string> WarningsOf(const std::string& out) {
    std::vector<std::string> warnings;
    for (const std::string& l : Lines(out)) {
        if (l.rfind("warning: ", 0) == 0) {
            warnings.push_back(l.substr(9));
        }
    }
    return warnings;
}

// A number as the program writes it, whatever the locale.
double Number(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

struct JsonCase {
    const char* name;
    std::vector<std::string> args;
};

class CliJsonTest : public testing::TestWithParam<JsonCase> {};

// The object tells what the text lines tell: the same events in the same order,
// the results those events leave, the entries used and the exit status.
TEST_P(CliJsonTest, SameRunAsTheTextLines) {
    const std::vector<std::string>& args = GetParam().args;
    const CliRun text = InProcess(args);
    std::vector<std::string> jsonArgs{"--json"};
    jsonArgs.insert(jsonArgs.end(), args.begin(), args.end());
    const CliRun json = InProcess(jsonArgs);
    EXPECT_EQ(json.status, text.status);
    const auto doc = nlohmann::json::parse(json.out);

    std::vector<std::string> lines;
    for (const auto& e : doc.at("events")) {
        const std::string kind = e.at("event");
        const std::string field = e.value("field", "");
        const std::string t = e.value("text", "");
        lines.push_back(kind == "write"     ? field + ": " + t
                        : kind == "refused" ? "refused " + field + ": " + t
                        : kind == "focus"   ? "focus: " + field
                                            : kind + ": " + t);
    }
    EXPECT_EQ(lines, Lines(text.out));
    EXPECT_EQ("outcome: " + doc.at("outcome").get<std::string>(), LastLine(text.out));
    EXPECT_EQ(doc.at("message").is_null() ? "" : doc.at("message").get<std::string>(),
              MessageOf(text.out));
    EXPECT_EQ(doc.at("warnings").get<std::vector<std::string>>(), WarningsOf(text.out));

    const auto finals = FinalTexts(text.out);
    const auto check = [&](const auto& entryTable, const auto& resultTable) {
        const auto& results = doc.at("results");
        ASSERT_EQ(results.size(), resultTable.size());
        for (std::size_t i = 0; i < resultTable.size(); ++i) {
            EXPECT_EQ(results[i].at("name"), resultTable[i].name);
            EXPECT_EQ(results[i].at("caption"), resultTable[i].caption);
            EXPECT_EQ(results[i].at("unit"), resultTable[i].unit);
            const auto it = finals.find(std::string(resultTable[i].name));
            EXPECT_EQ(results[i].at("text"), it == finals.end() ? "" : it->second)
                << resultTable[i].name;
        }
        const auto& entries = doc.at("entries");
        ASSERT_EQ(entries.size(), entryTable.size());
        for (std::size_t i = 0; i < entryTable.size(); ++i) {
            const std::string name(entryTable[i].name);
            EXPECT_EQ(entries[i].at("name"), name);
            EXPECT_EQ(entries[i].at("caption"), entryTable[i].caption);
            EXPECT_EQ(entries[i].at("unit"), entryTable[i].unit);
            std::string given(entryTable[i].initialText);
            for (const std::string& a : args) {
                if (a.rfind(name + "=", 0) == 0) {
                    given = a.substr(name.size() + 1);
                }
            }
            EXPECT_EQ(entries[i].at("text"), given) << name;
        }
    };
    if (args[0] == "zone") {
        check(kZoneFields, kZoneResults);
    } else {
        check(kPoolFields, kPoolResults);
    }

    // The report: only of a completed run, with the results' texts in its tables.
    const auto& report = doc.at("report");
    if (doc.at("outcome") != "Completed") {
        EXPECT_TRUE(report.is_null()) << report;
        return;
    }
    ASSERT_TRUE(report.is_object());
    for (const auto& result : doc.at("results")) {
        const std::string caption = result.at("caption");
        const std::string group = result.value("group", "");
        bool found = false;
        for (const auto& table : report.at("tables")) {
            const auto& columns = table.at("columns");
            for (const auto& row : table.at("rows")) {
                if (row[0] != caption && row[0] != group + " " + caption) {
                    continue;
                }
                for (std::size_t c = 1; c < row.size(); ++c) {
                    // In a grid of groups, the group's own column.
                    const bool grid =
                        std::find(columns.begin(), columns.end(), group) != columns.end();
                    found =
                        found || (row[c] == result.at("text") && (!grid || columns[c] == group));
                }
            }
        }
        EXPECT_TRUE(found) << caption << " " << result.at("text");
    }

    // Beside each count as the screen shows it, the count to two decimals that
    // tells why a "1.0" needs 2 units: the units to install are its whole
    // number rounded up. No load, no units: then the zone's report says why.
    std::map<std::string, std::string> entries, results;
    for (const auto& e : doc.at("entries")) {
        entries[e.at("name")] = e.at("text");
    }
    for (const auto& r : doc.at("results")) {
        results[r.at("name")] = r.at("text");
    }
    const double totalGain = Number(results.at(args[0] == "zone" ? "txtTotGain" : "txtTotalGain"));
    for (const auto& table : report.at("tables")) {
        if (table.at("heading") != "Number of Units Required") {
            continue;
        }
        ASSERT_EQ(table.at("columns").size(), 4u) << table.at("columns");
        for (const auto& row : table.at("rows")) {
            const std::string shown = row[1], hundredths = row[2], install = row[3];
            if (shown == "0") {
                EXPECT_EQ(hundredths, "");
                EXPECT_EQ(install, "0");
                continue;
            }
            ASSERT_EQ(hundredths.size(), hundredths.find('.') + 3) << hundredths;
            EXPECT_NEAR(Number(hundredths), Number(shown), 0.06) << shown;
            EXPECT_EQ(Number(install), std::ceil(Number(hundredths))) << hundredths;
        }
    }
    EXPECT_EQ(report.at("noUnitsReason").is_string(), args[0] == "zone" && totalGain < 0)
        << report.at("noUnitsReason");

    // The chart's room state is the engine's air at the room's entries, its
    // wet bulb and dew point those the results show.
    const auto& chart = report.at("chart");
    const double pressure = Number(entries.at("txtPresskPa"));
    EXPECT_EQ(chart.at("pressureKPa").get<double>(), pressure);
    const auto& room = chart.at("states").at(0);
    const double t = Number(entries.at("txttemp"));
    const double rh = Number(entries.at("txtrh"));
    const auto air = Psychrometrics::ComputeAirState(t, rh, pressure);
    EXPECT_EQ(room.at("label"), "Zone");
    EXPECT_EQ(room.at("dryBulb").get<double>(), t);
    EXPECT_EQ(room.at("rh").get<double>(), rh);
    EXPECT_DOUBLE_EQ(room.at("humidityRatio").get<double>(), air.W);
    EXPECT_DOUBLE_EQ(room.at("dewPoint").get<double>(), air.DP);
    EXPECT_NEAR(room.at("wetBulb").get<double>(), Number(results.at("txtWBzone")), 0.005);
    EXPECT_EQ(chart.at("states").size(), 2u);

    if (args[0] != "pool") {
        return;
    }
    // The pool's evaporation by every method; another pool type changes VDI
    // 2089-1's figure by the ratio of the coefficients, and nothing else.
    using namespace EvaporationMethods;
    const auto methodsOf = [](const nlohmann::json& of) {
        for (const auto& table : of.at("report").at("tables")) {
            if (table.at("heading") == "Evaporation by Other Methods") {
                return table.at("rows");
            }
        }
        return nlohmann::json::array();
    };
    const auto methods = methodsOf(doc);
    ASSERT_EQ(methods.size(), kMethods.size());
    for (std::size_t i = 0; i < kMethods.size(); ++i) {
        EXPECT_EQ(methods[i][0].get<std::string>().rfind(CaptionOf(kMethods[i]), 0), 0u);
        EXPECT_EQ(methods[i].size(), kFigureColumns.size() + 1);
    }
    EXPECT_EQ(methods[4][0], "VDI 2089-1 (2010), Private pool");
    std::vector<std::string> shallowArgs{"--json", "--pool-type", "public-shallow"};
    shallowArgs.insert(shallowArgs.end(), args.begin(), args.end());
    const CliRun shallow = InProcess(shallowArgs);
    EXPECT_EQ(shallow.status, json.status);
    auto other = nlohmann::json::parse(shallow.out);
    const auto otherMethods = methodsOf(other);
    ASSERT_EQ(otherMethods.size(), methods.size());
    EXPECT_EQ(otherMethods[4][0], "VDI 2089-1 (2010), Public pool, water up to 1.35 m deep");
    EXPECT_NEAR(Number(otherMethods[4][1].get<std::string>()),
                Number(methods[4][1].get<std::string>()) * SpecOf(PoolType::PublicShallow).beta /
                    SpecOf(PoolType::Private).beta,
                0.01);
    // Without VDI 2089-1's rows, the same object.
    const auto withoutVdi = [](nlohmann::json of) {
        for (auto& table : of.at("report").at("tables")) {
            auto& rows = table.at("rows");
            for (std::size_t r = rows.size(); r-- > 0;) {
                if (rows[r][0].get<std::string>().rfind("VDI 2089-1", 0) == 0) {
                    rows.erase(r);
                }
            }
        }
        return of;
    };
    EXPECT_NE(other, doc);
    EXPECT_EQ(withoutVdi(other), withoutVdi(doc));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CliJsonTest,
    testing::Values(JsonCase{"Completed",
                             {"zone", "txtOccupancy=10", "txtVentrate=2", "txtProcess=0.5",
                              "txtSwimPoolGain=12.5", "comboActivity=Social"}},
                    JsonCase{"WarningThenRefusal", {"zone", "txtVentrate=15", "txtInfil="}},
                    JsonCase{"Rejection", {"zone", "txttemp=12", "txtVol=50000"}},
                    // 1.016 HX 100 units shown as "1.0", and a zone the outside air dries.
                    JsonCase{"CountJustAboveOne", {"zone", "txtSwimPoolGain=3.6"}},
                    JsonCase{"DrierOutside", {"zone", "txtTamb=20", "txtAmbrh=30"}},
                    JsonCase{"PoolIterationsOnTheZoneScreen", {"pool", "txtOccupancy=3"}},
                    JsonCase{"PoolRefusal", {"pool", "txtpoolarea=0.5"}}),
    [](const testing::TestParamInfo<JsonCase>& info) { return std::string(info.param.name); });

struct ReadingCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> warnings; // every warning: the rows raise none of the checks'
};

class CliReadingTest : public testing::TestWithParam<ReadingCase> {};

// A number entry read only in part, and occupants of an activity not in the list,
// are told in the warnings and in the warning lines; the run goes on as before.
TEST_P(CliReadingTest, WarnsOfWhatTheScreensReadSilently) {
    const ReadingCase& c = GetParam();
    std::vector<std::string> args{"--json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun r = InProcess(args);
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc.at("warnings").get<std::vector<std::string>>(), c.warnings);
    EXPECT_EQ(WarningsOf(InProcess(c.args).out), c.warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CliReadingTest,
    testing::Values(
        ReadingCase{"DecimalComma", {"zone", "txttemp=28,5"}, {"txttemp: \"28,5\" was read as 28"}},
        ReadingCase{
            "ThousandsComma", {"zone", "txtVol=1,000"}, {"txtVol: \"1,000\" was read as 1"}},
        ReadingCase{"NoNumberAtAll",
                    {"pool", "txtpoolarea=inf", "txtpooltemp=0x10", "txtrh=\xd9\xa3"},
                    {"txtrh: \"\xd9\xa3\" was read as 0", "txtpooltemp: \"0x10\" was read as 0",
                     "txtpoolarea: \"inf\" was read as 0"}},
        ReadingCase{"ControlCharacterEscaped",
                    {"zone", "txttemp=28\x1b"},
                    {"txttemp: \"28\\u001b\" was read as 28"}},
        ReadingCase{"BlanksAndEmptyTextsAreNoPart", {"zone", "txtVol=1 000", "txtProcess="}, {}},
        ReadingCase{"UnlistedActivity",
                    {"zone", "comboActivity=office work", "txtOccupancy=10"},
                    {"comboActivity: \"office work\" is not an activity of the list; occupants "
                     "add 0 litres/day"}},
        ReadingCase{"UnlistedActivityNobody",
                    {"zone", "comboActivity=B\xc3\xbcroarbeit", "txtOccupancy=0"},
                    {}}),
    [](const testing::TestParamInfo<ReadingCase>& info) { return std::string(info.param.name); });

// Texts taken as typed may not be UTF-8; the object stays valid JSON.
TEST(CalcCli, JsonOfTextThatIsNotUtf8) {
    const CliRun r = InProcess({"--json", "zone", "comboActivity=Caf\xE9"});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc.at("entries").back().at("text"), "Caf\xEF\xBF\xBD");
}

// A job file runs as the same texts given as FIELD=TEXT do, in text and JSON;
// a refused file names itself, and a missing one is no input.
TEST(CalcCli, RunJobFileAsItsTexts) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("varneldh-run-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ZoneTexts zone = InitialZoneTexts();
    zone.occupancy = " 1 0";
    zone.ventRate = "15";
    zone.infilRate = "";
    PoolTexts pool = InitialPoolTexts();
    pool.bathers = "10";
    const std::vector<std::pair<Job, std::vector<std::string>>> jobs{
        {ZoneJob(zone, "Refused"), {"zone", "txtOccupancy= 1 0", "txtVentrate=15", "txtInfil="}},
        {PoolJob(pool, "Main hall"), {"pool", "txtOccupancy=10"}}};
    for (const auto& [job, args] : jobs) {
        const std::string path = (dir / "job.vdhjob").string();
        std::ofstream(path, std::ios::binary) << WriteJob(job);
        const CliRun typed = InProcess(args);
        const CliRun run = InProcess({"run", path});
        EXPECT_EQ(run.status, typed.status);
        EXPECT_EQ(run.out, typed.out);
        // The report names the job; the pool type applies as to the texts.
        const bool isPool = job.kind == JobKind::Pool;
        std::vector<std::string> options{"--json"};
        if (isPool) {
            options.insert(options.end(), {"--pool-type", "waves"});
        }
        std::vector<std::string> jsonArgs = options;
        jsonArgs.insert(jsonArgs.end(), args.begin(), args.end());
        std::vector<std::string> runArgs{"run", path};
        runArgs.insert(runArgs.end(), options.begin(), options.end());
        auto fromFile = nlohmann::json::parse(InProcess(runArgs).out);
        auto typedJson = nlohmann::json::parse(InProcess(jsonArgs).out);
        if (isPool) {
            EXPECT_EQ(fromFile.at("report").at("jobTitle"), "Main hall");
            typedJson.at("report").at("jobTitle") = "Main hall";
        }
        EXPECT_EQ(fromFile, typedJson);
    }
    const std::string damaged = (dir / "damaged.vdhjob").string();
    std::ofstream(damaged) << "{\"format\": \"varneldh-job\"";
    const CliRun refused = InProcess({"run", damaged});
    EXPECT_EQ(refused.status, CalcCli::kExitDataError);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("The file \"" + damaged + "\""), std::string::npos) << refused.err;
    EXPECT_EQ(InProcess({"run", (dir / "missing.vdhjob").string()}).status, CalcCli::kExitNoInput);
    std::filesystem::remove_all(dir);
}

// Each room of a project made from a schedule runs as its texts typed on the
// command line do; the totals count the completed rooms.
TEST(CalcCli, ProjectRoomsRunAsTheirTexts) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("varneldh-proj-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string schedule = (dir / "rooms.csv").string();
    const std::string project = (dir / "p.vdhproj").string();
    std::ofstream(schedule, std::ios::binary) << "room;quantity;size;txtOccupancy;txtrh\n"
                                                 "Gallery;3;fewest;10;60\n"
                                                 "Hall;2;160;40;60,0\n"
                                                 "Store;5;fewest;10;abc\n";
    const CliRun made = InProcess({"project", schedule, "-o", project, "--kind", "zone"});
    ASSERT_EQ(made.status, CalcCli::kExitCompleted) << made.err;
    const std::vector<std::vector<std::string>> typed{{"zone", "txtOccupancy=10", "txtrh=60"},
                                                      {"zone", "txtOccupancy=40", "txtrh=60.0"},
                                                      {"zone", "txtOccupancy=10", "txtrh=abc"}};

    const CliRun text = InProcess({"run", project});
    EXPECT_EQ(text.status, CalcCli::kExitRefused);
    for (const char* line :
         {"room 2: Hall", "  size: HX 160", "  units per room: 2", "  units in all: 4",
          "  size: HX 160 (fewest units)", "total HX 160: 7", "total units: 7",
          "left out: room 3: Store (Refused)"}) {
        EXPECT_TRUE(HasLine(text.out, line)) << line << "\n" << text.out;
    }

    const auto json = nlohmann::json::parse(InProcess({"--json", "run", project}).out);
    ASSERT_EQ(json.at("rooms").size(), typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        std::vector<std::string> args{"--json"};
        args.insert(args.end(), typed[i].begin(), typed[i].end());
        auto expected = nlohmann::json::parse(InProcess(args).out);
        const auto& room = json.at("rooms")[i];
        if (!expected.at("report").is_null()) {
            expected.at("report").at("jobTitle") = room.at("name");
        }
        EXPECT_EQ(room.at("run"), expected) << i;
    }
    EXPECT_EQ(json.at("totals"), nlohmann::json({{"HX 100", 0}, {"HX 160", 7}, {"HX 200", 0}}));
    EXPECT_EQ(json.at("totalUnits"), 7);
    std::filesystem::remove_all(dir);
}

CliRun Batch(CalcCli::Calculation calc, const std::string& csv) {
    std::istringstream in(csv);
    std::ostringstream out;
    std::ostringstream err;
    const int status = CalcCli::RunBatch(calc, in, out, err, "in.csv");
    return {status, out.str(), err.str()};
}

std::vector<std::vector<std::string>> Records(const std::string& csv) {
    std::istringstream in(csv);
    Csv::Reader reader(in);
    std::vector<std::vector<std::string>> records;
    for (Csv::Record r; reader.Next(r);) {
        EXPECT_EQ(r.error, "");
        records.push_back(r.fields);
    }
    return records;
}

struct BatchCase {
    const char* name;
    CalcCli::Calculation calc;
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

class CliBatchTest : public testing::TestWithParam<BatchCase> {};

// Each row gives exactly the texts varneldh-calc zone|pool gives for its fields.
TEST_P(CliBatchTest, RowsGiveTheTextsOfOneRun) {
    const BatchCase& c = GetParam();
    std::ostringstream csv;
    Csv::WriteRecord(csv, c.header, ',', "\n");
    for (const auto& row : c.rows) {
        Csv::WriteRecord(csv, row, ',', "\n");
    }
    const CliRun r = Batch(c.calc, csv.str());
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    EXPECT_EQ(r.err, "");
    const auto records = Records(r.out);
    ASSERT_EQ(records.size(), c.rows.size() + 1);
    const bool zone = c.calc == CalcCli::Calculation::Zone;
    const auto resultTable = zone ? std::span<const ResultSpec>(kZoneResults)
                                  : std::span<const ResultSpec>(kPoolResults);
    for (std::size_t row = 0; row < c.rows.size(); ++row) {
        std::vector<std::string> args{zone ? "zone" : "pool"};
        for (std::size_t i = 0; i < c.header.size(); ++i) {
            args.push_back(c.header[i] + "=" + c.rows[row][i]);
        }
        const CliRun one = InProcess(args);
        std::map<std::string, std::string> got;
        for (std::size_t i = 0; i < records[0].size(); ++i) {
            got[records[0][i]] = records[row + 1].at(i);
        }
        for (std::size_t i = 0; i < c.header.size(); ++i) {
            EXPECT_EQ(got[c.header[i]], c.rows[row][i]);
        }
        EXPECT_EQ("outcome: " + got["outcome"], LastLine(one.out)) << row;
        EXPECT_EQ(got["message"], MessageOf(one.out)) << row;
        const auto warnings = WarningsOf(one.out);
        EXPECT_EQ(Lines(got["warnings"]), warnings) << row;
        const auto finals = FinalTexts(one.out);
        for (const ResultSpec& field : resultTable) {
            const auto it = finals.find(std::string(field.name));
            EXPECT_EQ(got.at(std::string(field.name)), it == finals.end() ? "" : it->second)
                << "row " << row << " " << field.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, CliBatchTest,
    testing::Values(
        BatchCase{"Zone",
                  CalcCli::Calculation::Zone,
                  {"txtOccupancy", "txtVentrate", "txtProcess", "txtSwimPoolGain", "txttemp",
                   "txtInfil", "comboActivity"},
                  {{"10", "0", "0", "0", "28", "1", "Office Work"},
                   {"10", "2", "0.5", "12.5", "28", "1", "Office Work"},
                   {"0", "15", "0", "0", "28", "", "Social"},
                   {"0", "0", "0", "0", "12", "1", "Office Work"}}},
        BatchCase{"Pool",
                  CalcCli::Calculation::Pool,
                  {"txttemp", "txtOccupancy", "cmbOccupancy2", "txtpoolarea"},
                  {{"29", "0", "0", "50"}, {"28", "10", "5", "50"}, {"29", "0", "0", "0.5"}}}),
    [](const testing::TestParamInfo<BatchCase>& info) { return std::string(info.param.name); });

// A row that cannot be read is told on err with its line and in its output row;
// the rows after it are calculated, in the input's separator, line end and mark.
TEST(CliBatch, BadRowsReportedAndTheOthersGoOn) {
    const CliRun r = Batch(CalcCli::Calculation::Zone, "\xEF\xBB\xBFtxtOccupancy;comboActivity\r\n"
                                                       "10;\"Office Work\"\r\n"
                                                       "10\r\n"
                                                       "10;Caf\xE9\r\n"
                                                       "\"1\r\n0\";\"Social\"\r\n");
    EXPECT_EQ(r.status, CalcCli::kExitSomeRowsFailed);
    EXPECT_EQ(Lines(r.err), (std::vector<std::string>{
                                "varneldh-calc: in.csv line 3: 1 fields where the header has 2",
                                "varneldh-calc: in.csv line 4: field 2 is not UTF-8"}));
    EXPECT_EQ(r.out.rfind("\xEF\xBB\xBFtxtOccupancy;comboActivity;outcome;message;", 0), 0u);
    const auto records = Records(r.out.substr(3));
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[1][2], "Completed");
    EXPECT_EQ(records[2][0], "10");
    EXPECT_EQ(records[2][2], "Unreadable");
    EXPECT_EQ(records[2][3], "line 3: 1 fields where the header has 2");
    EXPECT_EQ(records[3][1], "Caf\xEF\xBF\xBD");
    EXPECT_EQ(records[3][2], "Unreadable");
    // The quoted line end reaches the check chain as typed.
    EXPECT_EQ(records[4][0], "1\r\n0");
    EXPECT_NE(r.out.find(";Completed;;;;"), std::string::npos) << "semicolons throughout";
    EXPECT_EQ(r.out.find('\n'), r.out.find("\r\n") + 1);
}

// In a semicolon-separated file a comma in a number is its decimal point; in a
// comma-separated one the number is read only in part, and the row says so.
TEST(CliBatch, DecimalCommaOnlyInSemicolonFiles) {
    const auto row = [](const std::string& csv) {
        const CliRun r = Batch(CalcCli::Calculation::Zone, csv);
        EXPECT_EQ(r.status, CalcCli::kExitCompleted) << r.err;
        return Records(r.out).at(1);
    };
    const auto point = row("txttemp,txtVol\n28.5,1000.5\n");
    const auto semicolon = row("txttemp;txtVol\n28,5;1000,5\n");
    EXPECT_EQ(semicolon[0], "28,5") << "the input column as typed";
    EXPECT_EQ(std::vector(semicolon.begin() + 2, semicolon.end()),
              std::vector(point.begin() + 2, point.end()));
    const auto comma = row("txttemp,txtVol\n\"28,5\",1000.5\n");
    EXPECT_EQ(comma[5], "txttemp: \"28,5\" was read as 28");
}

// Cells a spreadsheet would run as formulas are written as text, unless raw;
// numbers are not.
TEST(CliBatch, FormulaCellsWrittenAsText) {
    const std::string csv = "txttemp,comboActivity\n=1+2,@SUM(A1)\n-5,-\n+1,\t=2,x\n";
    const auto run = [&csv](bool raw) {
        std::istringstream in(csv);
        std::ostringstream out;
        std::ostringstream err;
        CalcCli::RunBatch(CalcCli::Calculation::Zone, in, out, err, "in.csv", {.raw = raw});
        return Records(out.str());
    };
    const auto defused = run(false);
    ASSERT_EQ(defused.size(), 4u);
    EXPECT_EQ(defused[1][0], "'=1+2");
    EXPECT_EQ(defused[1][1], "'@SUM(A1)");
    EXPECT_EQ(defused[2][0], "-5");
    EXPECT_EQ(defused[2][1], "'-");
    EXPECT_EQ(defused[3][0], "+1") << "an unreadable row's cells as well";
    EXPECT_EQ(defused[3][1], "'\t=2");
    const auto raw = run(true);
    EXPECT_EQ(raw[1][0], "=1+2");
    EXPECT_EQ(raw[1][1], "@SUM(A1)");
    EXPECT_EQ(raw[3][1], "\t=2");
}

struct HeaderCase {
    const char* name;
    std::string csv;
    const char* error;
};

class CliBatchHeaderTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(CliBatchHeaderTest, UsageErrorWithoutOutput) {
    const CliRun r = Batch(CalcCli::Calculation::Pool, GetParam().csv);
    EXPECT_EQ(r.status, CalcCli::kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().error), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CliBatchHeaderTest,
    testing::Values(HeaderCase{"UnknownColumn", "txttemp,comboActivity\n28,x\n",
                               "in.csv line 1: unknown pool field 'comboActivity'"},
                    HeaderCase{"TwoColumnsOneField", "txttemp,txttemp\n",
                               "field 'txttemp' has two columns"},
                    HeaderCase{"NoHeader", "\n\n", "no header row"},
                    HeaderCase{"UnreadableHeader", "\"txttemp\n", "the header row is unreadable"}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST(CalcProgram, ExitStatusFollowsOutcome) {
    EXPECT_EQ(Program("zone txtOccupancy=10").status, 0);
    EXPECT_EQ(Program("zone txttemp=30 txtrh=20").status, 1);
    EXPECT_EQ(Program("pool txtrh=0").status, 2);
    const CliRun usage = Program("zone bogus=1");
    EXPECT_EQ(usage.status, 64);
    EXPECT_NE(usage.out.find("unknown zone field 'bogus'"), std::string::npos) << usage.out;
}

// Files named on the command line: the output file, a missing input, --json refused.
TEST(CalcProgram, BatchReadsAndWritesFiles) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("varneldh-batch-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string in = (dir / "in.csv").string();
    const std::string out = (dir / "out.csv").string();
    std::ofstream(in) << "txtOccupancy\n10\n";
    EXPECT_EQ(Program("batch zone " + in + " -o " + out).status, CalcCli::kExitCompleted);
    std::ifstream written(out);
    const std::string text((std::istreambuf_iterator<char>(written)), {});
    EXPECT_EQ(text.rfind("txtOccupancy,outcome,", 0), 0u) << text;
    EXPECT_NE(text.find("\n10,Completed,"), std::string::npos) << text;
    EXPECT_EQ(Program("batch pool " + (dir / "missing.csv").string()).status,
              CalcCli::kExitNoInput);
    EXPECT_EQ(Program("--json batch zone " + in).status, CalcCli::kExitUsage);
    std::filesystem::remove_all(dir);
}

TEST(CalcProgram, BlanksInsideAnArgumentReachTheField) {
    const CliRun r = Program("zone 'txtVol=1 000' 'txtOccupancy=1e400'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("refused txtOccupancy: The value entered is too large"), std::string::npos)
        << r.out;
}

std::string ReadAllOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Listing(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Substituted(std::string text, const std::map<std::string, std::string>& words) {
    for (const auto& [word, by] : words) {
        for (auto at = text.find(word); at != std::string::npos;
             at = text.find(word, at + by.size())) {
            text.replace(at, word.size(), by);
        }
    }
    return text;
}

struct FilesCase {
    const char* name;
    std::string input; // what IN holds
    // Run by the shell, with CALC, IN, OUT, JOB and DIR standing for the program,
    // the input, an earlier output, a job file and their folder; 2>&1 added last
    // unless given.
    const char* command;
    int status;
    const char* says; // in what it printed, with the same words replaced
};

class CalcProgramFilesTest : public testing::TestWithParam<FilesCase> {};

// However a run fails, every file in the folder is as it was, and no temporary
// file is left; a pipe stays a pipe.
TEST_P(CalcProgramFilesTest, LeavesEveryFileAsItWas) {
    const FilesCase& c = GetParam();
    if (std::string_view(c.command).find("/dev/full") != std::string_view::npos &&
        !std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const auto dir = std::filesystem::temp_directory_path() /
                     ("varneldh-files-" + std::to_string(::getpid()) + "-" + c.name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "folder");
    const auto in = dir / "in.csv";
    const auto out = dir / "out.csv";
    std::ofstream(in, std::ios::binary) << c.input;
    std::ofstream(out, std::ios::binary) << "earlier\n";
    std::ofstream(dir / "job.vdhjob", std::ios::binary) << WriteJob(ZoneJob(InitialZoneTexts()));
    std::filesystem::create_symlink("in.csv", dir / "link.csv");
    std::filesystem::create_hard_link(in, dir / "hard.csv");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    const std::vector<std::string> before = Listing(dir);

    const std::map<std::string, std::string> words{{"CALC", VARNELDH_CALC_PATH},
                                                   {"IN", in.string()},
                                                   {"OUT", out.string()},
                                                   {"JOB", (dir / "job.vdhjob").string()},
                                                   {"DIR", dir.string()}};
    std::string command = Substituted(c.command, words);
    if (command.find("2>&1") == std::string::npos) {
        command += " 2>&1";
    }
    const CliRun r = Shell(command);
    EXPECT_EQ(r.status, c.status) << r.out;
    EXPECT_NE(r.out.find(Substituted(c.says, words)), std::string::npos) << r.out;
    EXPECT_EQ(ReadAllOf(in), c.input);
    EXPECT_EQ(ReadAllOf(out), "earlier\n");
    EXPECT_EQ(Listing(dir), before);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
    std::filesystem::remove_all(dir);
}

const std::string kRooms = "txtOccupancy\n10\n12\n";

INSTANTIATE_TEST_SUITE_P(
    Failures, CalcProgramFilesTest,
    testing::Values(
        FilesCase{"OutputIsTheInput", kRooms, "CALC batch zone IN -o IN", 64,
                  "the output IN is the input IN"},
        FilesCase{"OutputLinksToTheInput", kRooms, "CALC batch zone IN -o DIR/link.csv", 64,
                  "is the input"},
        FilesCase{"HardLinkOfTheInput", kRooms, "CALC batch zone DIR/link.csv -o DIR/hard.csv", 64,
                  "is the input"},
        FilesCase{"StandardInputIsTheOutput", kRooms, "CALC batch zone - -o IN < IN", 64,
                  "is the input standard input"},
        FilesCase{"UnknownColumn", "bogus\n1\n", "CALC batch zone IN -o OUT", 64,
                  "unknown zone field 'bogus'"},
        FilesCase{"EmptyInput", "", "CALC batch zone IN -o OUT", 64, "no header row"},
        FilesCase{"FolderAsInput", kRooms, "CALC batch zone DIR/folder -o OUT", 66,
                  "cannot open DIR/folder: it is a folder"},
        FilesCase{"MissingInput", kRooms, "CALC batch zone DIR/none.csv -o OUT", 66,
                  "cannot open DIR/none.csv: No such file or directory"},
        FilesCase{"OutputFolderMissing", kRooms, "CALC batch zone IN -o DIR/none/out.csv", 73,
                  "cannot create DIR/none/out.csv: No such file or directory"},
        FilesCase{"OutputIsAFolder", kRooms, "CALC batch zone IN -o DIR/folder", 73,
                  "cannot create DIR/folder: it is a folder"},
        // No file to replace: written to as it is.
        FilesCase{"OutputIsAPipe", kRooms,
                  "cat DIR/pipe > DIR/folder/got & CALC batch zone IN -o DIR/pipe 2>&1; s=$?; "
                  "wait; exit $s",
                  0, ""},
        FilesCase{"NoLineEnd", kRooms, "CALC batch zone /dev/zero -o OUT", 4,
                  "/dev/zero line 1: no line end within 65 MiB; reading stopped"},
        FilesCase{"NoLineEndAfterRows", kRooms, "cat IN /dev/zero | CALC batch zone - -o OUT", 4,
                  "standard input line 4: no line end within 65 MiB"},
        FilesCase{"NoLineEndAfterRowsOnThreads", kRooms,
                  "cat IN /dev/zero | CALC batch zone - -o OUT --jobs 4", 4,
                  "standard input line 4: no line end within 65 MiB"},
        FilesCase{"FolderAsJobFile", kRooms, "CALC run DIR/folder", 66,
                  "The file \"DIR/folder\" is a folder, not a file."},
        FilesCase{"ProjectOverItsSchedule", kRooms, "CALC project IN -o IN --kind zone", 64,
                  "the output IN is the input IN"},
        FilesCase{"ProjectRowUnusable", "room,quantity\nHall,1\nStore,0\n",
                  "CALC project IN -o OUT --kind zone", 65,
                  "IN line 3: quantity '0' is not a whole number from 1 to 10000"},
        FilesCase{"ProjectUnknownSize", "size\nHX 100\n", "CALC project IN -o OUT --kind pool", 65,
                  "size 'HX 100' is not 100, 160, 200 or fewest"},
        FilesCase{"ProjectIntoAFolder", kRooms, "CALC project IN -o DIR/folder --kind zone", 73,
                  "cannot create DIR/folder: it is a folder"},
        // Told from a job file by its format, whatever its name.
        FilesCase{"RunNewerProject", R"({"format": "varneldh-project", "formatVersion": 9})",
                  "CALC run IN", 65,
                  "The file \"IN\" was written by a newer version of Varnel DH (project format 9"},
        // Read once: a project through a pipe.
        FilesCase{"RunProjectFromAPipe", kRooms,
                  "CALC project IN -o - --kind zone | CALC run /dev/stdin", 0, "total units: 2"},
        FilesCase{"ZoneToAFullDisk", kRooms, "CALC zone 2>&1 >/dev/full", 74,
                  "writing standard output failed: No space left on device"},
        FilesCase{"PoolToAFullDisk", kRooms, "CALC pool 2>&1 >/dev/full", 74,
                  "writing standard output failed"},
        FilesCase{"RunToAFullDisk", kRooms, "CALC --json run JOB 2>&1 >/dev/full", 74,
                  "writing standard output failed"},
        FilesCase{"HelpToAFullDisk", kRooms, "CALC --help 2>&1 >/dev/full", 74,
                  "writing standard output failed"},
        FilesCase{"BatchToAFullDisk", kRooms, "CALC batch zone IN 2>&1 >/dev/full", 74,
                  "writing standard output failed: No space left on device"},
        FilesCase{"BatchOnThreadsToAFullDisk", kRooms, "CALC batch zone IN -j 4 2>&1 >/dev/full",
                  74, "writing standard output failed: No space left on device"}),
    [](const testing::TestParamInfo<FilesCase>& info) { return std::string(info.param.name); });

// Stopped by a signal part-way, a batch leaves the earlier output as it was and
// no temporary file: its rows come from a pipe that is kept open.
TEST(CalcProgram, SignalLeavesTheEarlierOutput) {
    for (const int signal : {SIGINT, SIGTERM}) {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("varneldh-signal-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string rows = (dir / "rows").string();
        const std::string out = (dir / "out.csv").string();
        ASSERT_EQ(::mkfifo(rows.c_str(), 0600), 0);
        std::ofstream(out) << "earlier\n";
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // As from a terminal, whatever this test inherited.
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGTERM, SIG_DFL);
            ::execl(VARNELDH_CALC_PATH, "varneldh-calc", "batch", "zone", rows.c_str(), "-o",
                    out.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const int writer = ::open(rows.c_str(), O_WRONLY);
        ASSERT_GE(writer, 0);
        const std::string head = "txtOccupancy\n10\n";
        EXPECT_EQ(::write(writer, head.data(), head.size()), static_cast<ssize_t>(head.size()));
        // Until the temporary file is there: the run is then part-way.
        bool started = false;
        for (int i = 0; i < 1000 && !started; ++i) {
            for (const std::string& name : Listing(dir)) {
                started = started || name.rfind(".out.csv.", 0) == 0;
            }
            ::usleep(10000);
        }
        EXPECT_TRUE(started);
        ::kill(child, signal);
        int raw = 0;
        ::waitpid(child, &raw, 0);
        ::close(writer);
        EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == signal) << raw;
        EXPECT_EQ(ReadAllOf(out), "earlier\n");
        EXPECT_EQ(Listing(dir), (std::vector<std::string>{"out.csv", "rows"}));
        std::filesystem::remove_all(dir);
    }
}

// Written through a symbolic link, the file it points to is replaced, keeping
// the link and the file's permissions.
TEST(CalcProgram, BatchOutputThroughALink) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("varneldh-link-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in.csv") << kRooms;
    std::ofstream(dir / "out.csv") << "earlier\n";
    using std::filesystem::perms;
    std::filesystem::permissions(dir / "out.csv",
                                 perms::owner_read | perms::owner_write | perms::group_read);
    std::filesystem::create_symlink("out.csv", dir / "link.csv");
    EXPECT_EQ(
        Program("batch zone " + (dir / "in.csv").string() + " -o " + (dir / "link.csv").string())
            .status,
        CalcCli::kExitCompleted);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.csv"));
    EXPECT_EQ(ReadAllOf(dir / "out.csv").rfind("txtOccupancy,outcome,", 0), 0u);
    EXPECT_EQ(std::filesystem::status(dir / "out.csv").permissions(),
              perms::owner_read | perms::owner_write | perms::group_read);
    std::filesystem::remove_all(dir);
}

} // namespace
