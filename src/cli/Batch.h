#pragma once

#include "cli/JobRun.h"

#include <iosfwd>
#include <string>

// varneldh-calc batch: one calculation per CSV record, each written out as soon
// as it is read.
namespace CalcCli {

// The header names entry fields; a field without a column keeps its initial
// text. Each output record repeats the input's fields, then the outcome, the
// message, the entry it is about, the warnings (one a line) and every result
// field. An unreadable record is reported on err and in its output record, and
// the others go on. `inputName` names the input in messages.
// In a semicolon-separated input a comma in a number entry is its decimal point.
// A cell that a spreadsheet would run as a formula is written with a leading '
// unless `raw`.
// Returns kExitCompleted, kExitSomeRowsFailed, kExitUsage for a header that
// cannot be used, or kExitNoLineEnd when the input stopped having line ends.
struct BatchOptions {
    bool raw = false;
};
int RunBatch(Calculation calc, std::istream& in, std::ostream& out, std::ostream& err,
             const std::string& inputName, BatchOptions options = {});

} // namespace CalcCli
