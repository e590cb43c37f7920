#include "cli/CalcCli.h"

#include "cli/AtomicFile.h"
#include "cli/Batch.h"
#include "cli/FdOutput.h"
#include "cli/JobRun.h"
#include "cli/MessageText.h"
#include "cli/ProjectRun.h"
#include "cli/RunJson.h"
#include "cli/WeatherCli.h"
#include "cli/YearFigures.h"
#include "core/jobs/JobFile.h"
#include "core/jobs/Project.h"
#include "core/pool/EvaporationMethods.h"
#include "core/weather/Year.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace CalcCli {
namespace {

constexpr const char* kProgram = "varneldh-calc";
// More threads than this is a mistyped number rather than a machine.
constexpr unsigned kMaxJobs = 1024;

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
    "the same. A number entry read only in part (\"28,5\" reads as 28) and\n"
    "occupants of an activity not in the list are warned of first. With --json\n"
    "they print one JSON object instead: the entries, the events, the outcome,\n"
    "the warnings, the message, every result field and the report (what the\n"
    "calculation report shows, with its chart's states; null when the run did not\n"
    "complete).\n";

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
    "comma or semicolon separated as the header row is; in a semicolon-separated\n"
    "file a comma in a number is its decimal point) whose header row names entry\n"
    "fields; a field without a column keeps its initial text. Each further row is\n"
    "one calculation. The output repeats the input's columns and adds outcome,\n"
    "message, message_field, warnings and one column per result field. A cell\n"
    "that begins with =, +, -, @, tab or CR and is not a number is written with a\n"
    "leading ' so that a spreadsheet does not run it as a formula (--raw: as it\n"
    "is). A row that cannot be read is reported with its line number on standard\n"
    "error and in its output row (outcome Unreadable); the other rows go on.\n"
    "IN.csv or OUT.csv given as - is standard input or output. OUT.csv is written\n"
    "beside itself and put in place only when whole: a run that fails or is\n"
    "stopped leaves an earlier OUT.csv as it was. OUT.csv may not be IN.csv.\n"
    "--jobs N threads calculate the rows (default: every core the process may\n"
    "use); they are written in the input's order, the output --jobs 1 writes.\n"
    "On a terminal a batch that runs for more than a second shows its progress on\n"
    "standard error (rows done, rows a second, time left), erased at the end;\n"
    "--quiet leaves it out.\n"
    "batch zone --weather FILE.epw also runs each completed row through the\n"
    "year of a weather file, as year does, and adds: year_peak_gain (litres/day),\n"
    "year_peak_date and year_peak_time (the peak hour), year_litres (the year's\n"
    "moisture load), and for each size (100, 160, 200) year_units_SIZE (the\n"
    "design point's count rounded up to whole units) and year_hours_short_SIZE\n"
    "(the hours in the year when the total gain is above what those units\n"
    "remove). They are empty for a row that did not complete. run FILE.vdhjob\n"
    "--weather FILE.epw adds the same figures for a zone job (in --json: year).\n";

constexpr const char* kProjectText =
    "run PROJECT.vdhproj prints each room of a project file (its calculation,\n"
    "quantity, outcome, total gain, the size chosen and the units per room and in\n"
    "all, or its message), then the units of the completed rooms per size and in\n"
    "all, and the rooms left out of them. With --json it prints one object: the\n"
    "project's details, the rooms (each with its full run as run FILE.vdhjob --json\n"
    "prints it), totals (units per size), totalUnits and leftOut. Its exit status\n"
    "is 2 when a room's entry is refused, else 1 when a room is out of range.\n"
    "project FROM.csv -o PROJECT.vdhproj --kind zone|pool makes a project of a CSV\n"
    "schedule in the batch format, one room a row, with optional columns room\n"
    "(its name), quantity (1 to 10000) and size (100, 160, 200 or fewest, the\n"
    "default). A row that cannot be used stops it with exit status 65 and no file.\n";

constexpr const char* kExitText =
    "Exit status: 0 completed (batch: every row read), 1 out of range, 2 an entry\n"
    "refused, 3 batch: some rows could not be read, 4 batch: the input has no line\n"
    "end within 65 MiB (no output written), 5 the weather file is refused, 64\n"
    "usage error, 65 the job or project file is refused (project: a row of the\n"
    "schedule cannot be used), 66 the input cannot be opened, 73 the output\n"
    "cannot be created, 74 writing failed (standard output included).\n";

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
    return std::string(kOutputText) + "\n" + kBatchText + "\n" + kProjectText + "\n" +
           kWeatherText + "\n" + kExitText + "\n" + FieldList(Calculation::Zone) + "\n" +
           FieldList(Calculation::Pool) + "\n" + PoolTypeList();
}

