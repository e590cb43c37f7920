#include "core/condensation/Condensation.h"
#include "TestSupport.h"
#include "core/psychrometrics/Psychrometrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Condensation;

// The hand calculation of virtuelles-dach.com, "Berechnen des Temperaturverlaufes":
// a rendered hollow-block wall with 10 cm of mineral wool, -20 °C outside, +20 °C
// inside, inside surface resistance 0.123 m2K/W, U = 0.323 W/m2K: heat flux
// 12.92 W/m2, 1.59 K across the inside surface film, inside surface 18.41 °C.
// The page rounds to 0.01 K.
TEST(InsideSurfaceTemperature, ReproducesThePublishedHandCalculation) {
    EXPECT_NEAR(InsideSurfaceTemperature(20, -20, 0.323, 0.123), 18.41, 0.005);
    EXPECT_NEAR(20 - InsideSurfaceTemperature(20, -20, 0.323, 0.123), 1.59, 0.005);
}

// The pool screen's worked example: hall air 29 °C, 60 %, dew point 20.46 °C.
RoomAir PoolHall() {
    const auto air = Psychrometrics::ComputeAirState(29, 60, 101.325);
    return {29, 60, air.DP};
}

TEST(Check, DesignDayOnThePoolHall) {
    Inputs in;
    in.outdoorTemp = -5;
    in.glazingU = 5.7; // single glazing
    in.wallU = 0.35;
    in.roofU = 0.25;
    const auto checks = Check(in, PoolHall());
    // Glazing, sideways heat flow: 29 - 0.13 * 5.7 * 34 = 3.81 °C.
    EXPECT_NEAR(checks[0].surfaceTemp, 3.806, 0.001);
    EXPECT_EQ(Verdict(checks[0]), "condensation expected");
    // Wall: 29 - 0.13 * 0.35 * 34 = 27.45 °C, 6.99 K above the dew point.
    EXPECT_NEAR(checks[1].surfaceTemp, 27.453, 0.001);
    EXPECT_EQ(RowTexts(checks[1]),
              (std::array<std::string, 5>{"27.5", "20.5", "7.0", "margin 7.0 K", "91.4"}));
    // Roof, heat flowing upwards: 29 - 0.10 * 0.25 * 34 = 28.15 °C.
    EXPECT_NEAR(checks[2].surfaceTemp, 28.15, 0.001);
}

// At the dew point the surface is already wet; above it, the margin to one decimal.
TEST(Verdict, TurnsAtTheDewPoint) {
    const std::pair<double, const char*> cases[] = {
        {-0.01, "condensation expected"}, {0, "condensation expected"}, {0.04, "margin 0.0 K"},
        {1.26, "margin 1.3 K"},           {std::nan(""), ""},
    };
    for (const auto& [margin, verdict] : cases) {
        ElementCheck check;
        check.margin = margin;
        EXPECT_EQ(Verdict(check), verdict) << margin;
    }
}

// The highest dry RH is the one whose dew point is the surface temperature: the
// room air at that RH, by the program's own dew-point relation, meets the surface
// within the 0.05 K the dew-point fit and the saturation fit differ by.
TEST(HighestDryRh, GivesAirWhoseDewPointIsTheSurface) {
    for (double surface : {4.0, 12.5, 21.9, 27.4}) {
        const double rh = HighestDryRh(29, surface);
        const auto air = Psychrometrics::ComputeAirState(29, rh, 101.325);
        EXPECT_NEAR(air.DP, surface, 0.05) << surface;
    }
    // A surface no colder than the room never wets below saturation.
    EXPECT_EQ(HighestDryRh(20, 25), 100);
}

class CondensationChainTest : public testing::TestWithParam<ChainCase> {};

TEST_P(CondensationChainTest, WarnsAndRefusesInOrder) {
    const ChainCase& c = GetParam();
    Texts texts = InitialTexts();
    ASSERT_NO_FATAL_FAILURE((ApplyChanges<Texts, Inputs>(c, kFields, texts)));
    ExpectChainOutcome(c, Validate(texts));
}

