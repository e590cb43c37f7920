#pragma once

#include "cli/JobRun.h"

#include <nlohmann/json.hpp>

namespace CalcCli {

// The object PrintJson prints, for outputs that hold runs inside their own.
nlohmann::ordered_json RunJson(const JobRun& run, const ReportOptions& report);

} // namespace CalcCli
