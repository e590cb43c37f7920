#pragma once

#include "core/jobs/Project.h"
#include "core/report/CalcReport.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What a project's report says: a cover, a summary row for every room with the
// totals per size, the rooms left out of them, then each room's calculation
// report as its screen would give it. Every figure is worked out again from
// the rooms' entries.
namespace ProjectReport {

inline constexpr const char* kTitle = "Project Report";
inline constexpr const char* kSummaryHeading = "Rooms";
inline constexpr const char* kTotalsHeading = "Units to Install";

struct RoomReport {
    std::string name; // the room's name, or "Room N" when it has none
    // Its calculation report and chart, when its run completed.
    std::optional<CalcReport::Content> content;
    CalcReport::ChartData chart;
    // Why there is no report: the screen's caption, the outcome and its message.
    std::string calculation;
    std::string notCompleted;
};

struct Content {
    std::string title = kTitle;
    std::string projectTitle;
    std::string client;
    std::string site;
    std::string reference;
    std::string created;
    std::string program;
    std::string designWeather; // empty when the project names none
    CalcReport::Table summary;
    CalcReport::Table totals;
    std::string leftOut; // empty when every room counts
    std::vector<RoomReport> rooms;
};

// projectFile: where the project is (or will be) saved, from which a weather
// file's path starts; created: the date and time, written the reader's way.
Content Build(const Project& project, const std::filesystem::path& projectFile,
              const std::string& created);

} // namespace ProjectReport
