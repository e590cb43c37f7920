#pragma once

#include "core/common/CalcResult.h"
#include "core/common/Fields.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/units/DehumUnits.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The building-zone calculation: its entry texts, the check chain and the
// moisture gains and unit counts.

// The entry texts of the building-zone screen as typed; InitialZoneTexts() gives
// the screen's initial texts.
struct ZoneTexts {
    std::string pressure;
    std::string zoneTemp;
    std::string zoneRh;
    std::string occupancy;
    std::string ambientTemp;
    std::string ambientRh;
    std::string ventRate;
    std::string infilRate;
    std::string freshAir;
    std::string volume;
    std::string processGain;
    std::string poolGain;
    std::string activity; // matched exactly, not read as a number
};

// The validated numbers, read from ZoneTexts.
struct ZoneInputs {
    double pressure = 0;    // kPa
    double zoneTemp = 0;    // °C
    double zoneRh = 0;      // %
    double occupancy = 0;   // persons
    double ambientTemp = 0; // °C
    double ambientRh = 0;   // %
    double ventRate = 0;    // air changes per hour
    double infilRate = 0;   // air changes per hour
    double freshAir = 0;    // % of the ventilation air
    double volume = 0;      // m3
    double processGain = 0; // litres/hour
    double poolGain = 0;    // litres/day
};

// The numbers worked out; the rates and unit counts come with them.
struct ZoneNumbers : Dehum_Units::UnitCounts {
    Psychrometrics::AirState zoneAir;
    Psychrometrics::AirState ambientAir;
    Psychrometrics::WetBulb wetBulb;
    double ventGain = 0;
    double peopleGain = 0;
    double infilGain = 0;
    double processGain = 0;
    double poolGain = 0;
    double totalGain = 0;
};

struct ZoneResult : CalcResult {
    ZoneNumbers numbers;
};

using ZoneEntry = EntrySpec<ZoneTexts, ZoneInputs>;

// The entry fields in reading order, then the activity list.
extern const std::array<ZoneEntry, 13> kZoneFields;

ZoneTexts InitialZoneTexts();

// The result fields of the screen, each once, grouped as the screen shows them.
extern const std::array<ResultSpec, 27> kZoneResults;

// The nine result fields that ClearZoneResults empties, in order.
extern const std::array<const ResultSpec*, 9> kZoneClearedResults;

// Litres/day given off per person for an activity text; 0 for any other text.
double ActivityRate(std::string_view activity);

// The check chain on the entry texts.
CheckResult<ZoneInputs> ValidateZoneInputs(const ZoneTexts& texts);

// The gains, rates and unit counts of validated inputs.
ZoneResult CalculateZone(const ZoneInputs& in, std::string_view activity);

// What CalculateZone adds up, for the year's hours to add up the same way: the
// air flows in m3/s, the moisture a flow carries in (ambient water in, zone water
// out, in litres/day) and the total in its order of addition.
namespace ZoneGains {

inline double VentilationFlow(const ZoneInputs& in) {
    return (in.ventRate * (in.freshAir * in.volume) / 100) / 3600;
}

inline double InfiltrationFlow(const ZoneInputs& in) {
    return (in.infilRate * in.volume) / 3600;
}

// The zone's side of a flow gain, W_z * (rho_z * q): the same for every ambient air.
inline double ZoneWater(double q, double zoneW, double zoneD) {
    return zoneW * (zoneD * q);
}

inline double FlowGain(double q, double zoneWater, double ambientW, double ambientD) {
    return (ambientW * (ambientD * q) - zoneWater) * 3600 * 24;
}

inline double Total(double people, double vent, double infil, double process, double pool) {
    return (((people + vent) + infil) + process) + pool;
}

} // namespace ZoneGains
