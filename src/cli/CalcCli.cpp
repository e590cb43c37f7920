#include "cli/CalcCli.h"

#include "pool/PoolCalc.h"
#include "zone/ZoneCalc.h"

#include <ostream>
#include <span>

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
    auto list = [&out](const char* title, std::span<const EntryField> fields) {
        out << "\n" << title << "\n";
        for (const EntryField& f : fields) {
            std::string name(f.name);
            name.resize(std::max<std::size_t>(name.size(), 16), ' ');
            out << "  " << name << f.caption << " [initial \"" << f.initialText << "\"]\n";
        }
    };
    list("zone fields (Detailed Calculation):", kZoneFields);
    list("pool fields (Swimming Pool Evaporation Rate):", kPoolFields);
}

void PrintResult(const CalcResult& r, std::ostream& out) {
    for (const FieldText& f : r.fieldTexts) {
        out << f.field << ": " << f.text << "\n";
    }
    if (r.message) {
        out << "message: " << *r.message << "\n";
    }
    if (r.focus) {
        out << "focus: " << *r.focus << "\n";
    }
    for (const FieldText& f : r.afterMessage) {
        out << f.field << ": " << f.text << "\n";
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
        ZoneTexts texts;
        std::string activity(kZoneFields.back().initialText);
        for (const Assignment& a : assignments) {
            if (a.field == "comboActivity") {
                activity = a.text;
            } else if (std::string* slot = ZoneTextField(texts, a.field)) {
                *slot = a.text;
            } else {
                return Usage(err, "unknown zone field '" + a.field + "'");
            }
        }
        const auto checks = ValidateZoneInputs(texts);
        if (PrintChecks(checks, true, out)) {
            return kExitRefused;
        }
        const ZoneResult result = CalculateZone(*checks.inputs, activity);
        PrintResult(result, out);
        return ExitFor(result.outcome);
    }

    PoolTexts texts;
    for (const Assignment& a : assignments) {
        if (std::string* slot = PoolTextField(texts, a.field)) {
            *slot = a.text;
        } else {
            return Usage(err, "unknown pool field '" + a.field + "'");
        }
    }
    const auto checks = ValidatePoolInputs(texts);
    if (PrintChecks(checks, false, out)) {
        return kExitRefused;
    }
    const PoolResult result = CalculatePool(*checks.inputs);
    PrintResult(result, out);
    return ExitFor(result.outcome);
}

} // namespace CalcCli
