#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// EnergyPlus weather files (.epw): the station, the handbook design data stored in
// the header, and the hourly records, of which only the dates, dry bulb, dew point,
// relative humidity and station pressure are kept.
namespace Weather {

// Far above a year of minutes (about 1.6 MB an hourly year); refused before it is read.
inline constexpr std::size_t kEpwMaxBytes = std::size_t{16} << 20;

// Fewer fields than this, and a record lacks the station pressure.
inline constexpr std::size_t kRecordFields = 10;

// At or above these the file marks a value as missing.
inline constexpr double kMissingTemperature = 99.9;
inline constexpr double kMissingRh = 999;
inline constexpr double kMissingPressure = 999999;

struct Station {
    std::string name;
    std::string region;
    std::string country;
    std::string source; // "TMY3", "IWEC", ...
    std::string wmo;    // as written: some stations have letters in it
    double latitude = 0;
    double longitude = 0;
    double timeZone = 0;  // hours from UTC
    double elevation = 0; // m
};

// One design point as the handbook tables give it; absent values are NaN.
struct StoredDehumidification {
    double percent = 0;
    double dewPoint = 0;      // °C
    double humidityRatio = 0; // g/kg
    double meanDryBulb = 0;   // mean coincident dry bulb, °C
};

struct StoredCooling {
    double percent = 0;
    double dryBulb = 0;     // °C
    double meanWetBulb = 0; // mean coincident wet bulb, °C
};

struct StoredDesign {
    std::string source;  // "Climate Design Data 2009 ASHRAE Handbook"
    std::string edition; // "2009", or empty when the source names no year
    std::vector<StoredDehumidification> dehumidification; // 0.4, 1, 2 % where readable
    std::vector<StoredCooling> cooling;                   // the same
};

// One record; a value the file marks missing (or leaves blank) is NaN.
struct Record {
    int year = 0;
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::uint8_t hour = 0;   // 1 to 24: the hour ending then
    std::uint8_t minute = 0; // 0 or 60 in hourly files
    double dryBulb = 0;      // °C
    double dewPoint = 0;     // °C
    double rh = 0;           // %
    double pressure = 0;     // Pa
};

// Hours (records weighted by their share of an hour) with each value missing.
struct MissingHours {
    double dryBulb = 0;
    double dewPoint = 0;
    double rh = 0;
    double pressure = 0;

    bool Any() const { return dryBulb > 0 || dewPoint > 0 || rh > 0 || pressure > 0; }
};

struct WeatherFile {
    Station station;
    std::optional<StoredDesign> design; // none for "DESIGN CONDITIONS,0" or no such line
    int recordsPerHour = 1;
    std::string periodStart; // as written, blanks taken out: "1/1"
    std::string periodEnd;
    std::vector<std::string> comments; // COMMENTS 1 and 2, in UTF-8
    std::vector<Record> records;
    MissingHours missing;
    // What was read but is worth saying: a short year, unreadable design data.
    std::vector<std::string> notes;

    // Each record as its share of an hour.
    double Weight() const { return 1.0 / recordsPerHour; }
    double Hours() const { return static_cast<double>(records.size()) * Weight(); }
    // Mean station pressure of the records that have one, in kPa; NaN when none do.
    double MeanPressureKPa() const;
};

// A file read from its bytes, or what is wrong with it: the line and what is
// wrong there, worded to follow the file's name.
struct EpwRead {
    std::optional<WeatherFile> file;
    std::string problem; // empty when file holds the file
};

EpwRead ReadEpw(std::string_view bytes);

// Reads at most kEpwMaxBytes + 1 bytes, so a huge file or a device that never ends
// is refused without being read whole. `cannotOpen` is set when it cannot be read.
EpwRead ReadEpwFile(const std::filesystem::path& path, bool* cannotOpen = nullptr);

// The one message shown for a refused file: The weather file "NAME" PROBLEM.
std::string EpwProblemMessage(std::string_view fileName, std::string_view problem);

// "Chicago Ohare Intl Ap, IL, USA (WMO 725300, 41.98° N 87.92° W, 201 m, TMY3)".
std::string StationLine(const Station& station);

} // namespace Weather
