#pragma once

#include "common/CalcResult.h"
#include "common/EntryField.h"
#include "psychrometrics/Psychrometrics.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The swimming-pool calculation: evaporation, occupant gains and unit counts.

// The entry texts of the pool screen as typed.
struct PoolTexts {
    std::string txtPresskPa = "101.325";
    std::string txttemp = "29";
    std::string txtrh = "60";
    std::string txtpooltemp = "28";
    std::string txtOccupancy = "0";
    std::string cmbOccupancy2 = "0";
    std::string txtpoolarea = "50";
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

struct PoolNumbers {
    Psychrometrics::AirState roomAir;
    Psychrometrics::AirState surfaceAir; // saturated at the water temperature
    Psychrometrics::WetBulb wetBulb;
    double occupancy = 0;
    double metabolicGain = 0;
    double referenceEvaporation = 0; // kg/day, shown only
    double evaporation = 0;          // litres/day
    double totalGain = 0;
    std::optional<double> rate100;
    double rate160 = 0;
    double rate200 = 0;
    double count100 = 0;
    double count160 = 0;
    double count200 = 0;
};

struct PoolResult : CalcResult {
    PoolNumbers numbers;
};

// The pool run also writes the wet-bulb iteration count into this field of the
// building-zone screen.
inline constexpr std::string_view kZoneIterationsField = "frmMethod1.txtiter";

// The entry fields in reading order, with captions and initial texts.
extern const std::array<EntryField, 7> kPoolFields;

// The member of PoolTexts named by a field's objectName, or null.
std::string* PoolTextField(PoolTexts& texts, std::string_view name);

// The check chain on the entry texts.
CheckResult<PoolInputs> ValidatePoolInputs(const PoolTexts& texts);

// Evaporation, gains, rates and unit counts of validated inputs.
PoolResult CalculatePool(const PoolInputs& in);
