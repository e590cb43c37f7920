#include "core/zone/ZoneCalc.h"
#include "TestSupport.h"
#include "core/common/NumberText.h"
#include "core/units/DehumUnits.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string kEnvelopeMessage =
    "Operating conditions out of range for dehumidification units. Please enter alternative "
    "desired zone temperature and RH or contact Varnel for further advice";
const std::string kRatesMessage =
    "Operating conditions out of range for HX units. Please enter alternative desired zone "
    "temperature and RH or contact Varnel for further advice";

// The worked example: 28 °C / 60 % zone, 46 °C / 30 % outside, 1000 m3, 10 office workers.
ZoneInputs Example() {
    ZoneInputs in;
    in.pressure = 101.325;
    in.zoneTemp = 28;
    in.zoneRh = 60;
    in.volume = 1000;
    in.infilRate = 1;
    in.ventRate = 0;
    in.freshAir = 20;
    in.ambientTemp = 46;
    in.ambientRh = 30;
    in.occupancy = 10;
    return in;
}

TEST(CalculateZone, WorkedExampleFieldForField) {
    const ZoneResult r = CalculateZone(Example(), "Office Work");
    EXPECT_EQ(r.outcome, Outcome::Completed);
    EXPECT_FALSE(r.message.has_value());
    EXPECT_FALSE(r.focus.has_value());
    EXPECT_TRUE(r.afterMessage.empty());
    const std::vector<FieldText> expected{
        {"txtpws1", "3782.21"},     {"txtpw1", "2269.32"},       {"txtW1", "0.0143"},
        {"txtv1", "0.87"},          {"txtd1", "1.15"},           {"txth1", "64.67"},
        {"txtDP", "19.53"},         {"txtiter", "424"},          {"txtWBzone", "22.12"},
        {"txtpws2", "10097.60"},    {"txtpw2", "3029.28"},       {"txtW2", "0.0192"},
        {"txtV2", "0.93"},          {"txtd2", "1.07"},           {"txth2", "96.01"},
        {"txtVentGain", "0.00"},    {"txtPeopleGain", "17.52"},  {"txtInfilGain", "102.11"},
        {"txtProcessGain", "0.00"}, {"txtSwimPoolGain1", "0"},   {"txtTotGain", "119.63"},
        {"txt100s", "1.1"},         {"txt160s", "0.7"},          {"txt200s", "0.6"},
        {"txtRate100", "104.0554"}, {"txtRate160", "166.48864"}, {"txtRate200", "208.1108"}};
    EXPECT_EQ(r.fieldTexts, expected);
}

TEST(CalculateZone, WorkedExampleWithVentilationProcessAndPool) {
    ZoneInputs in = Example();
    in.ventRate = 2;
    in.processGain = 0.5;
    in.poolGain = 12.5;
    const ZoneResult r = CalculateZone(in, "Office Work");
    EXPECT_EQ(r.outcome, Outcome::Completed);
    ExpectWritten(r, {{"txtVentGain", "40.84"},
                      {"txtProcessGain", "12.00"},
                      {"txtSwimPoolGain1", "12.5"},
                      {"txtTotGain", "184.97"},
                      {"txt100s", "1.8"},
                      {"txt160s", "1.1"},
                      {"txt200s", "0.9"},
                      {"txtRate100", "104.0554"}});
}

struct ActivityCase {
    const char* activity;
    const char* peopleGain;
};

class ActivityTest : public testing::TestWithParam<ActivityCase> {};

// Matched exactly, case and blanks included; anything else gives no gain.
TEST_P(ActivityTest, OccupantGainPerActivity) {
    const ZoneResult r = CalculateZone(Example(), GetParam().activity);
    EXPECT_EQ(r.outcome, Outcome::Completed);
    ExpectWritten(r, {{"txtPeopleGain", GetParam().peopleGain}});
}

INSTANTIATE_TEST_SUITE_P(
    Activities, ActivityTest,
    testing::Values(ActivityCase{"Labouring", "24.96"}, ActivityCase{"Social", "19.92"},
                    ActivityCase{"Office Work", "17.52"}, ActivityCase{"Sleeping", "10.08"},
                    ActivityCase{"office work", "0.00"}, ActivityCase{"Social ", "0.00"},
                    ActivityCase{"", "0.00"}));

