#include "cli/Batch.h"

#include "cli/CalcCli.h"
#include "cli/MessageText.h"
#include "core/csv/Csv.h"

#include <ostream>
#include <string_view>

namespace CalcCli {
namespace {

constexpr std::string_view kUnreadable = "Unreadable";

int HeaderError(std::ostream& err, const std::string& inputName, const std::string& reason) {
    err << "varneldh-calc: " << Printable(inputName) << " line 1: " << reason << "\n";
    return kExitUsage;
}

int Stopped(std::ostream& err, const std::string& inputName, const Csv::Reader& reader) {
    err << "varneldh-calc: " << Printable(inputName) << " " << reader.Stopped() << "\n";
    return kExitNoLineEnd;
}

// The record with every cell a spreadsheet would run as a formula made text
// (OWASP's advice on CSV injection).
void Write(std::ostream& out, std::vector<std::string>& row, char sep, std::string_view lineEnd,
           const BatchOptions& options) {
    if (!options.raw) {
        for (std::string& cell : row) {
            if (Csv::RunsAsFormula(cell, sep)) {
                cell.insert(0, 1, '\'');
            }
        }
    }
    Csv::WriteRecord(out, row, sep, lineEnd);
}

} // namespace

int RunBatch(Calculation calc, std::istream& in, std::ostream& out, std::ostream& err,
             const std::string& inputName, BatchOptions options) {
    Csv::Reader reader(in);
    Csv::Record record;
    if (!reader.Next(record)) {
        if (!reader.Stopped().empty()) {
            return Stopped(err, inputName, reader);
        }
        return HeaderError(err, inputName, "no header row naming the entry fields");
    }
    if (!record.error.empty()) {
        return HeaderError(err, inputName, "the header row is unreadable: " + record.error);
    }
    // The entry each column sets.
    std::vector<int> columns;
    for (const std::string& name : record.fields) {
        const int index = EntryIndex(calc, name);
        if (index < 0) {
            return HeaderError(err, inputName,
                               "unknown " + std::string(CalculationName(calc)) + " field '" +
                                   Printable(name) + "' in the header");
        }
        for (const int seen : columns) {
            if (seen == index) {
                return HeaderError(err, inputName,
                                   "field '" + Printable(name) + "' has two columns");
            }
        }
        columns.push_back(index);
    }

    const char sep = reader.Separator();
    const std::string_view lineEnd = reader.LineEnd();
    if (reader.HadByteOrderMark()) {
        out << "\xEF\xBB\xBF";
    }
    const auto results = Results(calc);
    std::vector<std::string> row = record.fields;
    for (const char* name : {"outcome", "message", "message_field", "warnings"}) {
        row.emplace_back(name);
    }
    for (const ResultSpec& r : results) {
        row.emplace_back(r.name);
    }
    Write(out, row, sep, lineEnd, options);

    const std::vector<std::string> initial = InitialEntryTexts(calc);
    const std::size_t width = columns.size();
    bool someFailed = false;
    std::vector<std::string> texts;
    while (reader.Next(record)) {
        if (record.error.empty() && record.fields.size() != width) {
            record.error = std::to_string(record.fields.size()) + " fields where the header has " +
                           std::to_string(width);
        }
        row.assign(width + 4 + results.size(), std::string());
        if (!record.error.empty()) {
            someFailed = true;
            const std::string message = "line " + std::to_string(record.line) + ": " + record.error;
            err << "varneldh-calc: " << Printable(inputName) << " " << message << "\n";
            for (std::size_t i = 0; i < width && i < record.fields.size(); ++i) {
                row[i] = Csv::ToValidUtf8(record.fields[i]);
            }
            row[width] = kUnreadable;
            row[width + 1] = message;
            Write(out, row, sep, lineEnd, options);
            continue;
        }
        texts = initial;
        for (std::size_t i = 0; i < width; ++i) {
            texts[static_cast<std::size_t>(columns[i])] = record.fields[i];
        }
        JobRun run = RunJob(calc, std::move(texts), {.decimalComma = sep == ';'});
        for (std::size_t i = 0; i < width; ++i) {
            row[i] = std::move(record.fields[i]);
        }
        row[width] = std::move(run.outcome);
        row[width + 1] = run.message.value_or(std::string());
        row[width + 2] = std::move(run.messageField);
        for (std::size_t i = 0; i < run.warnings.size(); ++i) {
            row[width + 3] += (i > 0 ? "\n" : "") + run.warnings[i];
        }
        for (std::size_t i = 0; i < results.size(); ++i) {
            row[width + 4 + i] = std::move(run.resultTexts[i]);
        }
        Write(out, row, sep, lineEnd, options);
    }
    if (!reader.Stopped().empty()) {
        return Stopped(err, inputName, reader);
    }
    return someFailed ? kExitSomeRowsFailed : kExitCompleted;
}

} // namespace CalcCli
