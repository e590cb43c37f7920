#pragma once

#include "core/common/CalcResult.h"
#include "core/common/Fields.h"

#include <array>
#include <string>
#include <string_view>

// Will the room's air condense on the glazing, walls or roof on a design winter
// day? The inside surface temperature of each element from its U-value and the
// standard inside surface resistance, against the dew point of the room air of
// the last completed calculation.
namespace Condensation {

struct Texts {
    std::string outdoorTemp;
    std::string glazingU;
    std::string wallU;
    std::string roofU;
};

struct Inputs {
    double outdoorTemp = 0; // °C
    double glazingU = 0;    // W/(m2 K)
    double wallU = 0;
    double roofU = 0;
};

using Entry = EntrySpec<Texts, Inputs>;

// The entry fields in reading order.
extern const std::array<Entry, 4> kFields;

Texts InitialTexts();

// The room air of a completed calculation.
struct RoomAir {
    double temp = 0;     // °C
    double rh = 0;       // %
    double dewPoint = 0; // °C
};

// One element of the envelope: its name, its U-value entry and its surface
// resistances (inside by the direction of the heat flow, outside).
struct ElementSpec {
    std::string_view key; // ends its result fields' names, e.g. "txtTsiGlazing"
    std::string_view caption;
    double Inputs::*u;
    double rsi; // m2 K/W
    double rse; // m2 K/W
};

extern const std::array<ElementSpec, 3> kElements;

// The check chain on the entry texts.
CheckResult<Inputs> Validate(const Texts& texts);

// The inside surface temperature of an element (°C).
double InsideSurfaceTemperature(double inside, double outside, double u, double rsi);

// The highest room RH (%) at which a surface at surfaceTemp stays dry, at most 100.
double HighestDryRh(double roomTemp, double surfaceTemp);

struct ElementCheck {
    double surfaceTemp = 0;
    double dewPoint = 0;
    double margin = 0; // K above the dew point; at or below 0 the surface is wet
    double highestDryRh = 0;
};

std::array<ElementCheck, 3> Check(const Inputs& in, const RoomAir& room);

// "condensation expected", or "margin x.x K"; empty when the margin is not finite.
std::string Verdict(const ElementCheck& check);

// The result columns of each element's row; their names followed by the
// element's key name the fields.
extern const std::array<ResultSpec, 5> kColumns;

// The row's texts in the order of kColumns.
std::array<std::string, 5> RowTexts(const ElementCheck& check);

} // namespace Condensation