TEST(ActivityRate, OfficeWorkIsTheProductNotTheDecimal) {
    EXPECT_EQ(ActivityRate("Office Work"), 1.7519999999999998);
    EXPECT_NE(ActivityRate("Office Work"), 1.752);
}

TEST(CalculateZone, NoFreshAirOrInfiltrationGivesNoFlowGain) {
    ZoneInputs in = Example();
    in.ventRate = 5;
    in.freshAir = 0;
    in.infilRate = 0;
    const ZoneResult r = CalculateZone(in, "Office Work");
    ExpectWritten(r, {{"txtVentGain", "0.00"}, {"txtInfilGain", "0.00"}});
}

TEST(CalculateZone, DrierOutsideAirGivesNegativeGain) {
    ZoneInputs in = Example();
    in.ambientTemp = 20;
    in.ambientRh = 30;
    const ZoneResult r = CalculateZone(in, "Office Work");
    ExpectWritten(r, {{"txtInfilGain", "-268.40"}});
}

TEST(CalculateZone, TotalNotPositiveShowsZeroCountsAndRates) {
    ZoneInputs in = Example();
    in.occupancy = 0;
    in.ambientTemp = 20;
    const ZoneResult r = CalculateZone(in, "Office Work");
    EXPECT_EQ(r.outcome, Outcome::Completed);
    ExpectWritten(r, {{"txt100s", "0"},
                      {"txt160s", "0"},
                      {"txt200s", "0"},
                      {"txtRate100", "104.0554"},
                      {"txtRate200", "208.1108"}});
}

const std::vector<std::string> kNineResults{"txtPeopleGain",  "txtVentGain",      "txtInfilGain",
                                            "txtProcessGain", "txtSwimPoolGain1", "txtTotGain",
                                            "txt100s",        "txt160s",          "txt200s"};

// The zone column and wet bulb are shown; the ambient column and rates are left alone,
// and the nine results are emptied only after the message.
TEST(CalculateZone, WetBulbBelowEnvelope) {
    ZoneInputs in = Example();
    in.zoneTemp = 12;
    const ZoneResult r = CalculateZone(in, "Office Work");
    EXPECT_EQ(r.outcome, Outcome::EnvelopeRejected);
    EXPECT_EQ(r.message, kEnvelopeMessage);
    EXPECT_EQ(r.focus, "txttemp");
    EXPECT_EQ(FieldNames(r.fieldTexts),
              (std::vector<std::string>{"txtpws1", "txtpw1", "txtW1", "txtv1", "txtd1", "txth1",
                                        "txtDP", "txtiter", "txtWBzone"}));
    ExpectWritten(r, {{"txtWBzone", "8.31"}});
    EXPECT_EQ(FieldNames(r.afterMessage), kNineResults);
    for (const FieldText& f : r.afterMessage) {
        EXPECT_EQ(f.text, "") << f.field;
    }
}

// The upper band gives negative rates in warm dry air: counts emptied, gains kept.
TEST(CalculateZone, NegativeRatesRejected) {
    ZoneInputs in = Example();
    in.zoneTemp = 30;
    in.zoneRh = 20;
    const ZoneResult r = CalculateZone(in, "Office Work");
    EXPECT_EQ(r.outcome, Outcome::RatesRejected);
    EXPECT_EQ(r.message, kRatesMessage);
    EXPECT_FALSE(r.focus.has_value());
    EXPECT_TRUE(Written(r, "txtTotGain").has_value());
    EXPECT_FALSE(Written(r, "txtRate100").has_value());
    EXPECT_FALSE(Written(r, "txt100s").has_value());
    EXPECT_EQ(r.afterMessage,
              (std::vector<FieldText>{{"txt100s", ""}, {"txt160s", ""}, {"txt200s", ""}}));
}

struct DryAirCase {
    const char* name;
    double t, rh;
};

class VeryDryZoneTest : public testing::TestWithParam<DryAirCase> {};

