// The job and project file readers on any bytes: a job (a project) or one
// problem, never both, never a crash; what is read is written and read back to
// the same.

#include "FuzzChecks.h"
#include "core/jobs/JobFile.h"
#include "core/jobs/Project.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace FuzzChecks;

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// The reader gives the entries in the order of their names: compared by name.
Entries ByName(Entries entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}

bool Known(const Job& job, std::string_view name) {
    return job.kind == JobKind::Zone
               ? FindEntry<ZoneTexts, ZoneInputs>(kZoneFields, name) != nullptr
               : FindEntry<PoolTexts, PoolInputs>(kPoolFields, name) != nullptr;
}

void RequireOneLineProblem(const std::string& p) {
    Require(p.starts_with("is ") || p.starts_with("was written by a newer version"), "problem '", p,
            "'");
    Require(p.find('\n') == std::string::npos, "problem over several lines: '", p, "'");
}

// A project read is one that writes back the same, rooms and all, and whose rooms
// calculate without a crash.
void CheckProject(std::string_view bytes) {
    const ProjectRead read = ReadProject(bytes);
    if (!read.project) {
        RequireOneLineProblem(read.problem);
        return;
    }
    Require(read.problem.empty(), "a project and the problem '", read.problem, "'");
    Require(bytes.find('\0') == std::string_view::npos, "a project with a NUL byte accepted");
    const Project& project = *read.project;
    for (const Room& room : project.rooms) {
        Require(room.quantity >= 1 && room.quantity <= kMaxRoomQuantity, "quantity ", room.quantity,
                " accepted");
    }
    const std::string written = WriteProject(project);
    const ProjectRead again = ReadProject(written);
    Require(again.project.has_value(), "a project written back is refused: ", again.problem, "\n",
            written);
    Require(WriteProject(*again.project) == written, "writing a project is not stable");
    const Project& back = *again.project;
    Require(back.title == project.title && back.client == project.client &&
                back.site == project.site && back.reference == project.reference &&
                back.notes == project.notes && back.weather == project.weather,
            "the project's details changed");
    Require(back.rooms.size() == project.rooms.size(), "rooms lost");
    const std::vector<RoomResult> results = CalculateRooms(project);
    const ProjectTotals totals = TotalsOf(results);
    std::int64_t sum = 0;
    for (const auto units : totals.unitsBySize) {
        sum += units;
    }
    Require(sum == totals.units, "the totals per size do not add up");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckProject(bytes);
    const JobRead read = ReadJob(bytes);
    if (!read.job) {
        RequireOneLineProblem(read.problem);
        return 0;
    }
    Require(read.problem.empty(), "a job and the problem '", read.problem, "'");
    const Job& job = *read.job;
    for (const auto& [name, text] : job.entries) {
        Require(Known(job, name), "entry '", name, "' accepted");
    }
    const Entries named = ByName(job.entries);
    Require(std::adjacent_find(named.begin(), named.end(),
                               [](const auto& a, const auto& b) { return a.first == b.first; }) ==
                named.end(),
            "an entry given twice accepted");
    Require(bytes.find('\0') == std::string_view::npos, "a file with a NUL byte accepted");

    const std::string written = WriteJob(job);
    const JobRead again = ReadJob(written);
    Require(again.job.has_value(), "a job written back is refused: ", again.problem, "\n", written);
    const Job& back = *again.job;
    Require(back.kind == job.kind, "the calculation changed");
    Require(back.title == job.title && back.notes == job.notes, "title or notes changed");
    Require(back.writtenBy == JobWriterName(), "written by '", back.writtenBy, "'");
    Require(ByName(back.entries) == ByName(job.entries), "the entries changed:\n", written);
    Require(WriteJob(back) == written, "writing is not stable");

    // Every text reaches its field.
    if (job.kind == JobKind::Zone) {
        const ZoneTexts texts = JobToZoneTexts(job);
        for (const auto& [name, text] : job.entries) {
            Require(texts.*FindEntry<ZoneTexts, ZoneInputs>(kZoneFields, name)->text == text, name,
                    " lost its text");
        }
    } else {
        const PoolTexts texts = JobToPoolTexts(job);
        for (const auto& [name, text] : job.entries) {
            Require(texts.*FindEntry<PoolTexts, PoolInputs>(kPoolFields, name)->text == text, name,
                    " lost its text");
        }
    }
    return 0;
}
