#include "core/zone/ZoneCalc.h"

#include "core/common/CalcStages.h"
#include "core/common/EntryChecks.h"

#include <tuple>
#include <utility>

using Z = ZoneTexts;
using I = ZoneInputs;

const std::array<ZoneEntry, 13> kZoneFields{{
    {"txtPresskPa", "Barometric Pressure (kPa)", "kPa", "101.325", &Z::pressure, &I::pressure},
    {"txttemp", "Desired Zone Air Temperature (°C)", "°C", "28", &Z::zoneTemp, &I::zoneTemp},
    {"txtrh", "Desired Zone Relative Humidity (%)", "%", "60", &Z::zoneRh, &I::zoneRh},
    {"txtOccupancy", "Occupancy (No. People)", "", "0", &Z::occupancy, &I::occupancy},
    {"txtTamb", "Ambient Air Temperature (°C)", "°C", "46", &Z::ambientTemp, &I::ambientTemp},
    {"txtAmbrh", "Ambient Relative Humidity (%)", "%", "30", &Z::ambientRh, &I::ambientRh},
    {"txtVentrate", "Mechanical Ventilation Rate (a.c.h.)", "a.c.h.", "0", &Z::ventRate,
     &I::ventRate},
    {"txtInfil", "Natural Infiltration Rate (a.c.h.)", "a.c.h.", "1", &Z::infilRate, &I::infilRate},
    {"txtFreshair", "% Fresh Air (Mechanical Ventilation)", "%", "20", &Z::freshAir, &I::freshAir},
    {"txtVol", "Zone Volume (m3)", "m3", "1000", &Z::volume, &I::volume},
    {"txtProcess", "Building Processes Gains (litres/hour)", "litres/hour", "0", &Z::processGain,
     &I::processGain},
    {"txtSwimPoolGain", "Swimming Pool Gains (litres/day)", "litres/day", "0", &Z::poolGain,
     &I::poolGain},
    {"comboActivity", "Occupant Activity", "", "Office Work", &Z::activity, nullptr},
}};

ZoneTexts InitialZoneTexts() {
    return InitialTexts<ZoneTexts, ZoneInputs>(kZoneFields);
}

namespace {

using P = Pattern;

// The detail grid: zone air, ambient air.
constexpr std::string_view kZone = "Zone";
constexpr std::string_view kAmbient = "Ambient";

} // namespace

const std::array<ResultSpec, 27> kZoneResults{{
    {"txtpws1", "pws (Pa)", "Pa", P::Fixed2, kZone, true},
    {"txtpw1", "pw  (Pa)", "Pa", P::Fixed2, kZone, true},
    {"txtW1", "W (kg/kg)", "kg/kg", P::Fixed4, kZone, true},
    {"txtv1", "v (m3/kg)", "m3/kg", P::Fixed2, kZone, true},
    {"txtd1", "p  (kg/m3)", "kg/m3", P::Fixed2, kZone, true},
    {"txth1", "h (kJ/kg)", "kJ/kg", P::Fixed2, kZone, true},
    {"txtDP", "Tdp (oC)", "°C", P::Fixed2, kZone, true},
    {"txtWBzone", "Wet Bulb (oC)", "°C", P::Fixed2, kZone, true},
    {"txtpws2", "pws (Pa)", "Pa", P::Fixed2, kAmbient, true},
    {"txtpw2", "pw  (Pa)", "Pa", P::Fixed2, kAmbient, true},
    {"txtW2", "W (kg/kg)", "kg/kg", P::Fixed4, kAmbient, true},
    {"txtV2", "v (m3/kg)", "m3/kg", P::Fixed2, kAmbient, true},
    {"txtd2", "p  (kg/m3)", "kg/m3", P::Fixed2, kAmbient, true},
    {"txth2", "h (kJ/kg)", "kJ/kg", P::Fixed2, kAmbient, true},
    {"txtiter", "WB Iterations", "", P::Whole, {}, true},
    {"txtRate100", "100", "litres/day", P::General, "Moisture Removal Rate", true},
    {"txtRate160", "160", "litres/day", P::General, "Moisture Removal Rate", true},
    {"txtRate200", "200", "litres/day", P::General, "Moisture Removal Rate", true},
    {"txtPeopleGain", "Occupant Gains (litres/day) ", "litres/day", P::Fixed2},
    {"txtVentGain", "Mechanical Ventilation Gain (litres/day)", "litres/day", P::Fixed2},
    {"txtInfilGain", "Infiltration Gain (litres/day)", "litres/day", P::Fixed2},
    {"txtProcessGain", "Building Process Gains (litres/day)", "litres/day", P::Fixed2},
    {"txtSwimPoolGain1", "Swimming Pool Gains (litres/day)", "litres/day", P::General},
    {"txtTotGain", "Total Moisture Gain (litres/day)", "litres/day", P::Fixed2},
    {"txt100s", "No. HX 100", "", P::Fixed1},
    {"txt160s", "No. HX 160", "", P::Fixed1},
    {"txt200s", "No. HX 200", "", P::Fixed1},
}};

