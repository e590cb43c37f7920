#include "core/jobs/Project.h"

#include "core/jobs/JobJson.h"
#include "core/pool/PoolCalc.h"
#include "core/report/CalcReport.h"
#include "core/zone/ZoneCalc.h"

#include <algorithm>
#include <utility>

namespace {

using JobJson::Damaged;
using JobJson::Json;
using JobJson::OrderedJson;
using JobJson::Quoted;

const JobJson::FileKind kProjectKind{"project file", kProjectFormatName, kProjectMaxBytes};

constexpr const char* kFormatKey = "format";
constexpr const char* kVersionKey = "formatVersion";
constexpr const char* kWrittenByKey = "writtenBy";
constexpr const char* kTitleKey = "title";
constexpr const char* kClientKey = "client";
constexpr const char* kSiteKey = "site";
constexpr const char* kReferenceKey = "reference";
constexpr const char* kNotesKey = "notes";
constexpr const char* kWeatherKey = "designWeather";
constexpr const char* kLocationKey = "location";
constexpr const char* kWeatherFileKey = "weatherFile";
constexpr const char* kPointKey = "point";
constexpr const char* kRoomsKey = "rooms";
constexpr const char* kNameKey = "name";
constexpr const char* kQuantityKey = "quantity";
constexpr const char* kSizeKey = "size";
constexpr const char* kJobKey = "job";

ProjectRead Refused(std::string problem) {
    return {std::nullopt, std::move(problem), false};
}

std::string RoomPlace(std::size_t index) {
    return "room " + std::to_string(index + 1);
}

// "in room N, WHAT" of a room's problem, keeping a newer job format's own words.
std::string InRoom(std::size_t index, const std::string& problem) {
    constexpr std::string_view kDamaged = "is damaged: ";
    if (problem.starts_with("was written by")) {
        return problem.substr(0, problem.size() - 1) + " in " + RoomPlace(index) + ")";
    }
    const std::string what =
        problem.starts_with(kDamaged) ? problem.substr(kDamaged.size()) : "its job " + problem;
    return Damaged("in " + RoomPlace(index) + ", " + what);
}

bool ReadWeather(const Json& doc, DesignWeather& weather, std::string& problem) {
    const auto found = doc.find(kWeatherKey);
    if (found == doc.end() || found->is_null()) {
        return true;
    }
    if (!found->is_object()) {
        problem = Damaged(Quoted(kWeatherKey) + " is not a set of named texts");
        return false;
    }
    const bool hasLocation = found->contains(kLocationKey);
    const bool hasFile = found->contains(kWeatherFileKey);
    if (hasLocation == hasFile) {
        problem = Damaged(Quoted(kWeatherKey) + " must name either a " + Quoted(kLocationKey) +
                          " or a " + Quoted(kWeatherFileKey));
        return false;
    }
    if (hasLocation) {
        weather.source = DesignWeather::Source::Location;
        if (!JobJson::ReadText(*found, kLocationKey, weather.location, problem)) {
            return false;
        }
        if (FindDesignLocation(weather.location) == nullptr) {
            problem = Damaged(Quoted(weather.location) + " is not a design weather location");
            return false;
        }
        return true;
    }
    weather.source = DesignWeather::Source::WeatherFile;
    return JobJson::ReadText(*found, kWeatherFileKey, weather.weatherFile, problem) &&
           JobJson::ReadText(*found, kPointKey, weather.point, problem);
}

bool ReadRoom(const Json& item, std::size_t index, Room& room, std::string& problem) {
    if (!item.is_object()) {
        problem = Damaged(RoomPlace(index) + " is not a set of named values");
        return false;
    }
    if (!JobJson::ReadText(item, kNameKey, room.name, problem)) {
        problem = InRoom(index, problem);
        return false;
    }
    if (const auto quantity = item.find(kQuantityKey); quantity != item.end()) {
        if (!quantity->is_number_integer() || *quantity < 1 || *quantity > kMaxRoomQuantity) {
            problem =
                Damaged("in " + RoomPlace(index) + ", " + Quoted(kQuantityKey) +
                        " must be a whole number from 1 to " + std::to_string(kMaxRoomQuantity));
            return false;
        }
        room.quantity = quantity->get<int>();
    }
    if (const auto size = item.find(kSizeKey); size != item.end()) {
        const auto choice =
            size->is_string() ? SizeChoiceKeyed(size->get<std::string>()) : std::nullopt;
        if (!choice) {
            problem = Damaged("in " + RoomPlace(index) + ", " + Quoted(kSizeKey) +
                              R"( must be "100", "160", "200" or "fewest")");
            return false;
        }
        room.size = *choice;
    }
    const auto job = item.find(kJobKey);
    if (job == item.end()) {
        problem = Damaged("in " + RoomPlace(index) + ", " + Quoted(kJobKey) + " is missing");
        return false;
    }
    JobRead read = JobJson::JobFromJson(*job);
    if (!read.job) {
        problem = InRoom(index, read.problem);
        return false;
    }
    // Every entry, in the calculation's order: the room's texts read as a job
    // file's do, and the project is written back the same each time.
    const Job& given = *read.job;
    room.job = given.kind == JobKind::Zone
                   ? ZoneJob(JobToZoneTexts(given), given.title, given.notes)
                   : PoolJob(JobToPoolTexts(given), given.title, given.notes);
    return true;
}

// The units a count calls for, as the report rounds them up.
template <typename Numbers> void Count(const Numbers& n, bool loadPositive, RoomResult& r) {
    const double counts[3] = {n.count100, n.count160, n.count200};
    for (std::size_t i = 0; i < 3; ++i) {
        r.unitsBySize[i] = CalcReport::UnitsToInstall(counts[i], loadPositive);
    }
}

template <typename Checks> bool TakeRefusal(const Checks& checks, RoomResult& r) {
    if (!checks.refusal) {
        return false;
    }
    r.outcome = "Refused";
    r.message = checks.refusal->message;
    r.messageField = checks.refusal->field;
    return true;
}

void TakeOutcome(const CalcResult& result, RoomResult& r) {
    r.outcome = OutcomeName(result.outcome);
    r.completed = result.outcome == Outcome::Completed;
    r.message = result.message.value_or(std::string());
    r.messageField = result.focus.value_or(std::string());
}

} // namespace