// A wet-bulb search that fails must not complete with a made-up answer.
TEST_P(VeryDryZoneTest, FailedWetBulbSearchIsOutOfRange) {
    ZoneInputs in = Example();
    in.zoneTemp = GetParam().t;
    in.zoneRh = GetParam().rh;
    const ZoneResult r = CalculateZone(in, "Office Work");
    EXPECT_EQ(r.outcome, Outcome::EnvelopeRejected);
    EXPECT_EQ(r.message, kEnvelopeMessage);
    EXPECT_EQ(r.focus, "txttemp");
    ExpectWritten(r, {{"txtWBzone", ""}});
    EXPECT_EQ(Written(r, "txtiter"), std::to_string(r.numbers.wetBulb.iterations));
    EXPECT_EQ(FieldNames(r.afterMessage), kNineResults);
    for (const FieldText& f : r.fieldTexts) {
        EXPECT_NE(f.text, "inf");
        EXPECT_NE(f.text, "nan");
        EXPECT_EQ(f.text.find("inf"), std::string::npos) << f.field;
    }
}

INSTANTIATE_TEST_SUITE_P(DryAir, VeryDryZoneTest,
                         testing::Values(DryAirCase{"RunsOutOfPasses", 6, 0.5},
                                         DryAirCase{"Diverges", 2, 0.5},
                                         DryAirCase{"NoVapourAtAll", 28, 1e-322}),
                         [](const testing::TestParamInfo<DryAirCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(CalculateZone, NoVapourHasNoDewPoint) {
    ZoneInputs in = Example();
    in.zoneRh = 1e-322;
    ExpectWritten(CalculateZone(in, "Office Work"), {{"txtDP", ""}});
}

// The zone RH, as typed, at which the upper band's rate at 30 °C is smallest above zero.
std::string RhOfSmallestPositiveRate() {
    const auto rate = [](double rh) { return *Dehum_Units::UnitMoistureRemoval(20, rh, 30); };
    double negative = 20; // the rate is below zero here and above it at 60 %
    double positive = 60;
    while (std::nextafter(negative, positive) != positive) {
        const double mid = negative + (positive - negative) / 2;
        (rate(mid) > 0 ? positive : negative) = mid;
    }
    // Written exactly and with a full stop whatever the locale.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, positive).ptr;
    return std::string(text, end);
}

// The counts are never rounded or cut short: a rate a few units in the last place above
// zero and the largest flows the checks accept give counts of some 1e43, written in full
// (46 characters).
TEST(CalculateZone, RateJustAboveZeroGivesCountsInFull) {
    ZoneTexts texts = InitialZoneTexts();
    texts.zoneTemp = "30";
    texts.zoneRh = RhOfSmallestPositiveRate();
    texts.ambientTemp = "50";
    texts.ambientRh = "100";
    texts.ventRate = "999999999999999";
    texts.infilRate = "999999999999999";
    texts.freshAir = "100";
    texts.volume = "999999999999999";
    const auto checks = ValidateZoneInputs(texts);
    ASSERT_TRUE(checks.inputs.has_value()) << checks.refusal->field;
    const ZoneResult r = CalculateZone(*checks.inputs, "Office Work");
    ASSERT_EQ(r.outcome, Outcome::Completed);
    ASSERT_TRUE(r.numbers.rate100.has_value());
    EXPECT_GT(*r.numbers.rate100, 0);
    EXPECT_LT(*r.numbers.rate100, 1e-12);
    const std::string count = Written(r, "txt100s").value_or("");
    EXPECT_GT(count.size(), 40u) << count;
    EXPECT_EQ(count.substr(count.size() - 2, 1), ".");
    EXPECT_NEAR(NumberText::ReadNumber(count), r.numbers.count100, 1e-15 * r.numbers.count100);
}

// The chain feeds the calculation: the screens' initial texts give the worked example.
TEST(CalculateZone, FromInitialTexts) {
    ZoneTexts texts = InitialZoneTexts();
    texts.occupancy = "10";
    const auto checks = ValidateZoneInputs(texts);
    ASSERT_TRUE(checks.inputs.has_value());
    ExpectWritten(CalculateZone(*checks.inputs, "Office Work"), {{"txtTotGain", "119.63"}});
}

} // namespace
