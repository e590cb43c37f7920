#pragma once

#include "core/jobs/Project.h"
#include "core/weather/DesignPoints.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A project's design weather taken from a weather file: the file by its path
// relative to the project file, and the point by a name that stays the same
// whichever handbook edition the file quotes.

// "0.4% dehumidification", "1% cooling"; the year's points add
// " (from this file's year)".
std::string DesignPointId(const Weather::DesignPoint& point);

// The point of that name, or none.
const Weather::DesignPoint* FindDesignPoint(const std::vector<Weather::DesignPoint>& points,
                                            std::string_view id);

// The weather file's path: `relative` ('/'-separated) from the project file's folder.
std::filesystem::path WeatherFilePath(const std::filesystem::path& projectFile,
                                      std::string_view relative);

// How a project saved at `projectFile` names `weatherFile`: relative to its
// folder ('/'-separated) when the two share a root, else absolute; absolute
// while the project has no file.
std::string WeatherFileReference(const std::filesystem::path& projectFile,
                                 const std::filesystem::path& weatherFile);

// The project's weather file path as the project saved at `to` must give it, so
// that saving into another folder still points at the same file: relative from
// there when the two share a root, else absolute. Unchanged when the weather is no
// weather file, or is a relative one of a project never saved (`from` empty).
void MoveWeatherFilePath(Project& project, const std::filesystem::path& from,
                         const std::filesystem::path& to);

// The ambient texts the project's design weather gives, or the one message
// saying why there are none.
struct DesignAmbient {
    bool found = false;
    std::string ambientTemp; // °C text, as the zone screen takes it
    std::string ambientRh;   // % text
    std::string problem;
};

// A picker location, or a weather file's point read from the file now. A
// project with no design weather gives a problem too.
DesignAmbient ResolveDesignWeather(const Project& project,
                                   const std::filesystem::path& projectFile);

// Writes the ambient texts into every zone room's two ambient entries; pool rooms
// have none. Returns the number of rooms changed.
int ApplyDesignAmbient(Project& project, const DesignAmbient& ambient);
