#include "cli/ProjectRun.h"

#include "cli/CalcCli.h"
#include "cli/MessageText.h"
#include "cli/RunJson.h"
#include "core/common/NumberText.h"
#include "core/csv/Csv.h"

#include <charconv>
#include <ostream>

namespace CalcCli {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kRoomColumn = "room";
constexpr std::string_view kQuantityColumn = "quantity";
constexpr std::string_view kSizeColumn = "size";

std::string Gain(double litresPerDay) {
    return NumberText::FormatFixed(litresPerDay, 2);
}

std::string SizeText(const Room& room, const RoomResult& r) {
    std::string text(kUnitSizeNames[static_cast<std::size_t>(r.sizeIndex)]);
    if (room.size == SizeChoice::Fewest) {
        text += " (fewest units)";
    }
    return text;
}

int StatusOf(const std::vector<RoomResult>& results) {
    int status = kExitCompleted;
    for (const RoomResult& r : results) {
        if (r.outcome == "Refused") {
            return kExitRefused;
        }
        if (!r.completed) {
            status = kExitRejected;
        }
    }
    return status;
}

Json WeatherJson(const DesignWeather& weather) {
    switch (weather.source) {
    case DesignWeather::Source::Location:
        return {{"location", weather.location}};
    case DesignWeather::Source::WeatherFile:
        return {{"weatherFile", weather.weatherFile}, {"point", weather.point}};
    case DesignWeather::Source::None:
        break;
    }
    return nullptr;
}

void PrintText(const Project& project, const std::vector<RoomResult>& results,
               const ProjectTotals& totals, std::ostream& out) {
    if (!project.title.empty()) {
        out << "project: " << Printable(project.title) << "\n";
    }
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Room& room = project.rooms[i];
        const RoomResult& r = results[i];
        out << "room " << i + 1 << ": " << Printable(room.name) << "\n";
        out << "  calculation: " << JobKindName(room.job.kind) << "\n";
        out << "  quantity: " << room.quantity << "\n";
        out << "  outcome: " << r.outcome << "\n";
        if (r.totalGain) {
            out << "  total gain: " << Gain(*r.totalGain) << " litres/day\n";
        }
        if (r.completed) {
            out << "  size: " << SizeText(room, r) << "\n";
            out << "  units per room: " << r.unitsPerRoom << "\n";
            out << "  units in all: " << r.unitsInAll << "\n";
        }
        if (!r.message.empty()) {
            out << "  message: " << Printable(r.message) << "\n";
        }
    }
    for (std::size_t s = 0; s < kUnitSizeNames.size(); ++s) {
        out << "total " << kUnitSizeNames[s] << ": " << totals.unitsBySize[s] << "\n";
    }
    out << "total units: " << totals.units << "\n";
    for (const std::size_t i : totals.leftOut) {
        out << "left out: room " << i + 1 << ": " << Printable(project.rooms[i].name) << " ("
            << results[i].outcome << ")\n";
    }
}

void PrintJsonProject(const Project& project, const std::vector<RoomResult>& results,
                      const ProjectTotals& totals, ReportOptions options, std::ostream& out) {
    Json rooms = Json::array();
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Room& room = project.rooms[i];
        const RoomResult& r = results[i];
        Json units = nullptr;
        if (r.completed) {
            units = Json::object();
            for (std::size_t s = 0; s < kUnitSizeNames.size(); ++s) {
                units[std::string(kUnitSizeNames[s])] = r.unitsBySize[s];
            }
        }
        options.jobTitle = room.name;
        rooms.push_back({
            {"name", room.name},
            {"quantity", room.quantity},
            {"size", SizeChoiceKey(room.size)},
            {"outcome", r.outcome},
            {"totalGain", r.totalGain ? Json(*r.totalGain) : Json(nullptr)},
            {"sizeChosen", r.completed ? Json(kUnitSizeNames[static_cast<std::size_t>(r.sizeIndex)])
                                       : Json(nullptr)},
            {"unitsBySize", std::move(units)},
            {"unitsPerRoom", r.unitsPerRoom},
            {"unitsInAll", r.unitsInAll},
            {"message", r.message.empty() ? Json(nullptr) : Json(r.message)},
            {"run", RunJson(RunJob(room.job), options)},
        });
    }
    Json sizes = Json::object();
    for (std::size_t s = 0; s < kUnitSizeNames.size(); ++s) {
        sizes[std::string(kUnitSizeNames[s])] = totals.unitsBySize[s];
    }
    Json leftOut = Json::array();
    for (const std::size_t i : totals.leftOut) {
        leftOut.push_back(
            {{"room", i + 1}, {"name", project.rooms[i].name}, {"outcome", results[i].outcome}});
    }
    const Json doc = {
        {"title", project.title},     {"client", project.client},
        {"site", project.site},       {"reference", project.reference},
        {"notes", project.notes},     {"designWeather", WeatherJson(project.weather)},
        {"rooms", std::move(rooms)},  {"totals", std::move(sizes)},
        {"totalUnits", totals.units}, {"leftOut", std::move(leftOut)},
    };
    out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

