#include "pool/PoolCalc.h"

#include "common/EntryChecks.h"
#include "common/NumberText.h"
#include "units/DehumUnits.h"

#include <cmath>
#include <utility>

using NumberText::FormatFixed;
using NumberText::FormatGeneral;
using NumberText::ReadNumber;

const std::array<EntryField, 7> kPoolFields{{
    {"txtPresskPa", "Barometric Pressure (kPa)", "101.325"},
    {"txttemp", "Desired Zone Air Temperature (°C)", "29"},
    {"txtrh", "Desired Zone Relative Humidity (%)", "60"},
    {"txtpooltemp", "Desired Pool Temperature (°C)", "28"},
    {"txtOccupancy", "Occupancy Type A (people using pool)", "0"},
    {"cmbOccupancy2", "Occupancy Type B (people not using pool)", "0"},
    {"txtpoolarea", "Pool Area (m2)", "50"},
}};

std::string* PoolTextField(PoolTexts& t, std::string_view name) {
    static constexpr std::pair<std::string_view, std::string PoolTexts::*> kSlots[] = {
        {"txtPresskPa", &PoolTexts::txtPresskPa},
        {"txttemp", &PoolTexts::txttemp},
        {"txtrh", &PoolTexts::txtrh},
        {"txtpooltemp", &PoolTexts::txtpooltemp},
        {"txtOccupancy", &PoolTexts::txtOccupancy},
        {"cmbOccupancy2", &PoolTexts::cmbOccupancy2},
        {"txtpoolarea", &PoolTexts::txtpoolarea},
    };
    for (const auto& [slotName, member] : kSlots) {
        if (slotName == name) {
            return &(t.*member);
        }
    }
    return nullptr;
}