const std::vector<std::string> kNone;
const std::string kNoOutdoor = "Please enter a value for the outdoor design temperature.";
const std::string kOutdoorNotNumber =
    "The outdoor design temperature is not a number - please enter a temperature in °C.";
const std::string kOutdoorRange = "Outdoor design temperature is out of range - please enter a "
                                  "temperature between -50 °C and 50 °C.";
const std::string kMild = "WARNING - This is a mild outdoor design temperature for a "
                          "condensation check. Are you sure this value is correct? Answers will "
                          "be calculated using this value.";

INSTANTIATE_TEST_SUITE_P(
    Chain, CondensationChainTest,
    testing::Values(
        ChainCase{"InitialTextsPass", {}, kNone, nullptr, ""},
        ChainCase{"OutdoorEmpty", {{"txtTout", ""}}, kNone, "txtTout", kNoOutdoor},
        ChainCase{"OutdoorBlanks", {{"txtTout", "  "}}, kNone, "txtTout", kNoOutdoor},
        ChainCase{"OutdoorNoNumber", {{"txtTout", "cold"}}, kNone, "txtTout", kOutdoorNotNumber},
        // Read as 0 °C by the reading rule, but nothing a user meant as a number.
        ChainCase{
            "OutdoorNumberAfterText", {{"txtTout", "t5"}}, kNone, "txtTout", kOutdoorNotNumber},
        ChainCase{"OutdoorSignedWithBlanks", {{"txtTout", " - 5 "}}, kNone, nullptr, ""},
        ChainCase{"OutdoorZeroIsAFrost", {{"txtTout", "0"}}, kNone, nullptr, ""},
        ChainCase{"OutdoorBelow", {{"txtTout", "-51"}}, kNone, "txtTout", kOutdoorRange},
        ChainCase{"OutdoorAbove", {{"txtTout", "51"}}, kNone, "txtTout", kOutdoorRange},
        ChainCase{"OutdoorMild", {{"txtTout", "16"}}, {kMild}, nullptr, ""},
        ChainCase{"OutdoorAtMildLimit", {{"txtTout", "15"}}, kNone, nullptr, ""},
        ChainCase{"TooLarge",
                  {{"txtUwall", "1e15"}},
                  kNone,
                  "txtUwall",
                  "The value entered is too large - please enter a valid value."},
        ChainCase{"GlazingZero",
                  {{"txtUglazing", "0"}},
                  kNone,
                  "txtUglazing",
                  "Please enter a value for the glazing U-value greater than 0 W/m2K."},
        ChainCase{"WallNegative",
                  {{"txtUwall", "-1"}},
                  kNone,
                  "txtUwall",
                  "Please enter a value for the wall U-value greater than 0 W/m2K."},
        ChainCase{"RoofEmpty",
                  {{"txtUroof", ""}},
                  kNone,
                  "txtUroof",
                  "Please enter a value for the roof U-value greater than 0 W/m2K."},
        ChainCase{"WallLetters",
                  {{"txtUwall", "abc"}},
                  kNone,
                  "txtUwall",
                  "The wall U-value is not a number - please enter a value in W/m2K."},
        ChainCase{"RoofPointOnly",
                  {{"txtUroof", "."}},
                  kNone,
                  "txtUroof",
                  "The roof U-value is not a number - please enter a value in W/m2K."},
        ChainCase{"GlazingBelowFilmsOnly", {{"txtUglazing", "5.88"}}, kNone, nullptr, ""},
        ChainCase{"GlazingFilmsOnly",
                  {{"txtUglazing", "5.89"}},
                  kNone,
                  "txtUglazing",
                  "The glazing U-value must be below 5.88 W/m2K, that of an element with no "
                  "resistance of its own - please enter a valid value."},
        ChainCase{"RoofFilmsOnly",
                  {{"txtUroof", "7.15"}},
                  kNone,
                  "txtUroof",
                  "The roof U-value must be below 7.14 W/m2K, that of an element with no "
                  "resistance of its own - please enter a valid value."},
        ChainCase{"GlazingBeforeWall",
                  {{"txtUglazing", "0"}, {"txtUwall", "0"}},
                  kNone,
                  "txtUglazing",
                  "Please enter a value for the glazing U-value greater than 0 W/m2K."}));

} // namespace
