#include "core/psychrometrics/Psychrometrics.h"
#include "TestSupport.h"
#include "core/psychrometrics/ChartCurves.h"
#include "core/units/DehumUnits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Psychrometrics;

namespace {

constexpr double kPa = 101325;

struct AirCase {
    const char* name;
    double t, rh;
    double pws, W, v, d, h, DP, WB;
    int iterations;
};

class AirStateTest : public testing::TestWithParam<AirCase> {};

// Reference values at 101.325 kPa, each to half a unit of its last quoted digit.
TEST_P(AirStateTest, MatchesReferenceTable) {
    const AirCase& c = GetParam();
    const AirState s = ComputeAirState(c.t, c.rh, 101.325);
    EXPECT_NEAR(s.pws, c.pws, 0.005);
    EXPECT_NEAR(s.W, c.W, 0.00005);
    EXPECT_NEAR(s.v, c.v, 0.0005);
    EXPECT_NEAR(s.d, c.d, 0.0005);
    EXPECT_NEAR(s.h, c.h, 0.005);
    EXPECT_NEAR(s.DP, c.DP, 0.005);
    EXPECT_DOUBLE_EQ(s.pw, s.pws * (c.rh / 100));
    EXPECT_DOUBLE_EQ(s.d, 1 / s.v);

    const WetBulb wb = WetBulbTemperature(kPa, c.t, s.W);
    EXPECT_NEAR(wb.temperature, c.WB, 0.005);
    EXPECT_EQ(wb.iterations, c.iterations);
    EXPECT_TRUE(wb.converged);
}

INSTANTIATE_TEST_SUITE_P(
    Reference, AirStateTest,
    testing::Values(
        AirCase{"Pool29C60", 29, 60, 4008.29, 0.0152, 0.877, 1.140, 67.94, 20.46, 22.99, 440},
        AirCase{"Zone28C60", 28, 60, 3782.21, 0.0143, 0.873, 1.146, 64.67, 19.53, 22.12, 424},
        AirCase{"Room20C50", 20, 50, 2338.80, 0.0073, 0.840, 1.190, 38.62, 9.30, 13.85, 281}),
    [](const testing::TestParamInfo<AirCase>& info) { return std::string(info.param.name); });

TEST(SaturationPressure, KnownPoints) {
    EXPECT_NEAR(SaturationPressure(20), 2338.80, 0.005);
    EXPECT_NEAR(SaturationPressure(29), 4008.29, 0.005);
}

TEST(HumidityRatio, AgreesWithAirState) {
    const AirState s = ComputeAirState(28, 60, 101.325);
    EXPECT_DOUBLE_EQ(HumidityRatio(kPa, s.pw), s.W);
}

// Below about 612.5 Pa the first dew-point form goes negative and the second
// form takes over; exactly at saturation at 0 °C the second form gives 0.0031.
TEST(DewPoint, SwitchesFormBelowFreezing) {
    const AirState dry = ComputeAirState(5, 10, 101.325);
    EXPECT_NEAR(dry.pw, 87.25, 0.005);
    EXPECT_NEAR(dry.DP, -21.71, 0.005);

    const AirState freezing = ComputeAirState(0, 100, 101.325);
    EXPECT_NEAR(freezing.DP, 0.0031, 0.00005);
}

TEST(WetBulb, SaturatedAirTakesOnePass) {
    const AirState s = ComputeAirState(28, 100, 101.325);
    EXPECT_NEAR(s.DP, 27.99, 0.005);
    const WetBulb wb = WetBulbTemperature(kPa, 28, s.W);
    EXPECT_EQ(wb.iterations, 1);
    EXPECT_NEAR(wb.temperature, 28, 1e-9);
    EXPECT_TRUE(wb.converged);
}

// Below 1 % RH the search either leaves the numbers or runs out of passes; both
// must be recognisable to the caller.
TEST(WetBulb, VeryDryAirIsReportedAsNotConverged) {
    const WetBulb limit = WetBulbTemperature(kPa, 5, ComputeAirState(5, 0.5, 101.325).W);
    EXPECT_EQ(limit.iterations, kWetBulbPassLimit);
    EXPECT_FALSE(limit.converged);

    const WetBulb diverged = WetBulbTemperature(kPa, 2, ComputeAirState(2, 0.5, 101.325).W);
    EXPECT_FALSE(diverged.converged);
    EXPECT_LT(diverged.iterations, kWetBulbPassLimit);
}

// From 1 % RH up, the search settles for every temperature the checks admit.
TEST(WetBulb, ConvergesOverAcceptedRange) {
    for (double t = 0.5; t <= 50; t += 0.5) {
        for (double rh = 1; rh <= 100; rh += 1) {
            const AirState s = ComputeAirState(t, rh, 101.325);
            const WetBulb wb = WetBulbTemperature(kPa, t, s.W);
            ASSERT_TRUE(wb.converged) << t << " C " << rh << " %";
            ASSERT_LE(wb.iterations, 800) << t << " C " << rh << " %";
            ASSERT_LE(wb.temperature, t + 1e-9);
        }
    }
}

TEST(SaturatedAir, MatchesAirStateAtFullHumidity) {
    const AirState sat = ComputeSaturatedAirState(28, 101.325);
    const AirState full = ComputeAirState(28, 100, 101.325);
    EXPECT_EQ(sat.pw, sat.pws);
    EXPECT_DOUBLE_EQ(sat.W, full.W);
    EXPECT_DOUBLE_EQ(sat.h, full.h);
    EXPECT_NEAR(sat.W, 0.0242, 0.00005);
    EXPECT_NEAR(sat.h, 89.95, 0.005);
}

// How close the wet-bulb search comes to the wet bulb it looks for: it stops
// within 0.0001 kg/kg, which is up to an eighth of a degree in cool air.
constexpr double kSearchPrecision = 0.15;

// The chart's lines at the standard pressure and at one a site well above sea
// level would enter: a line drawn at the wrong pressure misses at the second.
class ChartLinesTest : public testing::TestWithParam<double> {};

// Air on a wet-bulb line has that wet bulb by the engine's own search, from
// saturation at its start to dry air or the chart's warm edge at its end.
TEST_P(ChartLinesTest, WetBulbLinesHoldTheirWetBulb) {
    const double kPaHere = GetParam();
    for (double twb : {5.0, Dehum_Units::kEnvelopeLow, 20.0, Dehum_Units::kEnvelopeHigh}) {
        const PsychroChart::Line line = PsychroChart::WetBulbLine(twb, kPaHere);
        ASSERT_GE(line.size(), 2u);
        EXPECT_DOUBLE_EQ(line.front().t, twb);
        EXPECT_NEAR(line.front().W, ComputeSaturatedAirState(twb, kPaHere).W, 1e-9);
        const PsychroChart::Point end = line.back();
        EXPECT_TRUE(end.W == 0 || end.t == PsychroChart::kHighestDryBulb) << twb;
        for (const PsychroChart::Point& p : line) {
            // Very dry air is where the search itself is least sure.
            if (p.W < 0.002) {
                continue;
            }
            const WetBulb wb = WetBulbTemperature(kPaHere * 1000, p.t, p.W);
            ASSERT_TRUE(wb.converged);
            EXPECT_NEAR(wb.temperature, twb, kSearchPrecision)
                << p.t << " C on the " << twb << " C line";
        }
    }
}

// The shaded envelope holds exactly the air whose wet bulb the units accept:
// its boundary is the 13 and 31 degree wet-bulb lines (and the chart's edges).
TEST_P(ChartLinesTest, EnvelopeEnclosesTheAcceptedWetBulbs) {
    const double kPaHere = GetParam();
    const PsychroChart::Line outline = PsychroChart::EnvelopeOutline(
        Dehum_Units::kEnvelopeLow, Dehum_Units::kEnvelopeHigh, kPaHere);
    int inside = 0;
    int outside = 0;
    for (double t = 1; t < 50; t += 1) {
        for (double rh = 5; rh < 100; rh += 5) {
            const AirState s = ComputeAirState(t, rh, kPaHere);
            const WetBulb wb = WetBulbTemperature(kPaHere * 1000, t, s.W);
            ASSERT_TRUE(wb.converged);
            // Within the search's own precision of a limit either side will do.
            if (std::fabs(wb.temperature - Dehum_Units::kEnvelopeLow) < kSearchPrecision ||
                std::fabs(wb.temperature - Dehum_Units::kEnvelopeHigh) < kSearchPrecision) {
                continue;
            }
            const bool accepted = Dehum_Units::InsideEnvelope(wb.temperature);
            EXPECT_EQ(PsychroChart::Encloses(outline, {t, s.W}), accepted)
                << t << " C " << rh << " % (wet bulb " << wb.temperature << ")";
            ++(accepted ? inside : outside);
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_GT(outside, 100);
}

INSTANTIATE_TEST_SUITE_P(Pressures, ChartLinesTest, testing::Values(101.325, 80.0));

} // namespace
