#include "cli/JobRun.h"

#include "cli/CalcCli.h"
#include "cli/MessageText.h"
#include "cli/RunJson.h"

#include "core/common/NumberText.h"

#include "core/pool/PoolCalc.h"
#include "core/zone/ZoneCalc.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>
#include <utility>

namespace CalcCli {
namespace {

template <typename Table> constexpr auto Views(const Table& table) {
    std::array<EntryView, std::tuple_size_v<Table>> views{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        views[i] = {table[i].name, table[i].caption, table[i].unit, table[i].initialText,
                    table[i].number != nullptr};
    }
    return views;
}

const auto kZoneViews = Views(kZoneFields);
const auto kPoolViews = Views(kPoolFields);

// The pool's wet bulb pass count is shown on the building-zone screen, and named
// so in the events.
constexpr std::string_view kPoolIterationsShownAs = "frmMethod1.txtiter";

class Recorder {
public:
    Recorder(JobRun& run, bool events) : run_(run), results_(Results(run.calc)), events_(events) {
        run_.resultTexts.assign(results_.size(), std::string());
        if (events_) {
            // Every result field, a message, a focus and the outcome, without regrowing.
            run_.events.reserve(run_.resultTexts.size() + 8);
        }
    }

    void Warn(std::string text) {
        Add(Event::Kind::Warning, {}, text);
        run_.warnings.push_back(std::move(text));
    }

    template <typename Inputs> bool Checks(const CheckResult<Inputs>& checks, bool focusRefused) {
        for (const std::string& w : checks.warnings) {
            run_.warnings.push_back(w);
            Add(Event::Kind::Warning, {}, w);
        }
        if (!checks.refusal) {
            return false;
        }
        const Refusal& ref = *checks.refusal;
        Add(Event::Kind::Refused, ref.field, ref.message);
        Add(Event::Kind::Write, ref.field, {});
        if (focusRefused) {
            Add(Event::Kind::Focus, ref.field, {});
        }
        run_.message = ref.message;
        run_.messageField = ref.field;
        Finish("Refused", kExitRefused);
        return true;
    }

    void Result(const CalcResult& r) {
        for (const FieldText& f : r.fieldTexts) {
            Write(f);
        }
        if (r.message) {
            Add(Event::Kind::Message, {}, *r.message);
            run_.message = r.message;
        }
        if (r.focus) {
            Add(Event::Kind::Focus, *r.focus, {});
            run_.messageField = *r.focus;
        }
        for (const FieldText& f : r.afterMessage) {
            Write(f);
        }
        Finish(OutcomeName(r.outcome),
               r.outcome == Outcome::Completed ? kExitCompleted : kExitRejected);
    }

private:
    void Add(Event::Kind kind, std::string_view field, std::string_view text) {
        if (events_) {
            run_.events.push_back({kind, std::string(field), std::string(text)});
        }
    }

    void Write(const FieldText& f) {
        // Results are written mostly in table order: the search starts after the
        // field written last, so a run costs one comparison a field, not a table.
        for (std::size_t n = 0; n < results_.size(); ++n) {
            const std::size_t i = (next_ + n) % results_.size();
            if (results_[i].name == f.field) {
                run_.resultTexts[i] = f.text;
                next_ = i + 1;
                break;
            }
        }
        const bool otherScreen = run_.calc == Calculation::Pool && f.field == kPoolIterations.name;
        Add(Event::Kind::Write, otherScreen ? kPoolIterationsShownAs : std::string_view(f.field),
            f.text);
    }

    void Finish(std::string_view outcome, int status) {
        run_.outcome = std::string(outcome);
        run_.exitStatus = status;
        Add(Event::Kind::Outcome, {}, outcome);
    }

    JobRun& run_;
    std::span<const ResultSpec> results_;
    bool events_;
    std::size_t next_ = 0; // where the next field's search starts
};

template <typename Texts, typename Inputs>
Texts ToTexts(std::span<const EntrySpec<Texts, Inputs>> table,
              const std::vector<std::string>& entryTexts) {
    Texts texts;
    for (std::size_t i = 0; i < table.size(); ++i) {
        texts.*table[i].text = entryTexts[i];
    }
    return texts;
}

// The entry texts of a job, in table order.
template <typename Texts, typename Inputs>
std::vector<std::string> TableTexts(std::span<const EntrySpec<Texts, Inputs>> table,
                                    const Texts& texts) {
    std::vector<std::string> out;
    out.reserve(table.size());
    for (const auto& entry : table) {
        out.push_back(texts.*entry.text);
    }
    return out;
}

// A value as a warning shows it: as the results are written.
std::string Shown(double value) {
    return std::isfinite(value) ? NumberText::FormatGeneral(value) : "a number too large to hold";
}

// What reading the texts tells that the screens keep to themselves. `texts` are
// read, `given` are quoted (they differ by the decimal comma).
void ReadingWarnings(Recorder& rec, Calculation calc, const std::vector<std::string>& texts,
                     const std::vector<std::string>& given) {
    const auto entries = Entries(calc);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].number) {
            continue;
        }
        const NumberText::Reading reading = NumberText::Read(texts[i]);
        if (!reading.whole) {
            rec.Warn(std::string(entries[i].name) + ": " + Quoted(given[i]) + " was read as " +
                     Shown(reading.value));
        }
    }
    if (calc != Calculation::Zone) {
        return;
    }
    const auto place = [](std::string ZoneTexts::*text) {
        return static_cast<std::size_t>(
            EntryIndex(Calculation::Zone, EntryName<ZoneTexts, ZoneInputs>(kZoneFields, text)));
    };
    const std::size_t activity = place(&ZoneTexts::activity);
    // Every activity of the list gives off moisture; any other text gives none.
    if (ActivityRate(texts[activity]) == 0 &&
        NumberText::ReadNumber(texts[place(&ZoneTexts::occupancy)]) > 0) {
        rec.Warn(std::string(entries[activity].name) + ": " + Quoted(given[activity]) +
                 " is not an activity of the list; occupants add 0 litres/day");
    }
}