std::string_view SizeChoiceKey(SizeChoice size) {
    switch (size) {
    case SizeChoice::Hx100:
        return "100";
    case SizeChoice::Hx160:
        return "160";
    case SizeChoice::Hx200:
        return "200";
    case SizeChoice::Fewest:
        break;
    }
    return "fewest";
}

std::optional<SizeChoice> SizeChoiceKeyed(std::string_view key) {
    for (const SizeChoice size :
         {SizeChoice::Hx100, SizeChoice::Hx160, SizeChoice::Hx200, SizeChoice::Fewest}) {
        if (SizeChoiceKey(size) == key) {
            return size;
        }
    }
    return std::nullopt;
}

std::string_view SizeChoiceCaption(SizeChoice size) {
    return size == SizeChoice::Fewest ? "Fewest units" : kUnitSizeNames[static_cast<int>(size)];
}

std::string WriteProject(const Project& project) {
    OrderedJson doc;
    doc[kFormatKey] = kProjectFormatName;
    doc[kVersionKey] = kProjectFormatVersion;
    doc[kWrittenByKey] = JobWriterName();
    doc[kTitleKey] = project.title;
    doc[kClientKey] = project.client;
    doc[kSiteKey] = project.site;
    doc[kReferenceKey] = project.reference;
    doc[kNotesKey] = project.notes;
    switch (project.weather.source) {
    case DesignWeather::Source::None:
        doc[kWeatherKey] = nullptr;
        break;
    case DesignWeather::Source::Location:
        doc[kWeatherKey] = OrderedJson{{kLocationKey, project.weather.location}};
        break;
    case DesignWeather::Source::WeatherFile:
        doc[kWeatherKey] = OrderedJson{{kWeatherFileKey, project.weather.weatherFile},
                                       {kPointKey, project.weather.point}};
        break;
    }
    OrderedJson rooms = OrderedJson::array();
    for (const Room& room : project.rooms) {
        OrderedJson item;
        item[kNameKey] = room.name;
        item[kQuantityKey] = room.quantity;
        item[kSizeKey] = SizeChoiceKey(room.size);
        item[kJobKey] = JobJson::JobToJson(room.job);
        rooms.push_back(std::move(item));
    }
    doc[kRoomsKey] = std::move(rooms);
    return JobJson::Dump(doc);
}

ProjectRead ReadProject(std::string_view bytes) {
    JobJson::Parsed parsed = JobJson::Parse(bytes, kProjectKind, kProjectFormatVersion);
    if (!parsed.doc) {
        return Refused(std::move(parsed.problem));
    }
    const Json& doc = *parsed.doc;
    Project project;
    std::string problem;
    if (!JobJson::ReadText(doc, kWrittenByKey, project.writtenBy, problem) ||
        !JobJson::ReadText(doc, kTitleKey, project.title, problem) ||
        !JobJson::ReadText(doc, kClientKey, project.client, problem) ||
        !JobJson::ReadText(doc, kSiteKey, project.site, problem) ||
        !JobJson::ReadText(doc, kReferenceKey, project.reference, problem) ||
        !JobJson::ReadText(doc, kNotesKey, project.notes, problem) ||
        !ReadWeather(doc, project.weather, problem)) {
        return Refused(std::move(problem));
    }
    if (const auto rooms = doc.find(kRoomsKey); rooms != doc.end()) {
        if (!rooms->is_array()) {
            return Refused(Damaged(Quoted(kRoomsKey) + " is not a list"));
        }
        project.rooms.resize(rooms->size());
        for (std::size_t i = 0; i < rooms->size(); ++i) {
            if (!ReadRoom((*rooms)[i], i, project.rooms[i], problem)) {
                return Refused(std::move(problem));
            }
        }
    }
    return {std::move(project), {}, false};
}