// Entry texts from FIELD=TEXT arguments over the initial texts; a usage error
// leaves `error` set.
std::vector<std::string> Assign(Calculation calc, const std::vector<std::string>& assignments,
                                std::string& error) {
    std::vector<std::string> texts = InitialEntryTexts(calc);
    for (const std::string& a : assignments) {
        const auto eq = a.find('=');
        if (eq == std::string::npos) {
            error = "argument '" + Printable(a) + "' is not FIELD=TEXT";
            return texts;
        }
        const std::string field = a.substr(0, eq);
        const int index = EntryIndex(calc, field);
        if (index < 0) {
            error = "unknown " + std::string(CalculationName(calc)) + " field '" +
                    Printable(field) + "'";
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

int RefusedFile(const std::string& path, const std::string& problem, bool unopened,
                std::ostream& err) {
    err << kProgram << ": " << JobProblemMessage(Printable(path), problem) << "\n";
    return unopened ? kExitNoInput : kExitDataError;
}

int RunProjectFile(const std::string& path, ProjectRead read, const JsonOutput& json,
                   std::ostream& out, std::ostream& err) {
    if (!read.project) {
        return RefusedFile(path, read.problem, read.unopened, err);
    }
    return RunProject(*read.project, json, out);
}

// A zone job's year over a weather file, for the units its design point asks for.
Weather::DesignYear JobYear(const Weather::WeatherFile& weather, const CalcReport::ZoneRun& zone,
                            const Weather::AmbientTable& table) {
    const ZoneNumbers& design = zone.result.numbers;
    return Weather::RunDesignYear(weather, table, Weather::YearZone(zone.inputs, design),
                                  Weather::DesignUnits(design));
}

// A job file or a project file; with a weather file, a zone job's year too.
int RunJobFile(const std::string& path, const std::string& weatherPath, JsonOutput json,
               std::ostream& out, std::ostream& err) {
    JobOrProjectRead file = ReadJobOrProjectFile(path);
    if (file.isProject) {
        if (!weatherPath.empty()) {
            return Usage(err, "--weather applies to a zone job file, not to a project");
        }
        return RunProjectFile(path, std::move(file.project), json, out, err);
    }
    const JobRead& read = file.job;
    if (!read.job) {
        return RefusedFile(path, read.problem, read.unopened, err);
    }
    const Job& job = *read.job;
    std::optional<Weather::WeatherFile> weather;
    if (!weatherPath.empty()) {
        if (job.kind != JobKind::Zone) {
            return Usage(err, "--weather applies to a zone job file, not to a pool job");
        }
        int status = kExitCompleted;
        weather = LoadWeather(weatherPath, err, status);
        if (!weather) {
            return status;
        }
    }
    const JobRun run = RunJob(job);
    std::optional<Weather::AmbientTable> table;
    std::optional<Weather::DesignYear> year;
    if (weather && run.zoneRun) {
        table.emplace(*weather, run.zoneRun->inputs.pressure);
        year = JobYear(*weather, *run.zoneRun, *table);
    }
    if (!json) {
        PrintEvents(run, out);
        if (year) {
            PrintYearLines(*year, out);
        }
        return run.exitStatus;
    }
    json->jobTitle = job.title;
    nlohmann::ordered_json doc = RunJson(run, *json);
    if (year) {
        doc["year"] = {{"file", weatherPath},
                       {"pressureKPa", table->PressureKPa()},
                       {"hoursCounted", table->HoursCounted()},
                       {"hoursLeftOut", table->HoursLeftOut()},
                       {"peak", PeakJson(year->peak)},
                       {"litres", year->litres},
                       {"designUnits", DesignUnitsJson(*year)}};
    } else if (weather) {
        doc["year"] = nullptr; // the job did not complete
    }
    out << doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    return run.exitStatus;
}

std::string Reason(int error) {
    return std::generic_category().message(error);
}

// The input's file, or why it cannot be read: missing, not permitted, a folder.
std::string StatInput(const std::string& input, struct stat& info) {
    const int got = input == "-" ? ::fstat(STDIN_FILENO, &info) : ::stat(input.c_str(), &info);
    if (got != 0) {
        return Reason(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return "it is a folder";
    }
    return {};
}

// Whether writing `output` would overwrite the input being read: the same file
// under any name, through a symbolic or a hard link.
bool IsTheInput(const std::string& output, const struct stat& input) {
    struct stat info {};
    const int got = output == "-" ? ::fstat(STDOUT_FILENO, &info) : ::stat(output.c_str(), &info);
    return got == 0 && S_ISREG(info.st_mode) && info.st_dev == input.st_dev &&
           info.st_ino == input.st_ino;
}

// The input of batch or project opened for reading, once it is known not to be
// the output; or the exit status, its message printed.
struct Input {
    std::string name; // as messages name it
    struct stat info {};
    std::ifstream file;

    std::istream& Stream() { return file.is_open() ? file : std::cin; }
};

int OpenInput(const std::string& input, const std::string& output, Input& opened,
              std::ostream& err) {
    opened.name = input == "-" ? "standard input" : input;
    // Checked before anything is opened for writing: the output would empty the input.
    if (const std::string problem = StatInput(input, opened.info); !problem.empty()) {
        err << kProgram << ": cannot open " << Printable(opened.name) << ": " << problem << "\n";
        return kExitNoInput;
    }
    if (IsTheInput(output, opened.info)) {
        return Usage(err, "the output " + Printable(output == "-" ? "standard output" : output) +
                              " is the input " + Printable(opened.name) +
                              "; write to another file");
    }
    if (input != "-") {
        opened.file.open(input, std::ios::binary);
        if (!opened.file) {
            err << kProgram << ": cannot open " << Printable(input) << ": " << Reason(errno)
                << "\n";
            return kExitNoInput;
        }
    }
    return kExitCompleted;
}

int Batch(Calculation calc, const std::string& input, const std::string& output,
          BatchOptions options, std::ostream& out, std::ostream& err) {
    Input opened;
    if (const int status = OpenInput(input, output, opened, err); status != kExitCompleted) {
        return status;
    }
    std::optional<AtomicFile> outFile;
    if (output != "-") {
        outFile.emplace(output);
        if (!outFile->IsOpen()) {
            err << kProgram << ": cannot create " << Printable(output) << ": " << outFile->Error()
                << "\n";
            return kExitCantCreate;
        }
    }
    // The time left is told only for a file whose size is known.
    if (S_ISREG(opened.info.st_mode)) {
        options.inputBytes = static_cast<std::uint64_t>(opened.info.st_size);
    }
    std::istream& in = opened.Stream();
    std::ostream& to = outFile ? outFile->Stream() : out;
    const int status = RunBatch(calc, in, to, err, opened.name, options);
    if (in.bad()) {
        err << kProgram << ": reading " << Printable(opened.name) << " failed\n";
        return kExitIoError;
    }
    // A header that cannot be used, or an input without end, leaves no file.
    if (status == kExitUsage || status == kExitNoLineEnd) {
        return status;
    }
    if (outFile) {
        if (const std::string problem = outFile->Commit(); !problem.empty()) {
            err << kProgram << ": writing " << Printable(output) << " failed: " << problem << "\n";
            return kExitIoError;
        }
    }
    return status;
}

int MakeProject(Calculation calc, const std::string& input, const std::string& output,
                std::ostream& out, std::ostream& err) {
    Input opened;
    if (const int status = OpenInput(input, output, opened, err); status != kExitCompleted) {
        return status;
    }
    std::istream& in = opened.Stream();
    const ScheduleRead read = ProjectFromSchedule(calc, in);
    if (in.bad()) {
        err << kProgram << ": reading " << Printable(opened.name) << " failed\n";
        return kExitIoError;
    }
    if (!read.project) {
        err << kProgram << ": " << Printable(opened.name) << " " << read.problem << "\n";
        return kExitDataError;
    }
    const std::string text = WriteProject(*read.project);
    if (output == "-") {
        out << text;
        return kExitCompleted;
    }
    AtomicFile file(output);
    if (!file.IsOpen()) {
        err << kProgram << ": cannot create " << Printable(output) << ": " << file.Error() << "\n";
        return kExitCantCreate;
    }
    file.Stream() << text;
    if (const std::string problem = file.Commit(); !problem.empty()) {
        err << kProgram << ": writing " << Printable(output) << " failed: " << problem << "\n";
        return kExitIoError;
    }
    return kExitCompleted;
}

// What was printed reached standard output: a full disk or a closed pipe fails
// the run even when every line before was written.
int CheckOutput(int status, std::ostream& out, std::ostream& err) {
    if (out.flush()) {
        return status;
    }
    if (status != kExitIoError) {
        const auto* buffer = dynamic_cast<const FdOutput*>(out.rdbuf());
        const int error = buffer != nullptr ? buffer->Error() : 0;
        err << kProgram << ": writing standard output failed"
            << (error != 0 ? ": " + Reason(error) : std::string()) << "\n";
    }
    return kExitIoError;
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
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
    CLI::Option* outputOption =
        batch
            ->add_option("-o,--output", output,
                         "Where to write the results (default: standard output)")
            ->option_text("OUT.csv");
    BatchOptions batchOptions;
    batch->add_flag("--raw", batchOptions.raw,
                    "Write cells that a spreadsheet would run as formulas as they are, "
                    "without a leading '");
    batchOptions.jobs = DefaultJobs();
    batch
        ->add_option("-j,--jobs", batchOptions.jobs,
                     "Threads calculating rows (default: the cores the process may use; 1 "
                     "calculates one row after another)")
        ->option_text("N")
        ->check(CLI::Range(1u, kMaxJobs));
    bool quiet = false;
    batch->add_flag("-q,--quiet", quiet, "Show no progress line on standard error");
    std::string yearWeather;
    CLI::Option* batchWeatherOption =
        batch
            ->add_option("--weather", yearWeather,
                         "zone: add each row's year over this weather file (columns year_...)")
            ->option_text("FILE.epw");
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
    CLI::App* runJob = app.add_subcommand(
        "run", "Run the calculation of a job file (.vdhjob) as zone or pool do, or every room "
               "of a project file (.vdhproj)");
    runJob->add_option("FILE", jobFile, "The job or project file")->required();
    CLI::Option* runWeatherOption =
        runJob
            ->add_option("--weather", yearWeather,
                         "A zone job: add its year over this weather file for the units it "
                         "needs")
            ->option_text("FILE.epw");
    runJob->footer(kProjectText);
    runJob->fallthrough();

    std::string projectKind;
    std::string scheduleInput;
    std::string projectOutput;
    CLI::App* project =
        app.add_subcommand("project", "Make a project file of the rooms of a CSV schedule");
    project->add_option("FROM.csv", scheduleInput, "The schedule of rooms (- for standard input)")
        ->required();
    project
        ->add_option("-o,--output", projectOutput,
                     "The project file to write (- for standard output)")
        ->option_text("PROJECT.vdhproj")
        ->required();
    project->add_option("--kind", projectKind, "The rooms' calculation: zone or pool")
        ->required()
        ->check(CLI::IsMember({"zone", "pool"}));
    project->footer(kProjectText);
    project->fallthrough();

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
                                  ? "missing the command: zone, pool, batch, run, project, weather "
                                    "or year"
                                  : "unknown command '" + *word +
                                        "': use zone, pool, batch, run, project, weather or "
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
                                 weather->parsed() || year->parsed() || project->parsed())) {
        return Usage(err, "--pool-type applies to pool and run with --json");
    }
    if (chosen) {
        return Calculate(*chosen, assignments, jsonOutput, out, err);
    }
    if ((batchWeatherOption->count() > 0 || runWeatherOption->count() > 0) && yearWeather.empty()) {
        return Usage(err, "--weather needs a file name");
    }
    if (runJob->parsed()) {
        return RunJobFile(jobFile, yearWeather, jsonOutput, out, err);
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
        return Usage(err, "--json applies to zone, pool, run, weather and year, not to batch "
                          "or project");
    }
    if (project->parsed()) {
        if (projectOutput.empty()) {
            return Usage(err, "-o needs a file name (- for standard output)");
        }
        return MakeProject(*CalculationNamed(projectKind), scheduleInput, projectOutput, out, err);
    }
    if (outputOption->count() > 0 && output.empty()) {
        return Usage(err, "-o needs a file name (- for standard output)");
    }
    const Calculation calc = *CalculationNamed(batchCalc);
    if (!yearWeather.empty() && calc != Calculation::Zone) {
        return Usage(err, "--weather applies to batch zone, not to batch pool");
    }
    std::optional<Weather::WeatherFile> weatherRead;
    if (!yearWeather.empty()) {
        int status = kExitCompleted;
        weatherRead = LoadWeather(yearWeather, err, status);
        if (!weatherRead) {
            return status;
        }
        batchOptions.weather = &*weatherRead;
    }
    batchOptions.progress = errIsTerminal && !quiet;
    return Batch(calc, input, output.empty() ? "-" : output, batchOptions, out, err);
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool errIsTerminal) {
    return CheckOutput(RunCommand(args, out, err, errIsTerminal), out, err);
}

} // namespace CalcCli