CheckResult<PoolInputs> ValidatePoolInputs(const PoolTexts& t) {
    CheckResult<PoolInputs> r;
    PoolInputs in;
    in.pressure = ReadNumber(t.txtPresskPa);
    in.roomTemp = ReadNumber(t.txttemp);
    in.roomRh = ReadNumber(t.txtrh);
    in.poolTemp = ReadNumber(t.txtpooltemp);
    in.bathers = ReadNumber(t.txtOccupancy);
    in.spectators = ReadNumber(t.cmbOccupancy2);
    in.area = ReadNumber(t.txtpoolarea);

    r.refusal = EntryChecks::RefuseOutOfScale({{"txtPresskPa", in.pressure},
                                               {"txttemp", in.roomTemp},
                                               {"txtrh", in.roomRh},
                                               {"txtpooltemp", in.poolTemp},
                                               {"txtOccupancy", in.bathers},
                                               {"cmbOccupancy2", in.spectators},
                                               {"txtpoolarea", in.area}},
                                              "txtPresskPa", in.pressure);
    if (r.refusal) {
        return r;
    }

    auto refuse = [&r](std::string_view field, std::string_view message) {
        r.refusal = Refusal{std::string(field), std::string(message)};
        return r;
    };
    if (in.area < 0.99) {
        return refuse("txtpoolarea", "Please enter a value for the pool size greater than 1 m2.");
    }
    if (in.roomTemp == 0) {
        return refuse("txttemp", "Please enter a valid value for the zone temperature.");
    }
    if (in.roomRh == 0) {
        return refuse("txtrh", "Please enter a valid value for the room RH.");
    }
    if (in.poolTemp == 0) {
        return refuse("txtpooltemp", "Please enter a valid value for the pool temperature.");
    }
    if (in.roomRh > 100) {
        return refuse("txtrh", "RH cannot be greater than 100% - please enter a valid value");
    }
    if (in.roomRh < 0) {
        return refuse("txtrh", "RH cannot be less than 0% - please enter a valid value");
    }
    if (in.roomTemp < 0 || in.roomTemp > 50) {
        return refuse("txttemp", "Room air temperature is out of range - please enter a "
                                 "temperature between 0 °C and 50 °C.");
    }
    if (in.poolTemp < 0 || in.poolTemp > 50) {
        return refuse("txtpooltemp", "Pool temperature is out of range - please enter a "
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

constexpr std::string_view kOutOfRangeMessage =
    "Operating conditions out of range for HX units. Please enter alternative desired zone "
    "temperature and RH or contact Varnel for further advice";
constexpr double kPerPerson = 1.992;           // litres/day, both occupancy types
constexpr double kReferenceCoefficient = 4e-5; // reference evaporation
constexpr double kEvaporationCoefficient = 35;
constexpr double kBatherFactor = 1.4;
constexpr double kDensityExponent = 0.33333;

} // namespace

PoolResult CalculatePool(const PoolInputs& in) {
    PoolResult r;
    PoolNumbers& n = r.numbers;
    auto write = [&r](std::string_view field, std::string text) {
        r.fieldTexts.push_back({std::string(field), std::move(text)});
    };
    auto emptyCountsAfterMessage = [&r] {
        for (const std::string_view field : {"txt100s", "txt160s", "txt200s"}) {
            r.afterMessage.push_back({std::string(field), {}});
        }
    };

    const double pressurePa = in.pressure * 1000;

    n.roomAir = Psychrometrics::ComputeAirState(in.roomTemp, in.roomRh, in.pressure);
    write("txtpws1", FormatFixed(n.roomAir.pws, 2));
    write("txtpw1", FormatFixed(n.roomAir.pw, 2));
    write("txtW1", FormatFixed(n.roomAir.W, 4));
    write("txtv1", FormatFixed(n.roomAir.v, 2));
    write("txtd1", FormatFixed(n.roomAir.d, 2));
    write("txth1", FormatFixed(n.roomAir.h, 2));
    write("txtDP", FormatFixed(n.roomAir.DP, 2));

    n.wetBulb = Psychrometrics::WetBulbTemperature(pressurePa, in.roomTemp, n.roomAir.W);
    // A search that did not settle has no wet bulb worth showing or rating.
    const bool searchFailed = !n.wetBulb.converged || !std::isfinite(n.wetBulb.temperature);
    write(kZoneIterationsField, std::to_string(n.wetBulb.iterations));
    write("txtWBzone", searchFailed ? std::string() : FormatFixed(n.wetBulb.temperature, 2));

    if (searchFailed || !Dehum_Units::InsideEnvelope(n.wetBulb.temperature)) {
        r.outcome = Outcome::EnvelopeRejected;
        r.message = std::string(kOutOfRangeMessage);
        r.focus = "txttemp";
        emptyCountsAfterMessage();
        return r;
    }

    n.surfaceAir = Psychrometrics::ComputeSaturatedAirState(in.poolTemp, in.pressure);
    write("txtpws2", FormatFixed(n.surfaceAir.pws, 2));
    write("txtpw2", FormatFixed(n.surfaceAir.pw, 2));
    write("txtW2", FormatFixed(n.surfaceAir.W, 4));
    write("txtV2", FormatFixed(n.surfaceAir.v, 2));
    write("txtd2", FormatFixed(n.surfaceAir.d, 2));
    write("txth2", FormatFixed(n.surfaceAir.h, 2));

    n.occupancy = in.bathers + in.spectators;
    n.metabolicGain = kPerPerson * n.occupancy;
    write("txtMetGain", FormatFixed(n.metabolicGain, 2));
    write("txtTotalOccupancy", FormatGeneral(n.occupancy));

    n.referenceEvaporation =
        kReferenceCoefficient * ((n.surfaceAir.pw - n.roomAir.pw) / 1000) * 3600 * 24 * in.area;
    write("txtm1", FormatFixed(n.referenceEvaporation, 2));

    const Psychrometrics::AirState& room = n.roomAir;
    const Psychrometrics::AirState& surface = n.surfaceAir;
    n.evaporation = kEvaporationCoefficient * (1 + kBatherFactor * (in.bathers / in.area)) *
                    room.d * std::pow(std::fabs(room.d - surface.d), kDensityExponent) *
                    (surface.W - room.W) * 24 * in.area;
    write("txtm2", FormatFixed(n.evaporation, 2));

    n.totalGain = n.evaporation + n.metabolicGain;
    write("txtTotalGain", FormatFixed(n.totalGain, 2));

    n.rate100 = Dehum_Units::UnitMoistureRemoval(n.wetBulb.temperature, in.roomRh, in.roomTemp);
    const Dehum_Units::Rates rates = Dehum_Units::RatesFor(n.rate100.value_or(0));
    n.rate160 = rates.r160;
    n.rate200 = rates.r200;

    if (n.rate100 && rates.r100 != 0 && rates.r160 != 0 && rates.r200 != 0) {
        n.count100 = n.totalGain / rates.r100;
        n.count160 = n.totalGain / rates.r160;
        n.count200 = n.totalGain / rates.r200;
        write("txt100s", FormatFixed(n.count100, 1));
        write("txt160s", FormatFixed(n.count160, 1));
        write("txt200s", FormatFixed(n.count200, 1));
    }
    if (!n.rate100 || !rates.AllPositive()) {
        r.outcome = Outcome::RatesRejected;
        r.message = std::string(kOutOfRangeMessage);
        emptyCountsAfterMessage();
        return r;
    }
    if (n.evaporation <= 0) {
        write("txt100s", "0");
        write("txt160s", "0");
        write("txt200s", "0");
    }
    write("txtRate100", FormatGeneral(rates.r100));
    write("txtRate160", FormatGeneral(rates.r160));
    write("txtRate200", FormatGeneral(rates.r200));
    r.outcome = Outcome::Completed;
    return r;
}
