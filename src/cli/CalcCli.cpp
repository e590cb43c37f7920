#include "cli/CalcCli.h"

#include "cli/Batch.h"
#include "cli/JobRun.h"
#include "cli/WeatherCli.h"
#include "core/jobs/JobFile.h"
#include "core/pool/EvaporationMethods.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>

namespace CalcCli {
namespace {

constexpr const char* kProgram = "varneldh-calc";

int Usage(std::ostream& err, const std::string& reason) {
    err << kProgram << ": " << reason << " (see --help)\n";
    return kExitUsage;
}

// The fields of a calculation, from its table: name, caption and initial text.
std::string FieldList(Calculation calc) {
    std::ostringstream out;
    out << (calc == Calculation::Zone ? "zone fields (Detailed Calculation):\n"
                                      : "pool fields (Swimming Pool Evaporation Rate):\n");
    for (const EntryView& f : Entries(calc)) {
        std::string name(f.name);
        // Two blanks at least before the caption: help2man reads that as a term and its text.
        name.resize(std::max<std::size_t>(name.size() + 2, 17), ' ');
        out << "  " << name << f.caption << " [initial \"" << f.initialText << "\"]\n";
    }
    return out.str();
}

constexpr const char* kOutputText =
    "zone and pool print, one line each and in the order the screen applies them:\n"
    "warnings, a refusal, every field written (\"FIELD: TEXT\", an empty TEXT clears\n"
    "the field), the message, the field that takes the focus, and the outcome.\n"
    "A field not given keeps its initial text. TEXT is taken as typed, blanks\n"
    "included. run FILE.vdhjob takes the entry texts from a job file and prints\n"
    "the same. With --json they print one JSON object instead: the entries, the\n"
    "events, the outcome, the warnings, the message, every result field and the\n"
    "report (what the calculation report shows, with its chart's states; null\n"
    "when the run did not complete).\n";

// The pool types of the evaporation methods, by the key --pool-type takes.
std::string PoolTypeList() {
    std::string out = "pool types for --pool-type (VDI 2089-1, in the pool report of --json):\n";
    for (const EvaporationMethods::PoolTypeSpec& type : EvaporationMethods::kPoolTypes) {
        std::string key(type.key);
        key.resize(std::max<std::size_t>(key.size() + 2, 17), ' ');
        out.append("  ").append(key).append(type.caption);
        if (type.type == EvaporationMethods::kDefaultPoolType) {
            out.append(" (default)");
        }
        out.append("\n");
    }
    return out;
}

constexpr const char* kBatchText =
    "batch reads a CSV file (RFC 4180, UTF-8 with or without a byte order mark,\n"
    "comma or semicolon separated as the header row is, decimal point only) whose\n"
    "header row names entry fields; a field without a column keeps its initial\n"
    "text. Each further row is one calculation. The output repeats the input's\n"
    "columns and adds outcome, message, message_field, warnings and one column\n"
    "per result field. A row that cannot be read is reported with its line number\n"
    "on standard error and in its output row (outcome Unreadable); the other rows\n"
    "go on. IN.csv or OUT.csv given as - is standard input or output.\n";

constexpr const char* kExitText =
    "Exit status: 0 completed (batch: every row read), 1 out of range, 2 an entry\n"
    "refused, 3 batch: some rows could not be read, 4 the weather file is refused,\n"
    "64 usage error, 65 the job file is refused, 66 the input cannot be opened,\n"
    "73 the output cannot be created, 74 writing failed.\n";

constexpr const char* kWeatherText =
    "weather FILE.epw reads an EnergyPlus weather file and prints its station and\n"
    "every design point with the txtTamb and txtAmbrh texts it gives: the 0.4, 1\n"
    "and 2 % dehumidification and cooling points the file stores from the ASHRAE\n"
    "handbook, and the same points worked out from the file's own hours. year\n"
    "FILE.epw [FIELD=TEXT...] runs the zone calculation for every hour of the file\n"
    "with the zone entries given (the ambient air of each hour is its dry bulb\n"
    "with the RH of its dew point) and prints the peak hour, the year's moisture\n"
    "load, the hours each number of units falls short and the monthly peak and\n"
    "mean; entries zone refuses, or a zone outside the units' range, print as zone\n"
    "prints them. --hours OUT.csv writes every hour with its gains.\n";

std::string MainFooter() {
    return std::string(kOutputText) + "\n" + kBatchText + "\n" + kWeatherText + "\n" + kExitText +
           "\n" + FieldList(Calculation::Zone) + "\n" + FieldList(Calculation::Pool) + "\n" +
           PoolTypeList();
}

// Entry texts from FIELD=TEXT arguments over the initial texts; a usage error
// leaves `error` set.
std::vector<std::string> Assign(Calculation calc, const std::vector<std::string>& assignments,
                                std::string& error) {
    std::vector<std::string> texts = InitialEntryTexts(calc);
    for (const std::string& a : assignments) {
        const auto eq = a.find('=');
        if (eq == std::string::npos) {
            error = "argument '" + a + "' is not FIELD=TEXT";
            return texts;
        }
        const std::string field = a.substr(0, eq);
        const int index = EntryIndex(calc, field);
        if (index < 0) {
            error = "unknown " + std::string(CalculationName(calc)) + " field '" + field + "'";
            return texts;
        }
        texts[static_cast<std::size_t>(index)] = a.substr(eq + 1);
    }
    return texts;
}

// --json's report options, when the output is JSON.
using JsonOutput = std::optional<ReportOptions>;

int Calculate(Calculation calc, const std::vector<std::string>& assignments, const JsonOutput& json,
              std::ostream& out, std::ostream& err) {
    std::string error;
    std::vector<std::string> texts = Assign(calc, assignments, error);
    if (!error.empty()) {
        return Usage(err, error);
    }
    const JobRun run = RunJob(calc, std::move(texts));
    if (json) {
        PrintJson(run, out, *json);
    } else {
        PrintEvents(run, out);
    }
    return run.exitStatus;
}

// The entry texts of a job, in table order.
template <typename Texts, typename Inputs>
std::vector<std::string> TableTexts(std::span<const EntrySpec<Texts, Inputs>> table,
                                    const Texts& texts) {
    std::vector<std::string> out;
    for (const auto& entry : table) {
        out.push_back(texts.*entry.text);
    }
    return out;
}

int RunJobFile(const std::string& path, JsonOutput json, std::ostream& out, std::ostream& err) {
    const bool readable = std::ifstream(path, std::ios::binary).is_open();
    const JobRead read = ReadJobFile(path);
    if (!read.job) {
        err << kProgram << ": " << JobProblemMessage(path, read.problem) << "\n";
        return readable ? kExitDataError : kExitNoInput;
    }
    const Job& job = *read.job;
    const JobRun run =
        job.kind == JobKind::Zone
            ? RunJob(Calculation::Zone,
                     TableTexts<ZoneTexts, ZoneInputs>(kZoneFields, JobToZoneTexts(job)))
            : RunJob(Calculation::Pool,
                     TableTexts<PoolTexts, PoolInputs>(kPoolFields, JobToPoolTexts(job)));
    if (json) {
        json->jobTitle = job.title;
        PrintJson(run, out, *json);
    } else {
        PrintEvents(run, out);
    }
    return run.exitStatus;
}

int Batch(Calculation calc, const std::string& input, const std::string& output, std::ostream& out,
          std::ostream& err) {
    std::ifstream inFile;
    if (input != "-") {
        inFile.open(input, std::ios::binary);
        if (!inFile) {
            err << kProgram << ": cannot open " << input << "\n";
            return kExitNoInput;
        }
    }
    std::ofstream outFile;
    if (!output.empty() && output != "-") {
        outFile.open(output, std::ios::binary | std::ios::trunc);
        if (!outFile) {
            err << kProgram << ": cannot create " << output << "\n";
            return kExitCantCreate;
        }
    }
    std::istream& in = input == "-" ? std::cin : inFile;
    std::ostream& to = outFile.is_open() ? outFile : out;
    const int status = RunBatch(calc, in, to, err, input == "-" ? "standard input" : input);
    to.flush();
    if (!to) {
        err << kProgram << ": writing " << (outFile.is_open() ? output : "the output")
            << " failed\n";
        return kExitIoError;
    }
    if (in.bad()) {
        err << kProgram << ": reading " << input << " failed\n";
        return kExitIoError;
    }
    return status;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app("Runs the building-zone or swimming-pool calculation of Varnel DH on entry\n"
                 "texts and prints what the screen would show.",
                 kProgram);
    app.set_version_flag("--version", std::string(kProgram) + " " VARNELDH_VERSION);
    app.get_formatter()->column_width(28);
    app.require_subcommand(1);
    app.footer(MainFooter());

    bool json = false;
    app.add_flag("--json", json,
                 "Print the results of zone, pool, run, weather and year as one JSON object");
    std::string poolTypeKey;
    std::vector<std::string> poolTypeKeys;
    for (const EvaporationMethods::PoolTypeSpec& type : EvaporationMethods::kPoolTypes) {
        poolTypeKeys.emplace_back(type.key);
    }
    app.add_option("--pool-type", poolTypeKey,
                   "The VDI 2089-1 pool type of the pool report in --json (pool types below)")
        ->option_text("KEY")
        ->check(CLI::IsMember(poolTypeKeys));

    std::vector<std::string> assignments;
    std::optional<Calculation> chosen;
    for (const Calculation calc : {Calculation::Zone, Calculation::Pool}) {
        CLI::App* sub = app.add_subcommand(
            std::string(CalculationName(calc)),
            calc == Calculation::Zone ? "Run the building-zone calculation (Detailed Calculation)"
                                      : "Run the swimming-pool calculation (Swimming Pool "
                                        "Evaporation Rate)");
        sub->add_option("FIELD=TEXT", assignments, "An entry field's text")->type_name("");
        sub->footer(FieldList(calc));
        sub->fallthrough();
        sub->callback([&chosen, calc] { chosen = calc; });
    }

    std::string batchCalc;
    std::string input;
    std::string output;
    CLI::App* batch = app.add_subcommand("batch", "Run one calculation per row of a CSV file");
    batch->add_option("CALCULATION", batchCalc, "zone or pool")
        ->required()
        ->check(CLI::IsMember({"zone", "pool"}));
    batch->add_option("IN.csv", input, "The rows to calculate")->required();
    batch
        ->add_option("-o,--output", output, "Where to write the results (default: standard output)")
        ->option_text("OUT.csv");
    batch->footer(kBatchText);
    batch->fallthrough();

    std::string weatherFile;
    CLI::App* weather = app.add_subcommand(
        "weather", "Print a weather file's station and design points (EnergyPlus .epw)");
    weather->add_option("FILE.epw", weatherFile, "The weather file")->required();
    weather->footer(kWeatherText);
    weather->fallthrough();
    std::string hoursFile;
    CLI::App* year = app.add_subcommand(
        "year", "Run the zone calculation for every hour of a weather file's year");
    year->add_option("FILE.epw", weatherFile, "The weather file")->required();
    year->add_option("FIELD=TEXT", assignments, "A zone entry field's text")->type_name("");
    year->add_option("--hours", hoursFile, "Also write every hour as CSV there")
        ->option_text("OUT.csv");
    year->footer(kWeatherText);
    year->fallthrough();

    std::string jobFile;
    CLI::App* runJob =
        app.add_subcommand("run", "Run the calculation of a job file (.vdhjob) as zone or pool do");
    runJob->add_option("FILE.vdhjob", jobFile, "The job file")->required();
    runJob->fallthrough();

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitCompleted;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return kExitCompleted;
    } catch (const CLI::ParseError& e) {
        if (app.get_subcommands().empty()) {
            const auto word = std::find_if(args.begin(), args.end(), [](const std::string& a) {
                return a.rfind('-', 0) != 0;
            });
            return Usage(err, word == args.end()
                                  ? "missing the command: zone, pool, batch, run, weather or year"
                                  : "unknown command '" + *word +
                                        "': use zone, pool, batch, run, weather or "
                                        "year");
        }
        std::string what = e.what();
        std::replace(what.begin(), what.end(), '\n', ' ');
        return Usage(err, what);
    }

