#pragma once

#include "core/common/CalcResult.h"
#include "core/common/Fields.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/units/DehumUnits.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The swimming-pool calculation: evaporation, occupant gains and unit counts.

// The entry texts of the pool screen as typed; InitialPoolTexts() gives the
// screen's initial texts.
struct PoolTexts {
    std::string pressure;
    std::string roomTemp;
    std::string roomRh;
    std::string poolTemp;
    std::string bathers;
    std::string spectators;
    std::string area;
};

struct PoolInputs {
    double pressure = 0;   // kPa
    double roomTemp = 0;   // °C
    double roomRh = 0;     // %
    double poolTemp = 0;   // °C
    double bathers = 0;    // people using the pool
    double spectators = 0; // people not using the pool
    double area = 0;       // m2
};

// The numbers worked out; the rates and unit counts come with them.
struct PoolNumbers : Dehum_Units::UnitCounts {
    Psychrometrics::AirState roomAir;
    Psychrometrics::AirState surfaceAir; // saturated at the water temperature
    Psychrometrics::WetBulb wetBulb;
    double occupancy = 0;
    double metabolicGain = 0;
    double referenceEvaporation = 0; // kg/day, shown only
    double evaporation = 0;          // litres/day
    double totalGain = 0;
};

// Litres/day of moisture given off by each person in the hall, both occupancy types.
inline constexpr double kPoolPersonGain = 1.992;

struct PoolResult : CalcResult {
    PoolNumbers numbers;
};

using PoolEntry = EntrySpec<PoolTexts, PoolInputs>;

// The entry fields in reading order.
extern const std::array<PoolEntry, 7> kPoolFields;

PoolTexts InitialPoolTexts();

// The result fields of the screen, each once, grouped as the screen shows them.
// The wet bulb search's pass count has no field of its own here: the program
// shows it on the building-zone screen.
extern const std::array<ResultSpec, 26> kPoolResults;

// The result field that carries the wet bulb search's pass count.
extern const ResultSpec& kPoolIterations;

// The check chain on the entry texts.
CheckResult<PoolInputs> ValidatePoolInputs(const PoolTexts& texts);

// Evaporation, gains, rates and unit counts of validated inputs.
PoolResult CalculatePool(const PoolInputs& in);
