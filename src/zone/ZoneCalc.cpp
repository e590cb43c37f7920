#include "zone/ZoneCalc.h"

#include "common/EntryChecks.h"
#include "common/NumberText.h"
#include "units/DehumUnits.h"

#include <cmath>
#include <utility>

using NumberText::FormatFixed;
using NumberText::FormatGeneral;
using NumberText::ReadNumber;

const std::array<EntryField, 13> kZoneFields{{
    {"txtPresskPa", "Barometric Pressure (kPa)", "101.325"},
    {"txttemp", "Desired Zone Air Temperature (°C)", "28"},
    {"txtrh", "Desired Zone Relative Humidity (%)", "60"},
    {"txtOccupancy", "Occupancy (No. People)", "0"},
    {"txtTamb", "Ambient Air Temperature (°C)", "46"},
    {"txtAmbrh", "Ambient Relative Humidity (%)", "30"},
    {"txtVentrate", "Mechanical Ventilation Rate (a.c.h.)", "0"},
    {"txtInfil", "Natural Infiltration Rate (a.c.h.)", "1"},
    {"txtFreshair", "% Fresh Air (Mechanical Ventilation)", "20"},
    {"txtVol", "Zone Volume (m3)", "1000"},
    {"txtProcess", "Building Processes Gains (litres/hour)", "0"},
    {"txtSwimPoolGain", "Swimming Pool Gains (litres/day)", "0"},
    {"comboActivity", "Occupant Activity", "Office Work"},
}};

const std::array<std::string_view, 9> kZoneResultFields{
    "txtPeopleGain", "txtVentGain", "txtInfilGain", "txtProcessGain", "txtSwimPoolGain1",
    "txtTotGain",    "txt100s",     "txt160s",      "txt200s"};

std::string* ZoneTextField(ZoneTexts& t, std::string_view name) {
    static constexpr std::pair<std::string_view, std::string ZoneTexts::*> kSlots[] = {
        {"txtPresskPa", &ZoneTexts::txtPresskPa},
        {"txttemp", &ZoneTexts::txttemp},
        {"txtrh", &ZoneTexts::txtrh},
        {"txtOccupancy", &ZoneTexts::txtOccupancy},
        {"txtTamb", &ZoneTexts::txtTamb},
        {"txtAmbrh", &ZoneTexts::txtAmbrh},
        {"txtVentrate", &ZoneTexts::txtVentrate},
        {"txtInfil", &ZoneTexts::txtInfil},
        {"txtFreshair", &ZoneTexts::txtFreshair},
        {"txtVol", &ZoneTexts::txtVol},
        {"txtProcess", &ZoneTexts::txtProcess},
        {"txtSwimPoolGain", &ZoneTexts::txtSwimPoolGain},
    };
    for (const auto& [slotName, member] : kSlots) {
        if (slotName == name) {
            return &(t.*member);
        }
    }
    return nullptr;
}

double ActivityRate(std::string_view activity) {
    static constexpr std::pair<std::string_view, double> kRates[] = {
        {"Labouring", 2.496},
        {"Social", 1.992},
        {"Office Work", 0.073 * 24}, // the product, one unit in the last place below 1.752
        {"Sleeping", 1.008},
    };
    for (const auto& [name, rate] : kRates) {
        if (name == activity) {
            return rate;
        }
    }
    return 0;
}

namespace {

constexpr std::string_view kGuideHint =
    "If you do not know this value press the   \"Guide.....\"   button to the right of this data "
    "entry field for assistance in choosing a value.";

std::string WithGuide(std::string_view lead) {
    return std::string(lead) + std::string(kGuideHint);
}

} // namespace

