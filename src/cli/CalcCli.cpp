#include "cli/CalcCli.h"

#include "core/pool/PoolCalc.h"
#include "core/zone/ZoneCalc.h"

#include <algorithm>
#include <ostream>
#include <string_view>

namespace CalcCli {
namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: varneldh-calc zone [FIELD=TEXT]...\n"
           "       varneldh-calc pool [FIELD=TEXT]...\n"
           "       varneldh-calc --help\n"
           "\n"
           "Runs the building-zone or swimming-pool calculation on the given entry texts and\n"
           "prints, one line each and in the order the screen applies them: warnings, a\n"
           "refusal, every field written (\"FIELD: TEXT\", an empty TEXT clears the field),\n"
           "the message, the field that takes the focus, and the outcome.\n"
           "A field not given keeps its initial text. TEXT is taken as typed, blanks included.\n"
           "Exit status: 0 completed, 1 out of range, 2 an entry refused, 64 usage error.\n";
    auto list = [&out](const char* title, const auto& fields) {
        out << "\n" << title << "\n";
        for (const auto& f : fields) {
            std::string name(f.name);
            name.resize(std::max<std::size_t>(name.size(), 16), ' ');
            out << "  " << name << f.caption << " [initial \"" << f.initialText << "\"]\n";
        }
    };
    list("zone fields (Detailed Calculation):", kZoneFields);
    list("pool fields (Swimming Pool Evaporation Rate):", kPoolFields);
}

// The pool's wet bulb pass count is shown on the building-zone screen, and named
// so here.
void PrintResult(const CalcResult& r, std::ostream& out, std::string_view iterationsShownAs = {}) {
    auto print = [&out, iterationsShownAs](const FieldText& f) {
        if (!iterationsShownAs.empty() && f.field == kPoolIterations.name) {
            out << iterationsShownAs;
        } else {
            out << f.field;
        }
        out << ": " << f.text << "\n";
    };
    for (const FieldText& f : r.fieldTexts) {
        print(f);
    }
    if (r.message) {
        out << "message: " << *r.message << "\n";
    }
    if (r.focus) {
        out << "focus: " << *r.focus << "\n";
    }
    for (const FieldText& f : r.afterMessage) {
        print(f);
    }
    out << "outcome: " << OutcomeName(r.outcome) << "\n";
}

// Warnings, then a refusal (the field emptied; focused where the screen does so).
// True when the run was refused.
template <typename Inputs>
bool PrintChecks(const CheckResult<Inputs>& checks, bool focusRefused, std::ostream& out) {
    for (const std::string& w : checks.warnings) {
        out << "warning: " << w << "\n";
    }
    if (!checks.refusal) {
        return false;
    }
    const Refusal& ref = *checks.refusal;
    out << "refused " << ref.field << ": " << ref.message << "\n";
    out << ref.field << ": \n";
    if (focusRefused) {
        out << "focus: " << ref.field << "\n";
    }
    out << "outcome: Refused\n";
    return true;
}

int ExitFor(Outcome outcome) {
    return outcome == Outcome::Completed ? kExitCompleted : kExitRejected;
}

struct Assignment {
    std::string field;
    std::string text;
};

int Usage(std::ostream& err, const std::string& reason) {
    err << "varneldh-calc: " << reason << " (see --help)\n";
    return kExitUsage;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return Usage(err, "missing the screen: zone or pool");
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintHelp(out);
        return kExitCompleted;
    }
    const std::string& screen = args[0];
    if (screen != "zone" && screen != "pool") {
        return Usage(err, "unknown screen '" + screen + "': use zone or pool");
    }
    std::vector<Assignment> assignments;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto eq = args[i].find('=');
        if (eq == std::string::npos) {
            return Usage(err, "argument '" + args[i] + "' is not FIELD=TEXT");
        }
        assignments.push_back({args[i].substr(0, eq), args[i].substr(eq + 1)});
    }

    if (screen == "zone") {
        ZoneTexts texts = InitialZoneTexts();
        for (const Assignment& a : assignments) {
            const ZoneEntry* entry = FindEntry<ZoneTexts, ZoneInputs>(kZoneFields, a.field);
            if (!entry) {
                return Usage(err, "unknown zone field '" + a.field + "'");
            }
            texts.*entry->text = a.text;
        }
        const auto checks = ValidateZoneInputs(texts);
        if (PrintChecks(checks, true, out)) {
            return kExitRefused;
        }
        const ZoneResult result = CalculateZone(*checks.inputs, texts.activity);
        PrintResult(result, out);
        return ExitFor(result.outcome);
    }

    PoolTexts texts = InitialPoolTexts();
    for (const Assignment& a : assignments) {
        const PoolEntry* entry = FindEntry<PoolTexts, PoolInputs>(kPoolFields, a.field);
        if (!entry) {
            return Usage(err, "unknown pool field '" + a.field + "'");
        }
        texts.*entry->text = a.text;
    }
    const auto checks = ValidatePoolInputs(texts);
    if (PrintChecks(checks, false, out)) {
        return kExitRefused;
    }
    const PoolResult result = CalculatePool(*checks.inputs);
    PrintResult(result, out, "frmMethod1.txtiter");
    return ExitFor(result.outcome);
}

} // namespace CalcCli
