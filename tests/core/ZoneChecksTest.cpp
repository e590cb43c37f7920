#include "TestSupport.h"
#include "core/zone/ZoneCalc.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kGuide = "If you do not know this value press the   \"Guide.....\"   button to "
                           "the right of this data entry field for assistance in choosing a value.";

const std::string kVentHigh = "ENTERED MECHANICAL VENTILATION RATE UNEXPECTEDLY HIGH - The "
                              "following answers assume this value is correct.";
const std::string kVentNegative =
    "Mechanical ventilation rate cannot be less than zero. Please enter a valid value.";
const std::string kInfilEmpty = "Please enter a value for the natural infiltration rate. " + kGuide;
const std::string kInfilNegative =
    "Natural infiltration rate cannot be less than zero. - Please enter a valid value. " + kGuide;
const std::string kInfilHigh =
    "LARGE NATURAL INFILTRATION RATE - Are you sure this value is correct. " + kGuide +
    " Answers will be calculated using this value.";
const std::string kVentEmpty =
    "NO VALUE SPECIFIED FOR THE MECHANICAL VENTILATION RATE - Please enter a valid value. " +
    kGuide;
const std::string kFresh = "FRESH AIR SUPPLY RATE NOT VALID - Please enter a value for the % "
                           "fresh air between 0% and 100%.";
const std::string kVolume = "SPACE VOLUME NOT VALID - Please enter a value greater than 20";
const std::string kVolumeLarge = "LARGE SPACE VOLUME - Are you sure this value is correct. "
                                 "Answers will be calculated using this value.";
const std::string kAmbTempZero = "Please enter a valid value for the ambient temperature.";
const std::string kAmbTempRange = "ENTERED AMBIENT TEMPERATURE OUT OF RANGE - Please enter a "
                                  "valid value for the ambient temperature between 0 °C and 50 °C.";
const std::string kAmbRhZero = "Please enter a valid value for the ambient RH.";
const std::string kAmbRhRange = "The ambient RH must be in the range 0% - 100% - Please enter a "
                                "valid value for the ambient RH.";
const std::string kTempZero = "Please enter a valid value for the space temperature.";
const std::string kRhZero = "Please enter a valid value for the zone RH.";
const std::string kRhHigh = "RH cannot be greater than 100% - please enter a valid value";
const std::string kRhLow = "RH cannot be less than 0% - please enter a valid value";
const std::string kTempRange = "Space air temperature is out of range - please enter a "
                               "temperature between 0 °C and 50 °C.";
const std::string kTooLarge = "The value entered is too large - please enter a valid value.";
const std::string kPressure = "Barometric pressure out of range - please enter a value between "
                              "50 kPa and 110 kPa.";

class ZoneChainTest : public testing::TestWithParam<ChainCase> {};

TEST_P(ZoneChainTest, WarnsAndRefusesInOrder) {
    const ChainCase& c = GetParam();
    ZoneTexts texts = InitialZoneTexts();
    ASSERT_NO_FATAL_FAILURE((ApplyChanges<ZoneTexts, ZoneInputs>(c, kZoneFields, texts)));
    const auto r = ValidateZoneInputs(texts);
    ExpectChainOutcome(c, r);
    if (c.refusedField) {
        EXPECT_FALSE(r.inputs.has_value());
    }
}

const std::vector<std::string> kNone;