CheckResult<ZoneInputs> ValidateZoneInputs(const ZoneTexts& t) {
    CheckResult<ZoneInputs> r;
    ZoneInputs in;
    in.pressure = ReadNumber(t.txtPresskPa);
    in.zoneTemp = ReadNumber(t.txttemp);
    in.zoneRh = ReadNumber(t.txtrh);
    in.occupancy = ReadNumber(t.txtOccupancy);
    in.ambientTemp = ReadNumber(t.txtTamb);
    in.ambientRh = ReadNumber(t.txtAmbrh);
    in.ventRate = ReadNumber(t.txtVentrate);
    in.infilRate = ReadNumber(t.txtInfil);
    in.freshAir = ReadNumber(t.txtFreshair);
    in.volume = ReadNumber(t.txtVol);
    in.processGain = ReadNumber(t.txtProcess);
    in.poolGain = ReadNumber(t.txtSwimPoolGain);

    r.refusal = EntryChecks::RefuseOutOfScale({{"txtPresskPa", in.pressure},
                                               {"txttemp", in.zoneTemp},
                                               {"txtrh", in.zoneRh},
                                               {"txtOccupancy", in.occupancy},
                                               {"txtTamb", in.ambientTemp},
                                               {"txtAmbrh", in.ambientRh},
                                               {"txtVentrate", in.ventRate},
                                               {"txtInfil", in.infilRate},
                                               {"txtFreshair", in.freshAir},
                                               {"txtVol", in.volume},
                                               {"txtProcess", in.processGain},
                                               {"txtSwimPoolGain", in.poolGain}},
                                              "txtPresskPa", in.pressure);
    if (r.refusal) {
        return r;
    }

    auto refuse = [&r](std::string_view field, std::string message) {
        r.refusal = Refusal{std::string(field), std::move(message)};
        return r;
    };

    if (in.ventRate > 10) {
        r.warnings.emplace_back("ENTERED MECHANICAL VENTILATION RATE UNEXPECTEDLY HIGH - The "
                                "following answers assume this value is correct.");
    }
    if (in.ventRate < 0) {
        return refuse("txtVentrate",
                      "Mechanical ventilation rate cannot be less than zero. Please enter a "
                      "valid value.");
    }
    if (t.txtInfil.empty()) {
        return refuse("txtInfil",
                      WithGuide("Please enter a value for the natural infiltration rate. "));
    }
    if (in.infilRate < 0) {
        return refuse("txtInfil", WithGuide("Natural infiltration rate cannot be less than zero. "
                                            "- Please enter a valid value. "));
    }
    if (in.infilRate > 5.1) {
        r.warnings.push_back(
            WithGuide("LARGE NATURAL INFILTRATION RATE - Are you sure this value is correct. ") +
            " Answers will be calculated using this value.");
    }
    if (t.txtVentrate.empty()) {
        return refuse("txtVentrate", WithGuide("NO VALUE SPECIFIED FOR THE MECHANICAL VENTILATION "
                                               "RATE - Please enter a valid value. "));
    }
    if (in.freshAir < 0 || in.freshAir > 100) {
        return refuse("txtFreshair", "FRESH AIR SUPPLY RATE NOT VALID - Please enter a value for "
                                     "the % fresh air between 0% and 100%.");
    }
    if (in.volume == 0 || in.volume < 20) {
        return refuse("txtVol", "SPACE VOLUME NOT VALID - Please enter a value greater than 20");
    }
    if (in.volume > 9999) {
        r.warnings.emplace_back("LARGE SPACE VOLUME - Are you sure this value is correct. Answers "
                                "will be calculated using this value.");
    }
    if (in.ambientTemp == 0) {
        return refuse("txtTamb", "Please enter a valid value for the ambient temperature.");
    }
    if (in.ambientTemp < 0 || in.ambientTemp > 50) {
        return refuse("txtTamb", "ENTERED AMBIENT TEMPERATURE OUT OF RANGE - Please enter a valid "
                                 "value for the ambient temperature between 0 °C and 50 °C.");
    }
    if (in.ambientRh == 0) {
        return refuse("txtAmbrh", "Please enter a valid value for the ambient RH.");
    }
    if (in.ambientRh < 0 || in.ambientRh > 100) {
        return refuse("txtAmbrh", "The ambient RH must be in the range 0% - 100% - Please enter a "
                                  "valid value for the ambient RH.");
    }
    if (in.zoneTemp == 0) {
        return refuse("txttemp", "Please enter a valid value for the space temperature.");
    }
    if (in.zoneRh == 0) {
        return refuse("txtrh", "Please enter a valid value for the zone RH.");
    }
    if (in.zoneRh > 100) {
        return refuse("txtrh", "RH cannot be greater than 100% - please enter a valid value");
    }
    if (in.zoneRh < 0) {
        return refuse("txtrh", "RH cannot be less than 0% - please enter a valid value");
    }
    if (in.zoneTemp < 0 || in.zoneTemp > 50) {
        return refuse("txttemp", "Space air temperature is out of range - please enter a "
                                 "temperature between 0 °C and 50 °C.");
    }
    r.inputs = in;
    return r;
}

namespace {

constexpr std::string_view kEnvelopeMessage =
    "Operating conditions out of range for dehumidification units. Please enter alternative "
    "desired zone temperature and RH or contact Varnel for further advice";
constexpr std::string_view kRatesMessage =
    "Operating conditions out of range for HX units. Please enter alternative desired zone "
    "temperature and RH or contact Varnel for further advice";

// Moisture carried in by an air flow of q m3/s: ambient water in, zone water out,
// in litres/day.
double FlowGain(double q, const Psychrometrics::AirState& zone,
                const Psychrometrics::AirState& ambient) {
    const double mz = zone.d * q;
    const double ma = ambient.d * q;
    return (ambient.W * ma - zone.W * mz) * 3600 * 24;
}

} // namespace