std::optional<int> Quantity(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > kMaxRoomQuantity) {
        return std::nullopt;
    }
    return value;
}

std::string Line(const Csv::Record& record, const std::string& what) {
    return "line " + std::to_string(record.line) + ": " + what;
}

} // namespace

int RunProject(const Project& project, const std::optional<ReportOptions>& json,
               std::ostream& out) {
    const std::vector<RoomResult> results = CalculateRooms(project);
    const ProjectTotals totals = TotalsOf(results);
    if (json) {
        PrintJsonProject(project, results, totals, *json, out);
    } else {
        PrintText(project, results, totals, out);
    }
    return StatusOf(results);
}

ScheduleRead ProjectFromSchedule(Calculation calc, std::istream& in) {
    Csv::Reader reader(in);
    Csv::Record record;
    if (!reader.Next(record)) {
        return {std::nullopt, reader.Stopped().empty() ? "line 1: no header row naming the "
                                                         "entry fields"
                                                       : reader.Stopped()};
    }
    if (!record.error.empty()) {
        return {std::nullopt, Line(record, "the header row is unreadable: " + record.error)};
    }
    // The entry each column sets, or -1 for the room's own columns.
    constexpr int kRoom = -1;
    constexpr int kQuantity = -2;
    constexpr int kSize = -3;
    std::vector<int> columns;
    for (const std::string& name : record.fields) {
        int index = name == kRoomColumn       ? kRoom
                    : name == kQuantityColumn ? kQuantity
                    : name == kSizeColumn     ? kSize
                                              : EntryIndex(calc, name);
        if (index == -1 && name != kRoomColumn) {
            return {std::nullopt,
                    Line(record, "unknown " + std::string(CalculationName(calc)) + " field '" +
                                     Printable(name) + "' in the header")};
        }
        if (std::find(columns.begin(), columns.end(), index) != columns.end()) {
            return {std::nullopt, Line(record, "field '" + Printable(name) + "' has two columns")};
        }
        columns.push_back(index);
    }

    const bool decimalComma = reader.Separator() == ';';
    const std::vector<std::string> initial = InitialEntryTexts(calc);
    const auto entries = Entries(calc);
    Project project;
    while (reader.Next(record)) {
        if (!record.error.empty()) {
            return {std::nullopt, Line(record, record.error)};
        }
        if (record.fields.size() != columns.size()) {
            return {std::nullopt, Line(record, std::to_string(record.fields.size()) +
                                                   " fields where the header has " +
                                                   std::to_string(columns.size()))};
        }
        Room room;
        room.name = "Room " + std::to_string(project.rooms.size() + 1);
        std::vector<std::string> texts = initial;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            std::string& field = record.fields[i];
            if (columns[i] == kRoom) {
                room.name = field;
            } else if (columns[i] == kQuantity) {
                const auto quantity = Quantity(field);
                if (!quantity) {
                    return {std::nullopt, Line(record, "quantity '" + Printable(field) +
                                                           "' is not a whole number from 1 to " +
                                                           std::to_string(kMaxRoomQuantity))};
                }
                room.quantity = *quantity;
            } else if (columns[i] == kSize) {
                const auto size = SizeChoiceKeyed(field);
                if (!size) {
                    return {std::nullopt, Line(record, "size '" + Printable(field) +
                                                           "' is not 100, 160, 200 or fewest")};
                }
                room.size = *size;
            } else {
                const auto entry = static_cast<std::size_t>(columns[i]);
                // A spreadsheet with a decimal comma writes the semicolon file: the
                // job keeps the number as the screens read it.
                if (decimalComma && entries[entry].number) {
                    std::replace(field.begin(), field.end(), ',', '.');
                }
                texts[entry] = std::move(field);
            }
        }
        room.job.kind = calc == Calculation::Zone ? JobKind::Zone : JobKind::Pool;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            room.job.entries.emplace_back(std::string(entries[i].name), texts[i]);
        }
        project.rooms.push_back(std::move(room));
    }
    if (!reader.Stopped().empty()) {
        return {std::nullopt, reader.Stopped()};
    }
    return {std::move(project), {}};
}

} // namespace CalcCli