INSTANTIATE_TEST_SUITE_P(
    Chain, ZoneChainTest,
    testing::Values(
        ChainCase{"InitialTextsPass", {}, kNone, nullptr, ""},
        ChainCase{"VentHighThenInfilEmpty",
                  {{"txtVentrate", "15"}, {"txtInfil", ""}},
                  {kVentHigh},
                  "txtInfil",
                  kInfilEmpty},
        ChainCase{
            "VentNegativeNoWarning", {{"txtVentrate", "-5"}}, kNone, "txtVentrate", kVentNegative},
        ChainCase{"VentEmptyAfterInfilWarning",
                  {{"txtVentrate", ""}, {"txtInfil", "6"}},
                  {kInfilHigh},
                  "txtVentrate",
                  kVentEmpty},
        ChainCase{"VentLettersAreZero", {{"txtVentrate", "abc"}}, kNone, nullptr, ""},
        ChainCase{"InfilBlankIsZero", {{"txtInfil", " "}}, kNone, nullptr, ""},
        ChainCase{"InfilZeroAccepted", {{"txtInfil", "0"}}, kNone, nullptr, ""},
        ChainCase{"InfilNegative", {{"txtInfil", "-1"}}, kNone, "txtInfil", kInfilNegative},
        ChainCase{"InfilAtLimit", {{"txtInfil", "5.1"}}, kNone, nullptr, ""},
        ChainCase{"InfilAboveLimit", {{"txtInfil", "5.2"}}, {kInfilHigh}, nullptr, ""},
        ChainCase{"VentAtLimit", {{"txtVentrate", "10"}}, kNone, nullptr, ""},
        ChainCase{"FreshNegative", {{"txtFreshair", "-1"}}, kNone, "txtFreshair", kFresh},
        ChainCase{"FreshAbove", {{"txtFreshair", "100.5"}}, kNone, "txtFreshair", kFresh},
        ChainCase{"FreshZeroAndHundred", {{"txtFreshair", "0"}}, kNone, nullptr, ""},
        ChainCase{"FreshHundred", {{"txtFreshair", "100"}}, kNone, nullptr, ""},
        ChainCase{"FreshEmpty", {{"txtFreshair", ""}}, kNone, nullptr, ""},
        ChainCase{"VolumeAtLimit", {{"txtVol", "20"}}, kNone, nullptr, ""},
        ChainCase{"VolumeBelow", {{"txtVol", "19.99"}}, kNone, "txtVol", kVolume},
        ChainCase{"VolumeLetters", {{"txtVol", "abc"}}, kNone, "txtVol", kVolume},
        ChainCase{"VolumeLargeWarns", {{"txtVol", "10000"}}, {kVolumeLarge}, nullptr, ""},
        ChainCase{"VolumeAtLargeLimit", {{"txtVol", "9999"}}, kNone, nullptr, ""},
        ChainCase{"ThreeWarnings",
                  {{"txtVentrate", "11"}, {"txtInfil", "6"}, {"txtVol", "20000"}},
                  {kVentHigh, kInfilHigh, kVolumeLarge},
                  nullptr,
                  ""},
        ChainCase{"AmbientTempZero", {{"txtTamb", "0"}}, kNone, "txtTamb", kAmbTempZero},
        ChainCase{"AmbientTempNegative", {{"txtTamb", "-1"}}, kNone, "txtTamb", kAmbTempRange},
        ChainCase{"AmbientTempAbove", {{"txtTamb", "50.01"}}, kNone, "txtTamb", kAmbTempRange},
        ChainCase{"AmbientTempAtLimit", {{"txtTamb", "50"}}, kNone, nullptr, ""},
        ChainCase{"AmbientRhZero", {{"txtAmbrh", ""}}, kNone, "txtAmbrh", kAmbRhZero},
        ChainCase{"AmbientRhAbove", {{"txtAmbrh", "101"}}, kNone, "txtAmbrh", kAmbRhRange},
        ChainCase{"AmbientRhNegative", {{"txtAmbrh", "-3"}}, kNone, "txtAmbrh", kAmbRhRange},
        ChainCase{"ZoneTempZero", {{"txttemp", "0"}}, kNone, "txttemp", kTempZero},
        ChainCase{"ZoneRhZero", {{"txtrh", "0"}}, kNone, "txtrh", kRhZero},
        ChainCase{"ZoneRhAbove", {{"txtrh", "100.1"}}, kNone, "txtrh", kRhHigh},
        ChainCase{"ZoneRhNegative", {{"txtrh", "-1"}}, kNone, "txtrh", kRhLow},
        ChainCase{"ZoneRhHundred", {{"txtrh", "100"}}, kNone, nullptr, ""},
        ChainCase{"ZoneTempNegative", {{"txttemp", "-1"}}, kNone, "txttemp", kTempRange},
        ChainCase{"ZoneTempAtLimit", {{"txttemp", "50"}}, kNone, nullptr, ""},
        ChainCase{
            "RhReportedBeforeTemp", {{"txtrh", "150"}, {"txttemp", "60"}}, kNone, "txtrh", kRhHigh},
        ChainCase{"UncheckedEntriesReadAsZero",
                  {{"txtOccupancy", "many"}, {"txtProcess", "x"}, {"txtSwimPoolGain", ""}},
                  kNone,
                  nullptr,
                  ""},
        ChainCase{"TooLargeBeforeWarnings",
                  {{"txtVentrate", "20"}, {"txtVol", "1e400"}},
                  kNone,
                  "txtVol",
                  kTooLarge},
        ChainCase{"TooLargeFirstInReadingOrder",
                  {{"txtSwimPoolGain", "-1e16"}, {"txtOccupancy", "1e15"}},
                  kNone,
                  "txtOccupancy",
                  kTooLarge},
        ChainCase{"FifteenNinesAccepted", {{"txtProcess", "999999999999999"}}, kNone, nullptr, ""},
        ChainCase{"PressureLow", {{"txtPresskPa", "49.9"}}, kNone, "txtPresskPa", kPressure},
        ChainCase{"PressureHigh", {{"txtPresskPa", "110.1"}}, kNone, "txtPresskPa", kPressure},
        ChainCase{"PressureLimits", {{"txtPresskPa", "50"}}, kNone, nullptr, ""},
        ChainCase{"PressureAfterTooLarge",
                  {{"txtPresskPa", ""}, {"txtVol", "1e20"}},
                  kNone,
                  "txtVol",
                  kTooLarge}),
    [](const testing::TestParamInfo<ChainCase>& info) { return std::string(info.param.name); });

TEST(ZoneChain, ReadsEveryEntry) {
    ZoneTexts texts = InitialZoneTexts();
    texts.occupancy = "2.5";
    texts.processGain = " 0 . 5 ";
    texts.poolGain = "12.50";
    const auto r = ValidateZoneInputs(texts);
    ASSERT_TRUE(r.inputs.has_value());
    EXPECT_EQ(r.inputs->pressure, 101.325);
    EXPECT_EQ(r.inputs->zoneTemp, 28);
    EXPECT_EQ(r.inputs->zoneRh, 60);
    EXPECT_EQ(r.inputs->occupancy, 2.5);
    EXPECT_EQ(r.inputs->ambientTemp, 46);
    EXPECT_EQ(r.inputs->ambientRh, 30);
    EXPECT_EQ(r.inputs->ventRate, 0);
    EXPECT_EQ(r.inputs->infilRate, 1);
    EXPECT_EQ(r.inputs->freshAir, 20);
    EXPECT_EQ(r.inputs->volume, 1000);
    EXPECT_EQ(r.inputs->processGain, 0.5);
    EXPECT_EQ(r.inputs->poolGain, 12.5);
}

} // namespace