ZoneResult CalculateZone(const ZoneInputs& in, std::string_view activity) {
    ZoneResult r;
    ZoneNumbers& n = r.numbers;
    auto write = [&r](std::string_view field, std::string text) {
        r.fieldTexts.push_back({std::string(field), std::move(text)});
    };

    const double pressurePa = in.pressure * 1000;

    n.zoneAir = Psychrometrics::ComputeAirState(in.zoneTemp, in.zoneRh, in.pressure);
    write("txtpws1", FormatFixed(n.zoneAir.pws, 2));
    write("txtpw1", FormatFixed(n.zoneAir.pw, 2));
    write("txtW1", FormatFixed(n.zoneAir.W, 4));
    write("txtv1", FormatFixed(n.zoneAir.v, 2));
    write("txtd1", FormatFixed(n.zoneAir.d, 2));
    write("txth1", FormatFixed(n.zoneAir.h, 2));
    write("txtDP", FormatFixed(n.zoneAir.DP, 2));

    n.wetBulb = Psychrometrics::WetBulbTemperature(pressurePa, in.zoneTemp, n.zoneAir.W);
    // A search that did not settle has no wet bulb worth showing or rating.
    const bool searchFailed = !n.wetBulb.converged || !std::isfinite(n.wetBulb.temperature);
    write("txtiter", std::to_string(n.wetBulb.iterations));
    write("txtWBzone", searchFailed ? std::string() : FormatFixed(n.wetBulb.temperature, 2));

    if (searchFailed || !Dehum_Units::InsideEnvelope(n.wetBulb.temperature)) {
        r.outcome = Outcome::EnvelopeRejected;
        r.message = std::string(kEnvelopeMessage);
        r.focus = "txttemp";
        for (const std::string_view field : kZoneResultFields) {
            r.afterMessage.push_back({std::string(field), {}});
        }
        return r;
    }

    n.ambientAir = Psychrometrics::ComputeAirState(in.ambientTemp, in.ambientRh, in.pressure);
    write("txtpws2", FormatFixed(n.ambientAir.pws, 2));
    write("txtpw2", FormatFixed(n.ambientAir.pw, 2));
    write("txtW2", FormatFixed(n.ambientAir.W, 4));
    write("txtV2", FormatFixed(n.ambientAir.v, 2));
    write("txtd2", FormatFixed(n.ambientAir.d, 2));
    write("txth2", FormatFixed(n.ambientAir.h, 2));

    const double ventFlow = in.ventRate * (in.freshAir * in.volume) / 100;
    n.ventGain = FlowGain(ventFlow / 3600, n.zoneAir, n.ambientAir);
    write("txtVentGain", FormatFixed(n.ventGain, 2));

    n.peopleGain = in.occupancy * ActivityRate(activity);
    write("txtPeopleGain", FormatFixed(n.peopleGain, 2));

    n.infilGain = FlowGain((in.infilRate * in.volume) / 3600, n.zoneAir, n.ambientAir);
    write("txtInfilGain", FormatFixed(n.infilGain, 2));

    n.processGain = 24 * in.processGain;
    write("txtProcessGain", FormatFixed(n.processGain, 2));

    n.poolGain = in.poolGain;
    write("txtSwimPoolGain1", FormatGeneral(n.poolGain));

    n.totalGain = (((n.peopleGain + n.ventGain) + n.infilGain) + n.processGain) + n.poolGain;
    write("txtTotGain", FormatFixed(n.totalGain, 2));

    n.rate100 = Dehum_Units::UnitMoistureRemoval(n.wetBulb.temperature, in.zoneRh, in.zoneTemp);
    const Dehum_Units::Rates rates = Dehum_Units::RatesFor(n.rate100.value_or(0));
    n.rate160 = rates.r160;
    n.rate200 = rates.r200;
    if (!n.rate100 || !rates.AllPositive()) {
        r.outcome = Outcome::RatesRejected;
        r.message = std::string(kRatesMessage);
        for (const std::string_view field : {"txt100s", "txt160s", "txt200s"}) {
            r.afterMessage.push_back({std::string(field), {}});
        }
        return r;
    }

    n.count100 = n.totalGain / rates.r100;
    n.count160 = n.totalGain / rates.r160;
    n.count200 = n.totalGain / rates.r200;
    if (n.totalGain <= 0) {
        write("txt100s", "0");
        write("txt160s", "0");
        write("txt200s", "0");
    } else {
        write("txt100s", FormatFixed(n.count100, 1));
        write("txt160s", FormatFixed(n.count160, 1));
        write("txt200s", FormatFixed(n.count200, 1));
    }
    write("txtRate100", FormatGeneral(rates.r100));
    write("txtRate160", FormatGeneral(rates.r160));
    write("txtRate200", FormatGeneral(rates.r200));
    r.outcome = Outcome::Completed;
    return r;
}
