#pragma once

#include "core/report/CalcReport.h"
#include "core/weather/DesignPoints.h"
#include "core/weather/Epw.h"
#include "core/weather/Year.h"
#include "core/zone/ZoneCalc.h"

#include <QString>

#include <memory>
#include <vector>

class QWidget;

// A weather file read whole, with its design points.
struct LoadedWeather {
    QString path;
    Weather::WeatherFile file;
    std::vector<Weather::DesignPoint> points;
};

// A year run from the zone screen's entries on a weather file, with what its
// window and the report show of it.
struct ZoneYear {
    ZoneTexts texts;
    std::shared_ptr<const LoadedWeather> weather;
    Weather::Year year;
    std::vector<CalcReport::Table> tables;
    std::vector<Weather::DurationPoint> curve;
    std::vector<Weather::CapacityLine> lines;
};

// What the zone screen remembers between its windows: the weather file last
// opened (the picker shows it again, the year runs on it) and the last year run.
struct WeatherMemory {
    std::shared_ptr<const LoadedWeather> weather;
    std::shared_ptr<const ZoneYear> year;
};

// Points of the load-duration curve drawn: far fewer than the hours, the
// highest and the lowest among them.
inline constexpr std::size_t kCurvePoints = 201;

// Asks for a weather file; empty when none was chosen.
QString ChooseWeatherFile(QWidget* parent);

// Reads that file. One refused, or one that cannot be read, is said in one
// message naming it, and gives null.
std::shared_ptr<const LoadedWeather> LoadWeatherFile(QWidget* parent, const QString& path);

// The year's window and report texts and curve, from the engine's records.
std::shared_ptr<const ZoneYear> MakeZoneYear(std::shared_ptr<const LoadedWeather> weather,
                                             ZoneTexts texts, Weather::Year year);

// Whether two sets of the zone's entry texts are the same, field by field.
bool SameEntries(const ZoneTexts& a, const ZoneTexts& b);

// "Station line: point caption", as the report names the design weather picked.
QString DesignPointLocation(const LoadedWeather& weather, const Weather::DesignPoint& point);