const char* KindName(Event::Kind kind) {
    switch (kind) {
    case Event::Kind::Warning:
        return "warning";
    case Event::Kind::Refused:
        return "refused";
    case Event::Kind::Write:
        return "write";
    case Event::Kind::Message:
        return "message";
    case Event::Kind::Focus:
        return "focus";
    case Event::Kind::Outcome:
        return "outcome";
    }
    return "";
}

using Json = nlohmann::ordered_json;

Json TablesJson(const std::vector<CalcReport::Table>& tables) {
    Json out = Json::array();
    for (const CalcReport::Table& t : tables) {
        out.push_back({{"heading", t.heading}, {"columns", t.columns}, {"rows", t.rows}});
    }
    return out;
}

Json ChartJson(const CalcReport::ChartData& chart) {
    Json states = Json::array();
    for (const CalcReport::ChartState& s : chart.states) {
        Json state = {{"label", s.label},
                      {"dryBulb", s.t},
                      {"rh", s.rh},
                      {"humidityRatio", s.air.W},
                      {"enthalpy", s.air.h}};
        if (s.wetBulb) {
            state["wetBulb"] = *s.wetBulb;
        }
        if (s.dewPoint) {
            state["dewPoint"] = s.air.DP;
        }
        states.push_back(std::move(state));
    }
    return {{"pressureKPa", chart.pressureKPa}, {"states", std::move(states)}};
}

// What the calculation report shows, details included. No date: the same run
// gives the same output.
Json ReportJson(const JobRun& run, const ReportOptions& options) {
    const CalcReport::Header header{std::string(ScreenCaption(run.calc)), options.jobTitle, {}};
    CalcReport::Content content;
    CalcReport::ChartData chart;
    if (run.zoneRun) {
        content = CalcReport::ZoneContent(*run.zoneRun, header, true);
        chart = CalcReport::ZoneChart(*run.zoneRun);
    } else if (run.poolRun) {
        content = CalcReport::PoolContent(*run.poolRun, header, true, options.poolType);
        chart = CalcReport::PoolChart(*run.poolRun);
    } else {
        return nullptr;
    }
    return {
        {"title", content.title},
        {"calculation", content.calculation},
        {"jobTitle", content.jobTitle.empty() ? Json(nullptr) : Json(content.jobTitle)},
        {"program", content.program},
        {"tables", TablesJson(content.tables)},
        {"warnings", content.warnings},
        {"noUnitsReason",
         content.noUnitsReason.empty() ? Json(nullptr) : Json(content.noUnitsReason)},
        {"notes", content.notes},
        {"chart", ChartJson(chart)},
    };
}

} // namespace

std::string_view ScreenCaption(Calculation calc) {
    return calc == Calculation::Zone ? CalcReport::kZoneCalculation : CalcReport::kPoolCalculation;
}

std::string_view CalculationName(Calculation calc) {
    return calc == Calculation::Zone ? "zone" : "pool";
}

std::optional<Calculation> CalculationNamed(std::string_view name) {
    if (name == "zone") {
        return Calculation::Zone;
    }
    if (name == "pool") {
        return Calculation::Pool;
    }
    return std::nullopt;
}

std::span<const EntryView> Entries(Calculation calc) {
    if (calc == Calculation::Zone) {
        return kZoneViews;
    }
    return kPoolViews;
}

std::span<const ResultSpec> Results(Calculation calc) {
    if (calc == Calculation::Zone) {
        return kZoneResults;
    }
    return kPoolResults;
}

