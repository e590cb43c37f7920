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
// Returns kExitCompleted, kExitSomeRowsFailed, or kExitUsage for a header that
// cannot be used.
int RunBatch(Calculation calc, std::istream& in, std::ostream& out, std::ostream& err,
             const std::string& inputName);

} // namespace CalcCli
