#include "TestSupport.h"
#include "core/pool/PoolCalc.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kOutOfRange = "Operating conditions out of range for HX units. Please enter "
                                "alternative desired zone temperature and RH or contact Varnel "
                                "for further advice";
const std::string kArea = "Please enter a value for the pool size greater than 1 m2.";
const std::string kTempZero = "Please enter a valid value for the zone temperature.";
const std::string kRhZero = "Please enter a valid value for the room RH.";
const std::string kPoolZero = "Please enter a valid value for the pool temperature.";
const std::string kRhHigh = "RH cannot be greater than 100% - please enter a valid value";
const std::string kRhLow = "RH cannot be less than 0% - please enter a valid value";
const std::string kTempRange = "Room air temperature is out of range - please enter a "
                               "temperature between 0 °C and 50 °C.";
const std::string kPoolRange = "Pool temperature is out of range - please enter a temperature "
                               "between 0 °C and 50°C";
const std::string kDifference =
    "WARNING - This is a large temperature difference between the pool water and room air. Are "
    "you sure these values are correct? Answers will be calculated using these values.";
const std::string kLargeArea = "WARNING - This is a large pool area. Are you sure this value is "
                               "correct? Answers will be calculated using these values.";
const std::string kTooLarge = "The value entered is too large - please enter a valid value.";

class PoolChainTest : public testing::TestWithParam<ChainCase> {};

TEST_P(PoolChainTest, WarnsAndRefusesInOrder) {
    const ChainCase& c = GetParam();
    PoolTexts texts = InitialPoolTexts();
    ASSERT_NO_FATAL_FAILURE((ApplyChanges<PoolTexts, PoolInputs>(c, kPoolFields, texts)));
    ExpectChainOutcome(c, ValidatePoolInputs(texts));
}

const std::vector<std::string> kNone;

INSTANTIATE_TEST_SUITE_P(
    Chain, PoolChainTest,
    testing::Values(
        ChainCase{"InitialTextsPass", {}, kNone, nullptr, ""},
        ChainCase{"AreaBelow", {{"txtpoolarea", "0.98"}}, kNone, "txtpoolarea", kArea},
        ChainCase{"AreaEmpty", {{"txtpoolarea", ""}}, kNone, "txtpoolarea", kArea},
        ChainCase{"AreaAtLimit", {{"txtpoolarea", "0.99"}}, kNone, nullptr, ""},
        ChainCase{"AreaBeforeTemp",
                  {{"txtpoolarea", "0"}, {"txttemp", "0"}},
                  kNone,
                  "txtpoolarea",
                  kArea},
        ChainCase{"TempZero", {{"txttemp", "0"}}, kNone, "txttemp", kTempZero},
        ChainCase{"TempNegative", {{"txttemp", "-1"}}, kNone, "txttemp", kTempRange},
        ChainCase{"RhZero", {{"txtrh", "0"}}, kNone, "txtrh", kRhZero},
        ChainCase{"RhAbove", {{"txtrh", "101"}}, kNone, "txtrh", kRhHigh},
        ChainCase{"RhNegative", {{"txtrh", "-2"}}, kNone, "txtrh", kRhLow},
        ChainCase{"RhHundred", {{"txtrh", "100"}}, kNone, nullptr, ""},
        ChainCase{"PoolTempZero", {{"txtpooltemp", "x"}}, kNone, "txtpooltemp", kPoolZero},
        ChainCase{"PoolZeroBeforeRhRange",
                  {{"txtpooltemp", ""}, {"txtrh", "120"}},
                  kNone,
                  "txtpooltemp",
                  kPoolZero},
        ChainCase{"PoolTempAbove", {{"txtpooltemp", "51"}}, kNone, "txtpooltemp", kPoolRange},
        ChainCase{"RoomRangeBeforePoolRange",
                  {{"txttemp", "51"}, {"txtpooltemp", "51"}},
                  kNone,
                  "txttemp",
                  kTempRange},
        ChainCase{"DifferenceWarns", {{"txtpooltemp", "40"}}, {kDifference}, nullptr, ""},
        ChainCase{"DifferenceAtLimit", {{"txtpooltemp", "39"}}, kNone, nullptr, ""},
        ChainCase{
            "ExactlyTenApart", {{"txttemp", "20"}, {"txtpooltemp", "30"}}, kNone, nullptr, ""},
        ChainCase{"LargeArea", {{"txtpoolarea", "250"}}, {kLargeArea}, nullptr, ""},
        ChainCase{"AreaAtWarningLimit", {{"txtpoolarea", "200"}}, kNone, nullptr, ""},
        ChainCase{"BothWarningsInOrder",
                  {{"txtpoolarea", "250"}, {"txttemp", "20"}, {"txtpooltemp", "35"}},
                  {kDifference, kLargeArea},
                  nullptr,
                  ""},
        ChainCase{"WarningsOnlyAfterRefusals",
                  {{"txtpoolarea", "250"}, {"txtpooltemp", "40"}, {"txtrh", "0"}},
                  kNone,
                  "txtrh",
                  kRhZero},
        ChainCase{"OccupanciesUnchecked",
                  {{"txtOccupancy", "-3"}, {"cmbOccupancy2", "lots"}},
                  kNone,
                  nullptr,
                  ""},
        ChainCase{"TooLarge",
                  {{"cmbOccupancy2", "1e15"}, {"txtpoolarea", "1e300"}},
                  kNone,
                  "cmbOccupancy2",
                  kTooLarge}),
    [](const testing::TestParamInfo<ChainCase>& info) { return std::string(info.param.name); });

PoolInputs Example() {
    PoolInputs in;
    in.pressure = 101.325;
    in.roomTemp = 29;
    in.roomRh = 60;
    in.poolTemp = 28;
    in.area = 50;
    return in;
}

