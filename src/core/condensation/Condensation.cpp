#include "core/condensation/Condensation.h"

#include "core/common/EntryChecks.h"
#include "core/common/NumberText.h"
#include "core/psychrometrics/Psychrometrics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>
#include <string_view>

namespace Condensation {

using T = Texts;
using I = Inputs;

const std::array<Entry, 4> kFields{{
    {"txtTout", "Outdoor Design Temperature (°C)", "°C", "-5", &T::outdoorTemp, &I::outdoorTemp},
    {"txtUglazing", "Glazing U-value (W/m2K)", "W/m2K", "1.6", &T::glazingU, &I::glazingU},
    {"txtUwall", "Wall U-value (W/m2K)", "W/m2K", "0.35", &T::wallU, &I::wallU},
    {"txtUroof", "Roof U-value (W/m2K)", "W/m2K", "0.25", &T::roofU, &I::roofU},
}};

Texts InitialTexts() {
    return ::InitialTexts<Texts, Inputs>(kFields);
}

// Inside surface resistances of EN ISO 6946 by the direction of the winter heat
// flow: sideways through glazing and walls, upwards through the roof. A pool hall
// has no furniture against its walls, so the larger mould-check value is not used.
const std::array<ElementSpec, 3> kElements{{
    {"Glazing", "Glazing", &I::glazingU, 0.13, 0.04},
    {"Wall", "Wall", &I::wallU, 0.13, 0.04},
    {"Roof", "Roof", &I::roofU, 0.10, 0.04},
}};

namespace {

constexpr double kColdest = -50;   // °C
constexpr double kWarmest = 50;    // °C
constexpr double kMildDesign = 15; // °C: above it, hardly a winter design day

std::string_view NameOf(std::string T::*text) {
    return EntryName<Texts, Inputs>(kFields, text);
}

// Texts joined by appending: GCC 12 at -O3 flags chains of operator+ (-Wrestrict).
std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isspace(c) != 0; });
}

} // namespace

CheckResult<Inputs> Validate(const Texts& t) {
    CheckResult<Inputs> r;
    const Inputs in = EntryChecks::ReadEntries<Texts, Inputs>(kFields, t);
    r.refusal = EntryChecks::RefuseTooLarge<Texts, Inputs>(kFields, in);
    if (r.refusal) {
        return r;
    }
    auto refuse = [&r](std::string T::*field, std::string message) {
        r.refusal = Refusal{std::string(NameOf(field)), std::move(message)};
        return r;
    };
    // 0 °C is a real design temperature: only a text without any number is refused.
    if (IsBlank(t.outdoorTemp)) {
        return refuse(&T::outdoorTemp, "Please enter a value for the outdoor design temperature.");
    }
    if (!NumberText::HasNumber(t.outdoorTemp)) {
        return refuse(&T::outdoorTemp, "The outdoor design temperature is not a number - please "
                                       "enter a temperature in °C.");
    }
    if (in.outdoorTemp < kColdest || in.outdoorTemp > kWarmest) {
        return refuse(&T::outdoorTemp, "Outdoor design temperature is out of range - please enter "
                                       "a temperature between -50 °C and 50 °C.");
    }
    std::string T::*const texts[] = {&T::glazingU, &T::wallU, &T::roofU};
    const char* const names[] = {"glazing", "wall", "roof"};
    for (std::size_t i = 0; i < kElements.size(); ++i) {
        const ElementSpec& element = kElements[i];
        const double u = in.*element.u;
        const std::string& text = t.*texts[i];
        if (!IsBlank(text) && !NumberText::HasNumber(text)) {
            return refuse(texts[i], Concat({"The ", names[i],
                                            " U-value is not a number - please enter a value in "
                                            "W/m2K."}));
        }
        if (u <= 0) {
            return refuse(texts[i], Concat({"Please enter a value for the ", names[i],
                                            " U-value greater than 0 W/m2K."}));
        }
        // Even an element with no resistance of its own keeps its surface films.
        const double highest = 1 / (element.rsi + element.rse);
        if (u >= highest) {
            return refuse(texts[i], Concat({"The ", names[i], " U-value must be below ",
                                            NumberText::FormatFixed(highest, 2),
                                            " W/m2K, that of an element with no resistance of "
                                            "its own - please enter a valid value."}));
        }
    }
    if (in.outdoorTemp > kMildDesign) {
        r.warnings.emplace_back("WARNING - This is a mild outdoor design temperature for a "
                                "condensation check. Are you sure this value is correct? Answers "
                                "will be calculated using this value.");
    }
    r.inputs = in;
    return r;
}

double InsideSurfaceTemperature(double inside, double outside, double u, double rsi) {
    return inside - rsi * u * (inside - outside);
}

double HighestDryRh(double roomTemp, double surfaceTemp) {
    const double rh = 100 * Psychrometrics::SaturationPressure(surfaceTemp) /
                      Psychrometrics::SaturationPressure(roomTemp);
    return std::min(rh, 100.0);
}

std::array<ElementCheck, 3> Check(const Inputs& in, const RoomAir& room) {
    std::array<ElementCheck, 3> checks;
    for (std::size_t i = 0; i < kElements.size(); ++i) {
        const ElementSpec& element = kElements[i];
        ElementCheck& c = checks[i];
        c.surfaceTemp =
            InsideSurfaceTemperature(room.temp, in.outdoorTemp, in.*element.u, element.rsi);
        c.dewPoint = room.dewPoint;
        c.margin = c.surfaceTemp - room.dewPoint;
        c.highestDryRh = HighestDryRh(room.temp, c.surfaceTemp);
    }
    return checks;
}

std::string Verdict(const ElementCheck& check) {
    if (!std::isfinite(check.margin)) {
        return {};
    }
    if (check.margin <= 0) {
        return "condensation expected";
    }
    return Concat({"margin ", NumberText::FormatFixed(check.margin, 1), " K"});
}

const std::array<ResultSpec, 5> kColumns{{
    {"txtTsi", "Inside surface", "°C", Pattern::Fixed1},
    {"txtDewPoint", "Room dew point", "°C", Pattern::Fixed1},
    {"txtMargin", "Margin", "K", Pattern::Fixed1},
    {"txtVerdict", "Verdict", "", Pattern::General},
    {"txtMaxRh", "Highest room RH with a dry surface", "%", Pattern::Fixed1},
}};

std::array<std::string, 5> RowTexts(const ElementCheck& c) {
    return {FormatResult(kColumns[0], c.surfaceTemp), FormatResult(kColumns[1], c.dewPoint),
            FormatResult(kColumns[2], c.margin), Verdict(c),
            FormatResult(kColumns[4], c.highestDryRh)};
}

} // namespace Condensation
