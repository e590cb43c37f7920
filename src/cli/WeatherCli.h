#pragma once

#include "core/weather/Epw.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// varneldh-calc weather and year: a weather file's station and design points, and
// the building zone through the file's year.
namespace CalcCli {

// The weather file read, or its one message printed on err and `status` set:
// kExitWeatherRefused, or kExitNoInput when it cannot be opened.
std::optional<Weather::WeatherFile> LoadWeather(const std::string& path, std::ostream& err,
                                                int& status);

// The station and every design point with the two texts it writes.
int RunWeather(const std::string& path, bool json, std::ostream& out, std::ostream& err);

// The year for the zone entry texts (one per entry, in table order); with a
// hours path, every hour as CSV there too.
int RunYearCommand(const std::string& path, std::vector<std::string> entryTexts, bool json,
                   const std::string& hoursPath, std::ostream& out, std::ostream& err);

// Writes a file whole or not at all: into a temporary file beside the target,
// renamed into place once written; removed on failure. Returns kExitCompleted,
// kExitCantCreate or kExitIoError, with `error` saying what failed.
int WriteFileWhole(const std::filesystem::path& target,
                   const std::function<void(std::ostream&)>& write, std::string& error);

} // namespace CalcCli
