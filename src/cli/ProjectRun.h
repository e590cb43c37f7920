#pragma once

#include "cli/JobRun.h"
#include "core/jobs/Project.h"

#include <iosfwd>
#include <optional>
#include <string>

// varneldh-calc on projects: running every room of a project file, and making a
// project from a CSV schedule of rooms.
namespace CalcCli {

// Prints each room's outcome, gain, size chosen and units, then the totals and
// the rooms left out of them; with json, one object holding every room's full
// run as run FILE.vdhjob --json prints it. The exit status is the worst of the
// rooms' (2 a room refused, else 1 a room out of range, else 0).
int RunProject(const Project& project, const std::optional<ReportOptions>& json, std::ostream& out);

// The rooms of a CSV schedule (the batch format, with optional room, quantity and
// size columns) as a project of one calculation. A record that cannot be used
// sets `problem` ("line 3: quantity \"0\" is not a whole number from 1 to 10000").
struct ScheduleRead {
    std::optional<Project> project;
    std::string problem;
};
ScheduleRead ProjectFromSchedule(Calculation calc, std::istream& in);

} // namespace CalcCli
