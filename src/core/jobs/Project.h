#pragma once

#include "core/jobs/JobFile.h"
#include "core/weather/DesignLocations.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Projects (.vdhproj): a building's rooms in one file, each a job as a job file
// holds it with its name, how many identical rooms there are and the unit size
// chosen for it. Results are never stored; every row and total is worked out
// again from the entries. The format is described in docs/project-format.md.

inline constexpr std::string_view kProjectFormatName = "varneldh-project";
inline constexpr int kProjectFormatVersion = 1;
inline constexpr std::string_view kProjectFileSuffix = ".vdhproj";
// A room takes well under a kilobyte; this is room for thousands.
inline constexpr std::size_t kProjectMaxBytes = std::size_t{16} << 20;
inline constexpr int kMaxRoomQuantity = 10000;

// The unit sizes in the order of the calculations' counts.
inline constexpr std::array<std::string_view, 3> kUnitSizeNames{"HX 100", "HX 160", "HX 200"};

// The size chosen for a room: one of the three, or the size whose rounded-up
// count is lowest (the smallest such size on a tie).
enum class SizeChoice { Hx100, Hx160, Hx200, Fewest };

// "100", "160", "200" or "fewest", as the file and the CSV schedule name them.
std::string_view SizeChoiceKey(SizeChoice size);
std::optional<SizeChoice> SizeChoiceKeyed(std::string_view key);
// "HX 100" ... or "Fewest units", as the window and the report show it.
std::string_view SizeChoiceCaption(SizeChoice size);

// The design weather the project uses: none, a picker location by its name, or a
// point of a weather file given by its path relative to the project file.
struct DesignWeather {
    enum class Source { None, Location, WeatherFile };
    Source source = Source::None;
    std::string location;    // Location
    std::string weatherFile; // WeatherFile: '/'-separated, relative to the project file
    std::string point;       // WeatherFile: the point picked, as the file names it

    bool operator==(const DesignWeather&) const = default;
};

struct Room {
    std::string name;
    int quantity = 1; // identical rooms, 1 to kMaxRoomQuantity
    SizeChoice size = SizeChoice::Fewest;
    Job job;
};

struct Project {
    std::string title;
    std::string client;
    std::string site;
    std::string reference;
    std::string notes;
    std::string writtenBy; // as read; WriteProject writes this program's own
    DesignWeather weather;
    std::vector<Room> rooms;
};

// The project as the text of a project file (UTF-8 JSON, ending in a line feed).
std::string WriteProject(const Project& project);

// A project read from a file's bytes, or what is wrong with them, worded to follow
// the file's name as a job file's problems are. A damaged room refuses the whole.
struct ProjectRead {
    std::optional<Project> project;
    std::string problem;
    bool unopened = false;
};

ProjectRead ReadProject(std::string_view bytes);
ProjectRead ReadProjectFile(const std::filesystem::path& path);

// A job file or a project file: a project by its suffix, else by its format. The
// file is read once, so that a pipe may be given. A file that is neither is
// refused as a job file.
struct JobOrProjectRead {
    bool isProject = false;
    JobRead job;         // when not isProject
    ProjectRead project; // when isProject
};
JobOrProjectRead ReadJobOrProjectFile(const std::filesystem::path& path);

// A room's calculation: its outcome, gain and the units it takes.
struct RoomResult {
    // "Completed", "EnvelopeRejected", "RatesRejected", or "Refused" for an entry
    // the check chain refused.
    std::string outcome;
    bool completed = false;
    std::optional<double> totalGain;  // litres/day, when completed
    std::array<int, 3> unitsBySize{}; // units of each size for one room, rounded up
    int sizeIndex = -1;               // the size taken, when completed
    int unitsPerRoom = 0;
    std::int64_t unitsInAll = 0; // quantity × per room
    std::string message;         // the refusal's or the calculation's
    std::string messageField;    // the entry it is about, if any
};

RoomResult CalculateRoom(const Room& room);
std::vector<RoomResult> CalculateRooms(const Project& project);

// The units of the completed rooms, per size and in all, and the rooms that are
// left out (by their place in the project) because they did not complete.
struct ProjectTotals {
    std::array<std::int64_t, 3> unitsBySize{};
    std::int64_t units = 0;
    std::vector<std::size_t> leftOut;
};

ProjectTotals TotalsOf(const std::vector<RoomResult>& results);

// "Left out of the totals: \"Plant room\" (Refused), ..." or empty.
std::string LeftOutText(const Project& project, const ProjectTotals& totals);
