#include "core/units/DehumUnits.h"
#include "TestSupport.h"
#include "core/common/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Dehum_Units;
using NumberText::FormatGeneral;

namespace {

struct RateCase {
    const char* name;
    double t, rh, twb;
    const char *r100, *r160, *r200;
};

class UnitRateTest : public testing::TestWithParam<RateCase> {};

TEST_P(UnitRateTest, MatchesReferenceRates) {
    const RateCase& c = GetParam();
    const auto r = UnitMoistureRemoval(c.twb, c.rh, c.t);
    ASSERT_TRUE(r.has_value());
    const Rates rates = RatesFor(*r);
    EXPECT_EQ(FormatGeneral(rates.r100), c.r100);
    EXPECT_EQ(FormatGeneral(rates.r160), c.r160);
    EXPECT_EQ(FormatGeneral(rates.r200), c.r200);
}

INSTANTIATE_TEST_SUITE_P(
    Reference, UnitRateTest,
    testing::Values(RateCase{"Upper", 28, 60, 22.12, "104.0554", "166.48864", "208.1108"},
                    RateCase{"Lower", 20, 50, 13.85, "45.42", "72.672", "90.84"},
                    RateCase{"LowerHumid", 15, 80, 13.07, "85.7365", "137.1784", "171.473"},
                    RateCase{"UpperNegative", 30, 20, 15.74, "-22.347", "-35.7552", "-44.694"}),
    [](const testing::TestParamInfo<RateCase>& info) { return std::string(info.param.name); });

// Same air, different band: the bands meet at 15 without joining.
TEST(UnitMoistureRemoval, BandEdges) {
    const double lower = (0.0803 * 60 + 0.1293) * 28 + 0.0221 * 3600 - 2.0429 * 60 + 9.429;
    EXPECT_DOUBLE_EQ(*UnitMoistureRemoval(15, 60, 28), lower);
    EXPECT_EQ(FormatGeneral(*UnitMoistureRemoval(15.0001, 60, 28)), "104.0554");
    EXPECT_TRUE(UnitMoistureRemoval(8.0001, 60, 28).has_value());
    EXPECT_TRUE(UnitMoistureRemoval(30.9999, 60, 28).has_value());
    EXPECT_FALSE(UnitMoistureRemoval(8, 60, 28).has_value());
    EXPECT_FALSE(UnitMoistureRemoval(31, 60, 28).has_value());
    EXPECT_FALSE(UnitMoistureRemoval(std::nan(""), 60, 28).has_value());
}

TEST(Envelope, LimitsIncluded) {
    EXPECT_FALSE(InsideEnvelope(12.99));
    EXPECT_TRUE(InsideEnvelope(13));
    EXPECT_TRUE(InsideEnvelope(31));
    EXPECT_FALSE(InsideEnvelope(31.0001));
    EXPECT_FALSE(InsideEnvelope(std::nan("")));
    EXPECT_FALSE(InsideEnvelope(-HUGE_VAL));
}

TEST(Rates, AllPositiveNeedsEverySize) {
    EXPECT_TRUE(RatesFor(0.001).AllPositive());
    EXPECT_FALSE(RatesFor(0).AllPositive());
    EXPECT_FALSE(RatesFor(-1).AllPositive());
}

} // namespace