int EntryIndex(Calculation calc, std::string_view name) {
    const auto entries = Entries(calc);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<std::string> InitialEntryTexts(Calculation calc) {
    std::vector<std::string> texts;
    for (const EntryView& e : Entries(calc)) {
        texts.emplace_back(e.initialText);
    }
    return texts;
}

JobRun RunJob(Calculation calc, std::vector<std::string> entryTexts, ReadOptions options) {
    JobRun run;
    run.calc = calc;
    run.entryTexts = std::move(entryTexts);
    run.entryTexts.resize(Entries(calc).size());
    // The texts as read: with the decimal comma made a point, else as given.
    std::vector<std::string> withPoints;
    if (options.decimalComma) {
        withPoints = run.entryTexts;
        const auto entries = Entries(calc);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].number) {
                std::replace(withPoints[i].begin(), withPoints[i].end(), ',', '.');
            }
        }
    }
    const std::vector<std::string>& read = options.decimalComma ? withPoints : run.entryTexts;
    Recorder rec(run, options.events);
    ReadingWarnings(rec, calc, read, run.entryTexts);
    if (calc == Calculation::Zone) {
        ZoneTexts texts = ToTexts<ZoneTexts, ZoneInputs>(kZoneFields, read);
        const auto checks = ValidateZoneInputs(texts);
        if (!rec.Checks(checks, true)) {
            ZoneResult result = CalculateZone(*checks.inputs, texts.activity);
            rec.Result(result);
            if (result.outcome == Outcome::Completed) {
                run.zoneRun = CalcReport::ZoneRun{
                    std::move(texts), *checks.inputs, checks.warnings, std::move(result), {}};
            }
        }
    } else {
        PoolTexts texts = ToTexts<PoolTexts, PoolInputs>(kPoolFields, read);
        const auto checks = ValidatePoolInputs(texts);
        if (!rec.Checks(checks, false)) {
            PoolResult result = CalculatePool(*checks.inputs);
            rec.Result(result);
            if (result.outcome == Outcome::Completed) {
                run.poolRun = CalcReport::PoolRun{std::move(texts), *checks.inputs, checks.warnings,
                                                  std::move(result)};
            }
        }
    }
    return run;
}

JobRun RunJob(const Job& job) {
    return job.kind == JobKind::Zone
               ? RunJob(Calculation::Zone,
                        TableTexts<ZoneTexts, ZoneInputs>(kZoneFields, JobToZoneTexts(job)))
               : RunJob(Calculation::Pool,
                        TableTexts<PoolTexts, PoolInputs>(kPoolFields, JobToPoolTexts(job)));
}

void PrintEvents(const JobRun& run, std::ostream& out) {
    for (const Event& e : run.events) {
        switch (e.kind) {
        case Event::Kind::Warning:
            out << "warning: " << e.text << "\n";
            break;
        case Event::Kind::Refused:
            out << "refused " << e.field << ": " << e.text << "\n";
            break;
        case Event::Kind::Write:
            out << e.field << ": " << e.text << "\n";
            break;
        case Event::Kind::Message:
            out << "message: " << e.text << "\n";
            break;
        case Event::Kind::Focus:
            out << "focus: " << e.field << "\n";
            break;
        case Event::Kind::Outcome:
            out << "outcome: " << e.text << "\n";
            break;
        }
    }
}

nlohmann::ordered_json RunJson(const JobRun& run, const ReportOptions& report) {
    Json entries = Json::array();
    const auto entryTable = Entries(run.calc);
    for (std::size_t i = 0; i < entryTable.size(); ++i) {
        const EntryView& e = entryTable[i];
        entries.push_back({{"name", e.name},
                           {"caption", e.caption},
                           {"unit", e.unit},
                           {"text", run.entryTexts[i]}});
    }
    Json events = Json::array();
    for (const Event& e : run.events) {
        Json event = {{"event", KindName(e.kind)}};
        if (!e.field.empty()) {
            event["field"] = e.field;
        }
        if (e.kind != Event::Kind::Focus) {
            event["text"] = e.text;
        }
        events.push_back(std::move(event));
    }
    Json results = Json::array();
    const auto resultTable = Results(run.calc);
    for (std::size_t i = 0; i < resultTable.size(); ++i) {
        const ResultSpec& r = resultTable[i];
        Json result = {{"name", r.name}, {"caption", r.caption}, {"unit", r.unit}};
        if (!r.column.empty()) {
            result["group"] = r.column;
        }
        result["text"] = run.resultTexts[i];
        results.push_back(std::move(result));
    }
    return {
        {"calculation", CalculationName(run.calc)},
        {"entries", std::move(entries)},
        {"events", std::move(events)},
        {"outcome", run.outcome},
        {"warnings", run.warnings},
        {"message", run.message ? Json(*run.message) : Json(nullptr)},
        {"messageField", run.messageField.empty() ? Json(nullptr) : Json(run.messageField)},
        {"results", std::move(results)},
        {"report", ReportJson(run, report)},
    };
}

void PrintJson(const JobRun& run, std::ostream& out, const ReportOptions& report) {
    const Json doc = RunJson(run, report);
    // Texts are taken as typed, and may not be UTF-8: such bytes become U+FFFD
    // rather than failing the output.
    out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

} // namespace CalcCli
