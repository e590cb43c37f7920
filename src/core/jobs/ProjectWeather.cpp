#include "core/jobs/ProjectWeather.h"

#include "core/common/NumberText.h"
#include "core/weather/Epw.h"

#include <algorithm>
#include <system_error>

std::string DesignPointId(const Weather::DesignPoint& point) {
    std::string id =
        NumberText::FormatGeneral(point.percent) + "% " +
        (point.kind == Weather::DesignKind::Dehumidification ? "dehumidification" : "cooling");
    if (point.fromFileYear) {
        id += std::string(" (") + Weather::kFromFileYear + ")";
    }
    return id;
}

const Weather::DesignPoint* FindDesignPoint(const std::vector<Weather::DesignPoint>& points,
                                            std::string_view id) {
    const auto it = std::find_if(points.begin(), points.end(),
                                 [id](const auto& point) { return DesignPointId(point) == id; });
    return it == points.end() ? nullptr : &*it;
}

std::filesystem::path WeatherFilePath(const std::filesystem::path& projectFile,
                                      std::string_view relative) {
    // The generic format takes '/' on every system.
    return (projectFile.parent_path() /
            std::filesystem::path(std::string(relative), std::filesystem::path::generic_format))
        .lexically_normal();
}

std::string WeatherFileReference(const std::filesystem::path& projectFile,
                                 const std::filesystem::path& weatherFile) {
    std::error_code error;
    const std::filesystem::path file =
        std::filesystem::absolute(weatherFile, error).lexically_normal();
    if (projectFile.empty() || error) {
        return file.generic_string();
    }
    const std::filesystem::path folder =
        std::filesystem::absolute(projectFile, error).parent_path().lexically_normal();
    const std::filesystem::path relative =
        error ? std::filesystem::path() : file.lexically_relative(folder);
    return (relative.empty() ? file : relative).generic_string();
}

void MoveWeatherFilePath(Project& project, const std::filesystem::path& from,
                         const std::filesystem::path& to) {
    DesignWeather& weather = project.weather;
    if (weather.source != DesignWeather::Source::WeatherFile ||
        (from.empty() && !std::filesystem::path(weather.weatherFile).is_absolute())) {
        return;
    }
    weather.weatherFile = WeatherFileReference(to, WeatherFilePath(from, weather.weatherFile));
}

DesignAmbient ResolveDesignWeather(const Project& project,
                                   const std::filesystem::path& projectFile) {
    DesignAmbient out;
    const DesignWeather& weather = project.weather;
    switch (weather.source) {
    case DesignWeather::Source::None:
        out.problem = "The project has no design weather.";
        return out;
    case DesignWeather::Source::Location: {
        const DesignLocation* location = FindDesignLocation(weather.location);
        if (location == nullptr) {
            out.problem =
                "The design weather \"" + weather.location + "\" is not a known location.";
            return out;
        }
        out.found = true;
        out.ambientTemp = location->ambientTemp;
        out.ambientRh = location->ambientRh;
        return out;
    }
    case DesignWeather::Source::WeatherFile:
        break;
    }
    const std::filesystem::path path = WeatherFilePath(projectFile, weather.weatherFile);
    const Weather::EpwRead read = Weather::ReadEpwFile(path);
    if (!read.file) {
        out.problem = Weather::EpwProblemMessage(weather.weatherFile, read.problem);
        return out;
    }
    const std::vector<Weather::DesignPoint> points = Weather::DesignPoints(*read.file);
    const Weather::DesignPoint* point = FindDesignPoint(points, weather.point);
    if (point == nullptr) {
        out.problem = Weather::EpwProblemMessage(weather.weatherFile,
                                                 "has no design point \"" + weather.point + "\".");
        return out;
    }
    out.found = true;
    out.ambientTemp = point->ambientTempText;
    out.ambientRh = point->ambientRhText;
    return out;
}

int ApplyDesignAmbient(Project& project, const DesignAmbient& ambient) {
    if (!ambient.found) {
        return 0;
    }
    int changed = 0;
    for (Room& room : project.rooms) {
        if (room.job.kind != JobKind::Zone) {
            continue;
        }
        ZoneTexts texts = JobToZoneTexts(room.job);
        texts.ambientTemp = ambient.ambientTemp;
        texts.ambientRh = ambient.ambientRh;
        room.job = ZoneJob(texts, room.job.title, room.job.notes);
        ++changed;
    }
    return changed;
}