ProjectRead ReadProjectFile(const std::filesystem::path& path) {
    JobJson::FileBytes file = JobJson::ReadBytes(path, kProjectKind);
    if (!file.problem.empty()) {
        return {std::nullopt, std::move(file.problem), file.unopened};
    }
    return ReadProject(file.bytes);
}

JobOrProjectRead ReadJobOrProjectFile(const std::filesystem::path& path) {
    JobOrProjectRead read;
    JobJson::FileBytes file = JobJson::ReadBytes(path, kProjectKind);
    const bool projectByName = path.extension() == kProjectFileSuffix;
    if (!file.problem.empty()) {
        read.isProject = projectByName;
        // The one problem that is not the system's: too large, for a job file's limit.
        read.job = {std::nullopt,
                    file.unopened ? file.problem
                                  : "is too large for a job file (more than " +
                                        std::to_string(kJobMaxBytes) + " bytes)",
                    file.unopened};
        read.project = {std::nullopt, std::move(file.problem), file.unopened};
        return read;
    }
    if (!projectByName) {
        read.job = ReadJob(file.bytes);
        if (read.job.job || read.job.problem != "is not a Varnel DH job file") {
            return read;
        }
    }
    read.project = ReadProject(file.bytes);
    read.isProject = projectByName || read.project.project ||
                     read.project.problem != "is not a Varnel DH project file";
    return read;
}

RoomResult CalculateRoom(const Room& room) {
    RoomResult r;
    if (room.job.kind == JobKind::Zone) {
        const ZoneTexts texts = JobToZoneTexts(room.job);
        const auto checks = ValidateZoneInputs(texts);
        if (TakeRefusal(checks, r)) {
            return r;
        }
        const ZoneResult result = CalculateZone(*checks.inputs, texts.activity);
        TakeOutcome(result, r);
        if (r.completed) {
            r.totalGain = result.numbers.totalGain;
            Count(result.numbers, result.numbers.totalGain > 0, r);
        }
    } else {
        const PoolTexts texts = JobToPoolTexts(room.job);
        const auto checks = ValidatePoolInputs(texts);
        if (TakeRefusal(checks, r)) {
            return r;
        }
        const PoolResult result = CalculatePool(*checks.inputs);
        TakeOutcome(result, r);
        if (r.completed) {
            r.totalGain = result.numbers.totalGain;
            // The pool's units cover its evaporation, as its report counts them.
            Count(result.numbers, result.numbers.evaporation > 0, r);
        }
    }
    if (r.completed) {
        if (room.size == SizeChoice::Fewest) {
            r.sizeIndex =
                static_cast<int>(std::min_element(r.unitsBySize.begin(), r.unitsBySize.end()) -
                                 r.unitsBySize.begin());
        } else {
            r.sizeIndex = static_cast<int>(room.size);
        }
        r.unitsPerRoom = r.unitsBySize[static_cast<std::size_t>(r.sizeIndex)];
        r.unitsInAll = std::int64_t{r.unitsPerRoom} * std::max(room.quantity, 1);
    }
    return r;
}

std::vector<RoomResult> CalculateRooms(const Project& project) {
    std::vector<RoomResult> results;
    results.reserve(project.rooms.size());
    for (const Room& room : project.rooms) {
        results.push_back(CalculateRoom(room));
    }
    return results;
}

ProjectTotals TotalsOf(const std::vector<RoomResult>& results) {
    ProjectTotals totals;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const RoomResult& r = results[i];
        if (!r.completed) {
            totals.leftOut.push_back(i);
            continue;
        }
        totals.unitsBySize[static_cast<std::size_t>(r.sizeIndex)] += r.unitsInAll;
        totals.units += r.unitsInAll;
    }
    return totals;
}

std::string LeftOutText(const Project& project, const ProjectTotals& totals) {
    if (totals.leftOut.empty()) {
        return {};
    }
    std::string text = "Left out of the totals:";
    for (std::size_t k = 0; k < totals.leftOut.size(); ++k) {
        const std::size_t i = totals.leftOut[k];
        const std::string& name = i < project.rooms.size() ? project.rooms[i].name : std::string();
        text += (k == 0 ? " " : ", ");
        text += name.empty() ? RoomPlace(i) : "\"" + name + "\"";
    }
    return text;
}
