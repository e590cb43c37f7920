#pragma once

#include "cli/JobRun.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace Weather {
struct WeatherFile;
}

// varneldh-calc batch: one calculation per CSV record, written in the input's
// order, on one thread or on several.
namespace CalcCli {

struct BatchOptions {
    // Cells that a spreadsheet would run as formulas written as they are.
    bool raw = false;
    // The threads that calculate rows. 1 reads, calculates and writes each row in
    // turn; more calculate blocks of rows side by side while this thread reads
    // and writes them, in the input's order, so the output is the same.
    unsigned jobs = 1;
    // A progress line on err (a terminal) for a batch that runs for a while.
    bool progress = false;
    // The input's size for the progress line's time left; 0 when not known.
    std::uint64_t inputBytes = 0;
    // With a weather file, each completed zone row also gets its year's figures
    // (kYearColumns); the file must outlive the run.
    const Weather::WeatherFile* weather = nullptr;
};

// The number of cores the process may run on, at least 1.
unsigned DefaultJobs();

// The most rows read but not yet written at any time, with `jobs` threads: the
// batch's memory does not grow with the file.
std::size_t MaxRowsInFlight(unsigned jobs);

// The header names entry fields; a field without a column keeps its initial
// text. Each output record repeats the input's fields, then the outcome, the
// message, the entry it is about, the warnings (one a line) and every result
// field, and with a weather file (zone only) the year's figures, empty for a
// row that did not complete. An unreadable record is reported on err and in its output record, and
// the others go on. `inputName` names the input in messages.
// In a semicolon-separated input a comma in a number entry is its decimal point.
// A cell that a spreadsheet would run as a formula is written with a leading '
// unless `raw`.
// Returns kExitCompleted, kExitSomeRowsFailed, kExitUsage for a header that
// cannot be used, or kExitNoLineEnd when the input stopped having line ends.
int RunBatch(Calculation calc, std::istream& in, std::ostream& out, std::ostream& err,
             const std::string& inputName, BatchOptions options = {});

} // namespace CalcCli