namespace {

// The fields by their place in the table.
enum Out : std::size_t {
    pws1,
    pw1,
    W1,
    v1,
    d1,
    h1,
    DP,
    WBzone,
    pws2,
    pw2,
    W2,
    V2,
    d2,
    h2,
    iter,
    Rate100,
    Rate160,
    Rate200,
    PeopleGain,
    VentGain,
    InfilGain,
    ProcessGain,
    SwimPoolGain1,
    TotGain,
    n100s,
    n160s,
    n200s,
    kOutCount
};
static_assert(kOutCount == std::tuple_size_v<decltype(kZoneResults)>);

const ResultSpec& F(Out field) {
    return kZoneResults[field];
}

} // namespace

const std::array<const ResultSpec*, 9> kZoneClearedResults{
    &kZoneResults[PeopleGain],  &kZoneResults[VentGain],      &kZoneResults[InfilGain],
    &kZoneResults[ProcessGain], &kZoneResults[SwimPoolGain1], &kZoneResults[TotGain],
    &kZoneResults[n100s],       &kZoneResults[n160s],         &kZoneResults[n200s]};

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
    const ZoneInputs in = EntryChecks::ReadEntries<ZoneTexts, ZoneInputs>(kZoneFields, t);
    r.refusal = EntryChecks::RefuseOutOfScale<ZoneTexts, ZoneInputs>(kZoneFields, in, &I::pressure);
    if (r.refusal) {
        return r;
    }

    auto refuse = [&r](std::string Z::*field, std::string message) {
        r.refusal = Refusal{std::string(EntryName<ZoneTexts, ZoneInputs>(kZoneFields, field)),
                            std::move(message)};
        return r;
    };
    if (in.ventRate > 10) {
        r.warnings.emplace_back("ENTERED MECHANICAL VENTILATION RATE UNEXPECTEDLY HIGH - The "
                                "following answers assume this value is correct.");
    }
    if (in.ventRate < 0) {
        return refuse(&Z::ventRate,
                      "Mechanical ventilation rate cannot be less than zero. Please enter a "
                      "valid value.");
    }
    if (t.infilRate.empty()) {
        return refuse(&Z::infilRate,
                      WithGuide("Please enter a value for the natural infiltration rate. "));
    }
    if (in.infilRate < 0) {
        return refuse(&Z::infilRate,
                      WithGuide("Natural infiltration rate cannot be less than zero. "
                                "- Please enter a valid value. "));
    }
    if (in.infilRate > 5.1) {
        r.warnings.push_back(
            WithGuide("LARGE NATURAL INFILTRATION RATE - Are you sure this value is correct. ") +
            " Answers will be calculated using this value.");
    }
    if (t.ventRate.empty()) {
        return refuse(&Z::ventRate, WithGuide("NO VALUE SPECIFIED FOR THE MECHANICAL VENTILATION "
                                              "RATE - Please enter a valid value. "));
    }
    if (in.freshAir < 0 || in.freshAir > 100) {
        return refuse(&Z::freshAir, "FRESH AIR SUPPLY RATE NOT VALID - Please enter a value for "
                                    "the % fresh air between 0% and 100%.");
    }
    if (in.volume == 0 || in.volume < 20) {
        return refuse(&Z::volume, "SPACE VOLUME NOT VALID - Please enter a value greater than 20");
    }
    if (in.volume > 9999) {
        r.warnings.emplace_back("LARGE SPACE VOLUME - Are you sure this value is correct. Answers "
                                "will be calculated using this value.");
    }
    if (in.ambientTemp == 0) {
        return refuse(&Z::ambientTemp, "Please enter a valid value for the ambient temperature.");
    }
    if (in.ambientTemp < 0 || in.ambientTemp > 50) {
        return refuse(&Z::ambientTemp,
                      "ENTERED AMBIENT TEMPERATURE OUT OF RANGE - Please enter a valid "
                      "value for the ambient temperature between 0 °C and 50 °C.");
    }
    if (in.ambientRh == 0) {
        return refuse(&Z::ambientRh, "Please enter a valid value for the ambient RH.");
    }
    if (in.ambientRh < 0 || in.ambientRh > 100) {
        return refuse(&Z::ambientRh,
                      "The ambient RH must be in the range 0% - 100% - Please enter a "
                      "valid value for the ambient RH.");
    }
    if (in.zoneTemp == 0) {
        return refuse(&Z::zoneTemp, "Please enter a valid value for the space temperature.");
    }
    if (in.zoneRh == 0) {
        return refuse(&Z::zoneRh, "Please enter a valid value for the zone RH.");
    }
    if (in.zoneRh > 100) {
        return refuse(&Z::zoneRh, "RH cannot be greater than 100% - please enter a valid value");
    }
    if (in.zoneRh < 0) {
        return refuse(&Z::zoneRh, "RH cannot be less than 0% - please enter a valid value");
    }
    if (in.zoneTemp < 0 || in.zoneTemp > 50) {
        return refuse(&Z::zoneTemp, "Space air temperature is out of range - please enter a "
                                    "temperature between 0 °C and 50 °C.");
    }
    r.inputs = in;
    return r;
}

