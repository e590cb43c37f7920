#pragma once

#include "core/pool/EvaporationMethods.h"
#include "core/pool/PoolCalc.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/zone/ZoneCalc.h"

#include <optional>
#include <string>
#include <vector>

// What a calculation report says about the last completed run of a screen,
// laid out as headed tables of texts, and the states it puts on the chart. The
// texts are those the screen shows, taken from the result it applied.
namespace CalcReport {

// One completed Calculate of the building-zone screen: the entry texts as
// typed, the numbers read from them, the warnings the checks raised on the way
// and the result the screen applied.
struct ZoneRun {
    ZoneTexts texts;
    ZoneInputs inputs;
    std::vector<std::string> warnings;
    ZoneResult result;
    std::string designLocation; // the picked design weather; empty when none
};

struct PoolRun {
    PoolTexts texts;
    PoolInputs inputs;
    std::vector<std::string> warnings;
    PoolResult result;
};

struct Table {
    std::string heading;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

// What the caller knows and the run does not.
struct Header {
    std::string calculation; // the screen's caption
    std::string jobTitle;    // empty when the job has none
    std::string created;     // date and time, written the reader's way
};

struct Content {
    std::string title;
    std::string calculation;
    std::string jobTitle;
    std::string created;
    std::string program;
    std::string designLocation;
    std::vector<Table> tables;
    std::vector<std::string> warnings;
    // Why no unit is needed, where the checks have nothing to warn of but the
    // counts are all "0"; empty otherwise.
    std::string noUnitsReason;
    std::vector<std::string> notes;
};

inline constexpr const char* kTitle = "Calculation Report";
// The two calculation screens' captions, as a report names its calculation.
inline constexpr const char* kZoneCalculation = "Detailed Calculation";
inline constexpr const char* kPoolCalculation = "Swimming Pool Evaporation Rate Only";

// "Varnel DH" and the program's version.
std::string ProgramName();

// The details (air properties, removal rates, the wet bulb's passes, the
// reference evaporation) are included only when asked for: they are behind the
// password on the screen and so on paper. The pool's evaporation by the other
// methods is not, and takes VDI 2089-1's coefficient for poolType.
Content ZoneContent(const ZoneRun& run, const Header& header, bool withDetails);
Content PoolContent(const PoolRun& run, const Header& header, bool withDetails,
                    EvaporationMethods::PoolType poolType = EvaporationMethods::kDefaultPoolType);

inline constexpr const char* kMethodsHeading = "Evaporation by Other Methods";
inline constexpr const char* kOutOfRangeHeading = "Outside its published range";

// The whole number of units that covers a count, rounded up; none when the
// screen writes a plain "0" because there is no load to remove.
int UnitsToInstall(double count, bool loadPositive);

// A state the chart plots, with what its label tells.
struct ChartState {
    std::string label;
    double t = 0;  // dry bulb, °C
    double rh = 0; // %
    Psychrometrics::AirState air;
    std::optional<double> wetBulb;
    bool dewPoint = true; // false for saturated air, whose dew point is not worked out
};

struct ChartData {
    double pressureKPa = 101.325;
    std::vector<ChartState> states; // the room first
};

ChartData ZoneChart(const ZoneRun& run);
ChartData PoolChart(const PoolRun& run);

} // namespace CalcReport
