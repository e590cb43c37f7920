#pragma once

#include "common/CalcResult.h"
#include "common/EntryField.h"
#include "psychrometrics/Psychrometrics.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The building-zone calculation: its entry texts, the check chain and the
// moisture gains and unit counts.

// The entry texts of the building-zone screen as typed.
struct ZoneTexts {
    std::string txtPresskPa = "101.325";
    std::string txttemp = "28";
    std::string txtrh = "60";
    std::string txtOccupancy = "0";
    std::string txtTamb = "46";
    std::string txtAmbrh = "30";
    std::string txtVentrate = "0";
    std::string txtInfil = "1";
    std::string txtFreshair = "20";
    std::string txtVol = "1000";
    std::string txtProcess = "0";
    std::string txtSwimPoolGain = "0";
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

struct ZoneNumbers {
    Psychrometrics::AirState zoneAir;
    Psychrometrics::AirState ambientAir;
    Psychrometrics::WetBulb wetBulb;
    double ventGain = 0;
    double peopleGain = 0;
    double infilGain = 0;
    double processGain = 0;
    double poolGain = 0;
    double totalGain = 0;
    std::optional<double> rate100;
    double rate160 = 0;
    double rate200 = 0;
    double count100 = 0;
    double count160 = 0;
    double count200 = 0;
};

struct ZoneResult : CalcResult {
    ZoneNumbers numbers;
};

// The entry fields in reading order, then the activity list, with captions and
// initial texts.
extern const std::array<EntryField, 13> kZoneFields;

// The member of ZoneTexts named by a field's objectName, or null.
std::string* ZoneTextField(ZoneTexts& texts, std::string_view name);

// Litres/day given off per person for an activity text; 0 for any other text.
double ActivityRate(std::string_view activity);

// The check chain on the entry texts.
CheckResult<ZoneInputs> ValidateZoneInputs(const ZoneTexts& texts);

// The gains, rates and unit counts of validated inputs.
ZoneResult CalculateZone(const ZoneInputs& in, std::string_view activity);

// The nine result fields that ClearZoneResults empties, in order.
extern const std::array<std::string_view, 9> kZoneResultFields;