namespace {

double FlowGain(double q, const Psychrometrics::AirState& zone,
                const Psychrometrics::AirState& ambient) {
    return ZoneGains::FlowGain(q, ZoneGains::ZoneWater(q, zone.W, zone.d), ambient.W, ambient.d);
}

} // namespace

ZoneResult CalculateZone(const ZoneInputs& in, std::string_view activity) {
    using namespace CalcStages;
    ZoneResult r;
    ZoneNumbers& n = r.numbers;
    Writer out(r);

    n.zoneAir = Psychrometrics::ComputeAirState(in.zoneTemp, in.zoneRh, in.pressure);
    WriteAirState(out, {F(pws1), F(pw1), F(W1), F(v1), F(d1), F(h1)}, n.zoneAir);
    out.Write(F(DP), n.zoneAir.DP);

    if (!WetBulbInsideEnvelope(out, {F(iter), F(WBzone)}, in.pressure, in.zoneTemp, n.zoneAir,
                               n.wetBulb)) {
        out.Reject(Outcome::EnvelopeRejected, kEnvelopeMessage,
                   EntryName<ZoneTexts, ZoneInputs>(kZoneFields, &Z::zoneTemp),
                   kZoneClearedResults);
        return r;
    }

    n.ambientAir = Psychrometrics::ComputeAirState(in.ambientTemp, in.ambientRh, in.pressure);
    WriteAirState(out, {F(pws2), F(pw2), F(W2), F(V2), F(d2), F(h2)}, n.ambientAir);

    n.ventGain = FlowGain(ZoneGains::VentilationFlow(in), n.zoneAir, n.ambientAir);
    out.Write(F(VentGain), n.ventGain);

    n.peopleGain = in.occupancy * ActivityRate(activity);
    out.Write(F(PeopleGain), n.peopleGain);

    n.infilGain = FlowGain(ZoneGains::InfiltrationFlow(in), n.zoneAir, n.ambientAir);
    out.Write(F(InfilGain), n.infilGain);

    n.processGain = 24 * in.processGain;
    out.Write(F(ProcessGain), n.processGain);

    n.poolGain = in.poolGain;
    out.Write(F(SwimPoolGain1), n.poolGain);

    n.totalGain =
        ZoneGains::Total(n.peopleGain, n.ventGain, n.infilGain, n.processGain, n.poolGain);
    out.Write(F(TotGain), n.totalGain);

    static_cast<Dehum_Units::UnitCounts&>(n) =
        WriteUnitCounts(out, {F(n100s), F(n160s), F(n200s), F(Rate100), F(Rate160), F(Rate200)},
                        {.countsBeforeRateCheck = false, .zeroCountsUnlessPositive = n.totalGain},
                        n.totalGain, n.wetBulb.temperature, in.zoneRh, in.zoneTemp);
    return r;
}
