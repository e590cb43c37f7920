#include "core/pool/PoolCalc.h"

#include "core/common/CalcStages.h"
#include "core/common/EntryChecks.h"

#include <cmath>
#include <tuple>
#include <utility>

using T = PoolTexts;
using I = PoolInputs;

const std::array<PoolEntry, 7> kPoolFields{{
    {"txtPresskPa", "Barometric Pressure (kPa)", "kPa", "101.325", &T::pressure, &I::pressure},
    {"txttemp", "Desired Zone Air Temperature (°C)", "°C", "29", &T::roomTemp, &I::roomTemp},
    {"txtrh", "Desired Zone Relative Humidity (%)", "%", "60", &T::roomRh, &I::roomRh},
    {"txtpooltemp", "Desired Pool Temperature (°C)", "°C", "28", &T::poolTemp, &I::poolTemp},
    {"txtOccupancy", "Occupancy Type A (people using pool)", "", "0", &T::bathers, &I::bathers},
    {"cmbOccupancy2", "Occupancy Type B (people not using pool)", "", "0", &T::spectators,
     &I::spectators},
    {"txtpoolarea", "Pool Area (m2)", "m2", "50", &T::area, &I::area},
}};

PoolTexts InitialPoolTexts() {
    return InitialTexts<PoolTexts, PoolInputs>(kPoolFields);
}

namespace {

using P = Pattern;

// The detail grid: room air, saturated air at the water surface.
constexpr std::string_view kZone = "Zone";
constexpr std::string_view kWater = "Air - Water";
constexpr std::string_view kRates = "Moisture Removal Rate";

} // namespace

const std::array<ResultSpec, 26> kPoolResults{{
    {"txtpws1", "pws (Pa)", "Pa", P::Fixed2, kZone, true},
    {"txtpw1", "pw (Pa)", "Pa", P::Fixed2, kZone, true},
    {"txtW1", "W (kg/kg)", "kg/kg", P::Fixed4, kZone, true},
    {"txtv1", "v (m3/kg)", "m3/kg", P::Fixed2, kZone, true},
    {"txtd1", "p (kg/m3)", "kg/m3", P::Fixed2, kZone, true},
    {"txth1", "h (kJ/kg)", "kJ/kg", P::Fixed2, kZone, true},
    {"txtDP", "Dew Point (oC)", "°C", P::Fixed2, kZone, true},
    {"txtWBzone", "WB (oC)", "°C", P::Fixed2, kZone, true},
    {"txtpws2", "pws (Pa)", "Pa", P::Fixed2, kWater, true},
    {"txtpw2", "pw (Pa)", "Pa", P::Fixed2, kWater, true},
    {"txtW2", "W (kg/kg)", "kg/kg", P::Fixed4, kWater, true},
    {"txtV2", "v (m3/kg)", "m3/kg", P::Fixed2, kWater, true},
    {"txtd2", "p (kg/m3)", "kg/m3", P::Fixed2, kWater, true},
    {"txth2", "h (kJ/kg)", "kJ/kg", P::Fixed2, kWater, true},
    {"txtm1", "ASHRAE Calculation kg/day", "kg/day", P::Fixed2, {}, true},
    {"txtRate100", "HX 100", "litres/day", P::General, kRates, true},
    {"txtRate160", "HX 160", "litres/day", P::General, kRates, true},
    {"txtRate200", "HX 200", "litres/day", P::General, kRates, true},
    {"txtTotalOccupancy", "Total Occupancy", "", P::General},
    {"txtm2", "Pool Evaporation (litres/day) ", "litres/day", P::Fixed2},
    {"txtMetGain", "Occupant Metabolic Gain (litres/day)", "litres/day", P::Fixed2},
    {"txtTotalGain", "Total Gains (litres/day)", "litres/day", P::Fixed2},
    {"txt100s", "No. HX 100", "", P::Fixed1},
    {"txt160s", "No. HX 160", "", P::Fixed1},
    {"txt200s", "No. HX 200", "", P::Fixed1},
    {"txtiter", "WB Iterations", "", P::Whole, {}, true},
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
    m1,
    Rate100,
    Rate160,
    Rate200,
    TotalOccupancy,
    m2,
    MetGain,
    TotalGain,
    n100s,
    n160s,
    n200s,
    iter,
    kOutCount
};
static_assert(kOutCount == std::tuple_size_v<decltype(kPoolResults)>);

const ResultSpec& F(Out field) {
    return kPoolResults[field];
}

} // namespace

const ResultSpec& kPoolIterations = kPoolResults[iter];