    JsonOutput jsonOutput;
    if (json) {
        jsonOutput.emplace();
        if (!poolTypeKey.empty()) {
            jsonOutput->poolType = *EvaporationMethods::PoolTypeKeyed(poolTypeKey);
        }
    }
    if (!poolTypeKey.empty() && (!json || chosen == Calculation::Zone || batch->parsed() ||
                                 weather->parsed() || year->parsed())) {
        return Usage(err, "--pool-type applies to pool and run with --json");
    }
    if (chosen) {
        return Calculate(*chosen, assignments, jsonOutput, out, err);
    }
    if (runJob->parsed()) {
        return RunJobFile(jobFile, jsonOutput, out, err);
    }
    if (weather->parsed()) {
        return RunWeather(weatherFile, json, out, err);
    }
    if (year->parsed()) {
        std::string error;
        std::vector<std::string> texts = Assign(Calculation::Zone, assignments, error);
        if (!error.empty()) {
            return Usage(err, error);
        }
        return RunYearCommand(weatherFile, std::move(texts), json, hoursFile, out, err);
    }
    if (json) {
        return Usage(err, "--json applies to zone, pool, run, weather and year, not to batch");
    }
    return Batch(*CalculationNamed(batchCalc), input, output, out, err);
}

} // namespace CalcCli