TEST(CalculatePool, WorkedExampleFieldForField) {
    const PoolResult r = CalculatePool(Example());
    EXPECT_EQ(r.outcome, Outcome::Completed);
    EXPECT_FALSE(r.message.has_value());
    EXPECT_FALSE(r.focus.has_value());
    const std::vector<FieldText> expected{
        {"txtpws1", "4008.29"},      {"txtpw1", "2404.97"},      {"txtW1", "0.0152"},
        {"txtv1", "0.88"},           {"txtd1", "1.14"},          {"txth1", "67.94"},
        {"txtDP", "20.46"},          {"txtiter", "440"},         {"txtWBzone", "22.99"},
        {"txtpws2", "3782.21"},      {"txtpw2", "3782.21"},      {"txtW2", "0.0242"},
        {"txtV2", "0.89"},           {"txtd2", "1.13"},          {"txth2", "89.95"},
        {"txtMetGain", "0.00"},      {"txtTotalOccupancy", "0"}, {"txtm1", "237.99"},
        {"txtm2", "99.60"},          {"txtTotalGain", "99.60"},  {"txt100s", "0.9"},
        {"txt160s", "0.6"},          {"txt200s", "0.5"},         {"txtRate100", "108.2042"},
        {"txtRate160", "173.12672"}, {"txtRate200", "216.4084"}};
    EXPECT_EQ(r.fieldTexts, expected);
}

TEST(CalculatePool, WorkedExampleWithBathersAndSpectators) {
    PoolInputs in = Example();
    in.roomTemp = 28;
    in.bathers = 10;
    in.spectators = 5;
    const PoolResult r = CalculatePool(in);
    EXPECT_EQ(r.outcome, Outcome::Completed);
    ExpectWritten(r, {{"txtWBzone", "22.12"},
                      {"txtMetGain", "29.88"},
                      {"txtTotalOccupancy", "15"},
                      {"txtm2", "158.64"},
                      {"txtTotalGain", "188.52"},
                      {"txt100s", "1.8"},
                      {"txt160s", "1.1"},
                      {"txt200s", "0.9"},
                      {"txtRate100", "104.0554"},
                      {"txtRate160", "166.48864"},
                      {"txtRate200", "208.1108"}});
}

TEST(CalculatePool, FractionalOccupancyUsedAsRead) {
    PoolInputs in = Example();
    in.spectators = 2.5;
    ExpectWritten(CalculatePool(in), {{"txtTotalOccupancy", "2.5"}, {"txtMetGain", "4.98"}});
}

TEST(CalculatePool, WetBulbBelowEnvelope) {
    PoolInputs in = Example();
    in.roomTemp = 12;
    in.poolTemp = 12;
    const PoolResult r = CalculatePool(in);
    EXPECT_EQ(r.outcome, Outcome::EnvelopeRejected);
    EXPECT_EQ(r.message, kOutOfRange);
    EXPECT_EQ(r.focus, "txttemp");
    ExpectWritten(r, {{"txtWBzone", "8.31"}});
    EXPECT_FALSE(Written(r, "txtpws2").has_value());
    EXPECT_EQ(r.afterMessage,
              (std::vector<FieldText>{{"txt100s", ""}, {"txt160s", ""}, {"txt200s", ""}}));
}

// Negative counts stand while the message is up, then are emptied.
TEST(CalculatePool, NegativeRatesShowCountsThenEmptyThem) {
    PoolInputs in = Example();
    in.roomTemp = 30;
    in.roomRh = 20;
    in.poolTemp = 30;
    const PoolResult r = CalculatePool(in);
    EXPECT_EQ(r.outcome, Outcome::RatesRejected);
    EXPECT_EQ(r.message, kOutOfRange);
    EXPECT_FALSE(r.focus.has_value());
    ExpectWritten(r, {{"txt100s", "-16.2"}, {"txt160s", "-10.1"}, {"txt200s", "-8.1"}});
    EXPECT_FALSE(Written(r, "txtRate100").has_value());
    EXPECT_EQ(r.afterMessage,
              (std::vector<FieldText>{{"txt100s", ""}, {"txt160s", ""}, {"txt200s", ""}}));
}

// Water colder than the room: evaporation below zero, counts written as plain "0".
TEST(CalculatePool, NegativeEvaporationGivesZeroCounts) {
    PoolInputs in = Example();
    in.roomTemp = 30;
    in.roomRh = 80;
    in.poolTemp = 20;
    const PoolResult r = CalculatePool(in);
    EXPECT_EQ(r.outcome, Outcome::Completed);
    ExpectWritten(r, {{"txtm1", "-182.83"},
                      {"txtm2", "-121.03"},
                      {"txtTotalGain", "-121.03"},
                      {"txt100s", "0"},
                      {"txt160s", "0"},
                      {"txt200s", "0"},
                      {"txtRate100", "153.663"},
                      {"txtRate160", "245.8608"},
                      {"txtRate200", "307.326"}});
    // The "0.0" counts come first, then are written again as "0".
    const auto names = FieldNames(r.fieldTexts);
    EXPECT_EQ(std::count(names.begin(), names.end(), "txt100s"), 2);
}

TEST(CalculatePool, FailedWetBulbSearchIsOutOfRange) {
    PoolInputs in = Example();
    in.roomTemp = 2;
    in.roomRh = 0.5;
    in.poolTemp = 2;
    const PoolResult r = CalculatePool(in);
    EXPECT_EQ(r.outcome, Outcome::EnvelopeRejected);
    EXPECT_EQ(r.focus, "txttemp");
    ExpectWritten(r, {{"txtWBzone", ""}});
    EXPECT_TRUE(Written(r, "txtiter").has_value());
}

} // namespace
