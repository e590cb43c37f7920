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
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun InProcess(const std::vector<std::string>& args) {
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
        UsageCase{"UnknownPoolType", {"--json", "--pool-type", "deep", "pool"}, "public-deep"}),
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
    for (const char* command : {"zone", "pool", "batch", "run", "--json"}) {
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
    const double totalGain =
        Number(results.at(args[0] == "zone" ? "txtTotGain" : "txtTotalGain"));
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

// The real program: exit status and output through a shell.
CliRun Program(const std::string& args) {
    const std::string command = std::string(VARNELDH_CALC_PATH) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {-1, {}, {}};
    }
    std::string out;
    std::array<char, 4096> buf{};
    while (std::fgets(buf.data(), buf.size(), pipe) != nullptr) {
        out += buf.data();
    }
    const int raw = pclose(pipe);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out, {}};
}

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

} // namespace
