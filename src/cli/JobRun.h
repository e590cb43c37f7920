#pragma once

#include "core/common/Fields.h"
#include "core/jobs/JobFile.h"
#include "core/pool/EvaporationMethods.h"
#include "core/report/CalcReport.h"

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One calculation run on entry texts, as every output of varneldh-calc sees it:
// the events in the order the screen applies them, the outcome and the text each
// result field is left with.
namespace CalcCli {

enum class Calculation { Zone, Pool };

// "zone" or "pool".
std::string_view CalculationName(Calculation calc);
std::optional<Calculation> CalculationNamed(std::string_view name);

// An entry field of either table, without its place in the records.
struct EntryView {
    std::string_view name;
    std::string_view caption;
    std::string_view unit;
    std::string_view initialText;
    bool number = false; // read by the number-reading rule
};

// The entry fields in table order.
std::span<const EntryView> Entries(Calculation calc);
// The result fields in table order.
std::span<const ResultSpec> Results(Calculation calc);
// The entry's place in the table, or -1.
int EntryIndex(Calculation calc, std::string_view name);
// Every entry's initial text, in table order.
std::vector<std::string> InitialEntryTexts(Calculation calc);

struct Event {
    enum class Kind { Warning, Refused, Write, Message, Focus, Outcome };
    Kind kind;
    std::string field; // Refused, Write, Focus
    std::string text;  // Warning, Refused, Write, Message, Outcome
};

struct JobRun {
    Calculation calc = Calculation::Zone;
    std::vector<std::string> entryTexts; // as given, in table order
    std::vector<Event> events;
    std::string outcome; // an OutcomeName, or "Refused"
    std::vector<std::string> warnings;
    std::optional<std::string> message;   // the refusal's or the calculation's
    std::string messageField;             // the entry the message is about, if any
    std::vector<std::string> resultTexts; // by Results(calc) index; empty where not written
    int exitStatus = 0;
    // What a report of the run would be made from: one of them, when it completed.
    std::optional<CalcReport::ZoneRun> zoneRun;
    std::optional<CalcReport::PoolRun> poolRun;
};

// The screen whose calculation it is, as the report names it.
std::string_view ScreenCaption(Calculation calc);

// How the entry texts are read.
struct ReadOptions {
    // A comma in a number entry is its decimal point (semicolon-separated files).
    bool decimalComma = false;
    // The events are recorded; the batch, which writes only the texts, leaves
    // them out.
    bool events = true;
};

// Runs the check chain and, if it accepts the texts, the calculation.
// entryTexts holds one text per entry, in table order. Before the check chain's
// warnings come those of reading the texts, which the screens do not give: a
// number entry read only in part, and occupants whose activity is not one of the
// list.
JobRun RunJob(Calculation calc, std::vector<std::string> entryTexts, ReadOptions options = {});

// A job file's entry texts run as RunJob runs them, as its kind's calculation.
JobRun RunJob(const Job& job);

// One line per event: "warning: TEXT", "refused FIELD: TEXT", "FIELD: TEXT",
// "message: TEXT", "focus: FIELD", "outcome: NAME".
void PrintEvents(const JobRun& run, std::ostream& out);

// What the report in the JSON object takes that the run does not hold.
struct ReportOptions {
    EvaporationMethods::PoolType poolType = EvaporationMethods::kDefaultPoolType;
    std::string jobTitle; // of the job file run; empty when none
};

// One JSON object: the calculation, the entries, the events, the outcome, the
// warnings, the message, every result field and, for a completed run, what its
// calculation report shows, details included.
void PrintJson(const JobRun& run, std::ostream& out, const ReportOptions& report = {});

} // namespace CalcCli
