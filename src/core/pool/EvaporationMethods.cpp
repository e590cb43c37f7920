#include "core/pool/EvaporationMethods.h"

#include "core/common/NumberText.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>

namespace EvaporationMethods {

// Coefficients quoted from VDI 2089-1 (2010) in m/h.
const std::array<PoolTypeSpec, 6> kPoolTypes{{
    {PoolType::Covered, "covered", "Covered pool", 0.7, false},
    {PoolType::Resting, "resting", "Resting water surface (pool not in use)", 7, false},
    {PoolType::Private, "private", "Private pool", 21, true},
    {PoolType::PublicDeep, "public-deep", "Public pool, water deeper than 1.35 m", 28, true},
    {PoolType::PublicShallow, "public-shallow", "Public pool, water up to 1.35 m deep", 40, true},
    {PoolType::WavesAndSlides, "waves", "Wave pool in wave operation, slides, wild-water channels",
     50, true},
}};

const PoolTypeSpec& SpecOf(PoolType type) {
    for (const PoolTypeSpec& entry : kPoolTypes) {
        if (entry.type == type) {
            return entry;
        }
    }
    return kPoolTypes.front();
}

std::optional<PoolType> PoolTypeKeyed(std::string_view key) {
    for (const PoolTypeSpec& entry : kPoolTypes) {
        if (entry.key == key) {
            return entry.type;
        }
    }
    return std::nullopt;
}

namespace {

// Shah: natural convection, kg/(m2 h) with densities in kg/m3.
constexpr double kShahNatural = 35;
// Shah: little or no density difference, kg/(m2 h) per Pa of vapour pressure. Read only
// in a secondary quote of the 2014 paper; the help page says so.
constexpr double kShahLowDensityDifference = 0.00005;
// Shah occupied: E/E0 = 1.9 - 21 (rho_r - rho_w) + 5.3 N*, from N* = 0.05 on.
constexpr double kShahBase = 1.9;
constexpr double kShahDensityFactor = 21;
constexpr double kShahOccupantFactor = 5.3;
constexpr double kShahLowestOccupancy = 0.05; // persons per m2 of water

// The data Shah's quiet-water correlation was checked against (HVAC&R 2002).
constexpr double kShahAirLow = 6, kShahAirHigh = 35;
constexpr double kShahWaterLow = 7, kShahWaterHigh = 94;
constexpr double kShahRhLow = 28, kShahRhHigh = 95;
constexpr double kShahAreaLow = 0.07, kShahAreaHigh = 425; // m2 of water

constexpr double kWaterVapourGasConstant = 461.52; // J/(kg K)
constexpr double kAbsoluteZero = 273.15;
// The hall conditions VDI 2089-1 designs for: air 2 to 4 K above the water, at most 34 °C.
constexpr double kVdiLeastExcess = 2, kVdiMostExcess = 4, kVdiWarmestAir = 34;

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

std::string Num(double value) {
    return NumberText::FormatGeneral(value);
}

// Texts joined by appending: GCC 12 at -O3 flags chains of operator+ (-Wrestrict).
std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

void AddReason(std::string& reasons, const std::string& reason) {
    if (!reasons.empty()) {
        reasons += ' ';
    }
    reasons += reason;
}

std::string OutsideRange(const char* what, double value, double low, double high,
                         const char* unit) {
    if (value >= low && value <= high) {
        return {};
    }
    return Concat({what, " ", Num(value), unit, " lies outside the ", Num(low), " to ", Num(high),
                   unit, " of the data the method was checked against."});
}

// No vapour-pressure difference towards the room: the water takes up moisture.
std::string NoEvaporation(const PoolNumbers& n) {
    if (n.surfaceAir.pw > n.roomAir.pw) {
        return {};
    }
    return "The water is not warmer than the room air's dew point: the method gives "
           "condensation onto the water, not evaporation.";
}

std::string ShahRange(const PoolInputs& in, const PoolNumbers& n) {
    std::string reasons;
    for (const std::string& reason :
         {NoEvaporation(n),
          OutsideRange("Room air at", in.roomTemp, kShahAirLow, kShahAirHigh, " °C"),
          OutsideRange("Water at", in.poolTemp, kShahWaterLow, kShahWaterHigh, " °C"),
          OutsideRange("Room RH of", in.roomRh, kShahRhLow, kShahRhHigh, " %"),
          OutsideRange("Pool area of", in.area, kShahAreaLow, kShahAreaHigh, " m²")}) {
        if (!reason.empty()) {
            AddReason(reasons, reason);
        }
    }
    return reasons;
}

// The digits after the point of a value as the general form writes it, which
// is how a typed entry reads back.
int DecimalsOf(double value) {
    const std::string text = Num(value);
    const auto exponent = text.find('E');
    const std::string mantissa = text.substr(0, exponent);
    const auto point = mantissa.find('.');
    int decimals = point == std::string::npos ? 0 : int(mantissa.size() - point - 1);
    if (exponent != std::string::npos) {
        decimals -= std::stoi(text.substr(exponent + 1));
    }
    return std::clamp(decimals, 0, 15);
}

// The air's excess over the water as the entries state it: 32.2 less 28.2 is
// 4, not the hair above it that binary arithmetic leaves.
double TypedExcess(double air, double water) {
    const int decimals = std::max(DecimalsOf(air), DecimalsOf(water));
    return NumberText::ReadNumber(NumberText::FormatFixed(air - water, decimals));
}

std::string VdiRange(const PoolInputs& in, const PoolNumbers& n) {
    std::string reasons = NoEvaporation(n);
    const double excess = TypedExcess(in.roomTemp, in.poolTemp);
    if (excess < kVdiLeastExcess || excess > kVdiMostExcess || in.roomTemp > kVdiWarmestAir) {
        AddReason(reasons,
                  Concat({"VDI 2089-1 is for halls with the air 2 to 4 K warmer than the "
                          "water and at most 34 °C; here the air is ",
                          Num(in.roomTemp), " °C and the water ", Num(in.poolTemp), " °C."}));
    }
    return reasons;
}

} // namespace

std::string_view KeyOf(Method method) {
    switch (method) {
    case Method::Program:
        return "Program";
    case Method::AshraeReference:
        return "Ashrae";
    case Method::ShahOccupied:
        return "ShahOccupied";
    case Method::ShahUnoccupied:
        return "ShahUnoccupied";
    case Method::Vdi2089:
        return "Vdi2089";
    }
    return {};
}

std::string_view CaptionOf(Method method) {
    switch (method) {
    case Method::Program:
        return "Program's own figure";
    case Method::AshraeReference:
        return "ASHRAE reference figure (shown only)";
    case Method::ShahOccupied:
        return "Shah, occupied pool (2013)";
    case Method::ShahUnoccupied:
        return "Shah, unoccupied pool (2012)";
    case Method::Vdi2089:
        return "VDI 2089-1 (2010)";
    }
    return {};
}

ShahUnoccupiedRate ShahUnoccupied(const Psychrometrics::AirState& room,
                                  const Psychrometrics::AirState& surface) {
    ShahUnoccupiedRate r;
    const double densityDifference = room.d - surface.d;
    // Air at the water no lighter than the room's: no natural convection at all.
    if (densityDifference > 0) {
        r.naturalConvection =
            kShahNatural * surface.d * std::cbrt(densityDifference) * (surface.W - room.W);
    }
    r.lowDensityDifference = kShahLowDensityDifference * (surface.pw - room.pw);
    r.rate = std::max(r.naturalConvection, r.lowDensityDifference);
    return r;
}

double ShahOccupancyFactor(double densityDifference, double personsPerM2) {
    auto formula = [densityDifference](double persons) {
        return kShahBase - kShahDensityFactor * densityDifference + kShahOccupantFactor * persons;
    };
    if (personsPerM2 <= 0) {
        return 1;
    }
    if (personsPerM2 >= kShahLowestOccupancy) {
        return formula(personsPerM2);
    }
    // Below the lowest occupancy of the data: straight between the empty pool and it.
    return 1 + (formula(kShahLowestOccupancy) - 1) * (personsPerM2 / kShahLowestOccupancy);
}

double Vdi2089Evaporation(double beta, double waterTemp, double airTemp, double surfacePws,
                          double roomPw, double area) {
    const double meanTemperature = (waterTemp + airTemp) / 2 + kAbsoluteZero;
    return beta / (kWaterVapourGasConstant * meanTemperature) * (surfacePws - roomPw) * area;
}

std::array<Figure, 5> Compare(const PoolInputs& in, const PoolNumbers& n, PoolType type) {
    const PoolTypeSpec& pool = SpecOf(type);
    const double ownPerDay = n.evaporation;
    const ShahUnoccupiedRate quiet = ShahUnoccupied(n.roomAir, n.surfaceAir);
    const double occupied =
        quiet.rate * ShahOccupancyFactor(n.roomAir.d - n.surfaceAir.d, in.bathers / in.area);

    auto figure = [](Method method, double litresPerDay) {
        Figure f;
        f.method = method;
        f.caption = CaptionOf(method);
        f.litresPerDay = litresPerDay;
        f.kgPerHour = litresPerDay / 24;
        return f;
    };
    std::array<Figure, 5> figures{
        figure(Method::Program, ownPerDay),
        figure(Method::AshraeReference, n.referenceEvaporation),
        figure(Method::ShahOccupied, occupied * in.area * 24),
        figure(Method::ShahUnoccupied, quiet.rate * in.area * 24),
        figure(Method::Vdi2089, Vdi2089Evaporation(pool.beta, in.poolTemp, in.roomTemp,
                                                   n.surfaceAir.pws, n.roomAir.pw, in.area) *
                                    24),
    };
    Figure& vdi = figures[4];
    figures[2].outOfRange = ShahRange(in, n);
    figures[3].outOfRange = figures[2].outOfRange;
    if (in.bathers < 0) {
        AddReason(figures[2].outOfRange,
                  "A negative number of people using the pool has no meaning for the method.");
    }
    vdi.outOfRange = VdiRange(in, n);

    const bool ratesUsable = n.rate100 && *n.rate100 > 0 && n.rate160 > 0 && n.rate200 > 0;
    for (Figure& f : figures) {
        f.differencePercent =
            ownPerDay > 0 ? (f.litresPerDay - ownPerDay) / ownPerDay * 100 : kNoValue;
        // The same unit model as the program: the evaporation plus what the people
        // give off, over each size's rate; no evaporation needs no units.
        double people = n.metabolicGain;
        if (f.method == Method::Vdi2089 && pool.holdsBathers) {
            people = kPoolPersonGain * in.spectators;
        }
        const double load = f.litresPerDay + people;
        if (!ratesUsable) {
            f.count100 = f.count160 = f.count200 = kNoValue;
        } else if (f.litresPerDay <= 0) {
            f.count100 = f.count160 = f.count200 = 0;
        } else {
            f.count100 = load / *n.rate100;
            f.count160 = load / n.rate160;
            f.count200 = load / n.rate200;
        }
    }
    return figures;
}

const std::array<ResultSpec, 6> kFigureColumns{{
    {"kgPerHour", "Evaporation", "kg/h", Pattern::Fixed2},
    {"litresPerDay", "Evaporation", "litres/day", Pattern::Fixed2},
    {"difference", "Difference from the program's figure", "%", Pattern::Fixed1},
    {"count100", "No. HX 100", "", Pattern::Fixed1},
    {"count160", "No. HX 160", "", Pattern::Fixed1},
    {"count200", "No. HX 200", "", Pattern::Fixed1},
}};

std::array<std::string, 6> FigureTexts(const Figure& f) {
    const double values[] = {f.kgPerHour, f.litresPerDay, f.differencePercent,
                             f.count100,  f.count160,     f.count200};
    std::array<std::string, 6> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = FormatResult(kFigureColumns[i], values[i]);
    }
    // As the pool screen writes them: no evaporation, the plain "0" units.
    if (!(f.litresPerDay > 0) && f.count100 == 0) {
        for (std::size_t i = 3; i < texts.size(); ++i) {
            // One character filled in, not copied: a copied "0" trips -Wrestrict at -O3.
            texts[i].assign(1, '0');
        }
    }
    return texts;
}

} // namespace EvaporationMethods