CheckResult<PoolInputs> ValidatePoolInputs(const PoolTexts& t) {
    CheckResult<PoolInputs> r;
    const PoolInputs in = EntryChecks::ReadEntries<PoolTexts, PoolInputs>(kPoolFields, t);
    r.refusal = EntryChecks::RefuseOutOfScale<PoolTexts, PoolInputs>(kPoolFields, in, &I::pressure);
    if (r.refusal) {
        return r;
    }

    auto refuse = [&r](std::string T::*field, std::string_view message) {
        r.refusal = Refusal{std::string(EntryName<PoolTexts, PoolInputs>(kPoolFields, field)),
                            std::string(message)};
        return r;
    };
    if (in.area < 0.99) {
        return refuse(&T::area, "Please enter a value for the pool size greater than 1 m2.");
    }
    if (in.roomTemp == 0) {
        return refuse(&T::roomTemp, "Please enter a valid value for the zone temperature.");
    }
    if (in.roomRh == 0) {
        return refuse(&T::roomRh, "Please enter a valid value for the room RH.");
    }
    if (in.poolTemp == 0) {
        return refuse(&T::poolTemp, "Please enter a valid value for the pool temperature.");
    }
    if (in.roomRh > 100) {
        return refuse(&T::roomRh, "RH cannot be greater than 100% - please enter a valid value");
    }
    if (in.roomRh < 0) {
        return refuse(&T::roomRh, "RH cannot be less than 0% - please enter a valid value");
    }
    if (in.roomTemp < 0 || in.roomTemp > 50) {
        return refuse(&T::roomTemp, "Room air temperature is out of range - please enter a "
                                    "temperature between 0 °C and 50 °C.");
    }
    if (in.poolTemp < 0 || in.poolTemp > 50) {
        return refuse(&T::poolTemp, "Pool temperature is out of range - please enter a "
                                    "temperature between 0 °C and 50°C");
    }
    if (std::fabs(in.poolTemp - in.roomTemp) > 10) {
        r.warnings.emplace_back("WARNING - This is a large temperature difference between the "
                                "pool water and room air. Are you sure these values are correct? "
                                "Answers will be calculated using these values.");
    }
    if (in.area > 200) {
        r.warnings.emplace_back("WARNING - This is a large pool area. Are you sure this value is "
                                "correct? Answers will be calculated using these values.");
    }
    r.inputs = in;
    return r;
}

namespace {

constexpr double kReferenceCoefficient = 4e-5; // reference evaporation
constexpr double kEvaporationCoefficient = 35;
constexpr double kBatherFactor = 1.4;
constexpr double kDensityExponent = 0.33333;

} // namespace

PoolResult CalculatePool(const PoolInputs& in) {
    using namespace CalcStages;
    PoolResult r;
    PoolNumbers& n = r.numbers;
    Writer out(r);
    const ResultSpec* const counts[] = {&F(n100s), &F(n160s), &F(n200s)};

    n.roomAir = Psychrometrics::ComputeAirState(in.roomTemp, in.roomRh, in.pressure);
    WriteAirState(out, {F(pws1), F(pw1), F(W1), F(v1), F(d1), F(h1)}, n.roomAir);
    out.Write(F(DP), n.roomAir.DP);

    // Out of the envelope the pool says what it says of unusable rates, and
    // empties only its counts.
    if (!WetBulbInsideEnvelope(out, {F(iter), F(WBzone)}, in.pressure, in.roomTemp, n.roomAir,
                               n.wetBulb)) {
        out.Reject(Outcome::EnvelopeRejected, kRatesMessage,
                   EntryName<PoolTexts, PoolInputs>(kPoolFields, &T::roomTemp), counts);
        return r;
    }

    n.surfaceAir = Psychrometrics::ComputeSaturatedAirState(in.poolTemp, in.pressure);
    WriteAirState(out, {F(pws2), F(pw2), F(W2), F(V2), F(d2), F(h2)}, n.surfaceAir);

    n.occupancy = in.bathers + in.spectators;
    n.metabolicGain = kPoolPersonGain * n.occupancy;
    out.Write(F(MetGain), n.metabolicGain);
    out.Write(F(TotalOccupancy), n.occupancy);

    n.referenceEvaporation =
        kReferenceCoefficient * ((n.surfaceAir.pw - n.roomAir.pw) / 1000) * 3600 * 24 * in.area;
    out.Write(F(m1), n.referenceEvaporation);

    const Psychrometrics::AirState& room = n.roomAir;
    const Psychrometrics::AirState& surface = n.surfaceAir;
    n.evaporation = kEvaporationCoefficient * (1 + kBatherFactor * (in.bathers / in.area)) *
                    room.d * std::pow(std::fabs(room.d - surface.d), kDensityExponent) *
                    (surface.W - room.W) * 24 * in.area;
    out.Write(F(m2), n.evaporation);

    n.totalGain = n.evaporation + n.metabolicGain;
    out.Write(F(TotalGain), n.totalGain);

    static_cast<Dehum_Units::UnitCounts&>(n) =
        WriteUnitCounts(out, {F(n100s), F(n160s), F(n200s), F(Rate100), F(Rate160), F(Rate200)},
                        {.countsBeforeRateCheck = true, .zeroCountsUnlessPositive = n.evaporation},
                        n.totalGain, n.wetBulb.temperature, in.roomRh, in.roomTemp);
    return r;
}
