#include "core/common/NumberText.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <vector>

using NumberText::FormatFixed;
using NumberText::FormatGeneral;
using NumberText::ReadNumber;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ReadCase {
    const char* name;
    std::string text;
    double expected;
    bool whole = true; // nothing but blanks left after the number
};

// Built by appending: GCC 12 at -O3 reports a false -Wrestrict inside
// `"text" + std::string(...)`.
std::string Around(const char* head, std::size_t count, char fill, const char* tail) {
    return std::string(head).append(count, fill).append(tail);
}

class ReadNumberTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsLeadingNumber) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(ReadNumber(c.text), c.expected) << '"' << c.text << '"';
    const NumberText::Reading reading = NumberText::Read(c.text);
    EXPECT_EQ(reading.value, c.expected) << '"' << c.text << '"';
    EXPECT_EQ(reading.whole, c.whole) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumberTest,
    testing::Values(
        ReadCase{"Empty", "", 0}, ReadCase{"Plain", "12", 12},
        ReadCase{"BlankBetweenDigits", "1 2", 12}, ReadCase{"BlankAfterSign", " - 5", -5},
        ReadCase{"TabsAndNewlines", "\t3\r\n", 3}, ReadCase{"PlusSign", "+5", 5},
        ReadCase{"Letters", "abc", 0, false}, ReadCase{"TrailingLetters", "12abc", 12, false},
        ReadCase{"SecondPointEnds", "1.5.3", 1.5, false}, ReadCase{"LeadingPoint", ".5", 0.5},
        ReadCase{"TrailingPoint", "5.", 5}, ReadCase{"PointOnly", ".", 0, false},
        ReadCase{"SignOnly", "-", 0, false}, ReadCase{"DoubleSign", "--5", 0, false},
        ReadCase{"Exponent", "1e3", 1000}, ReadCase{"CapitalExponent", "1E3", 1000},
        ReadCase{"ExponentWithoutDigits", "1e", 1, false},
        ReadCase{"ExponentSignOnly", "1e+", 1, false}, ReadCase{"NegativeExponent", "1e-2", 0.01},
        ReadCase{"ExponentThenText", "2.5e1x", 25, false},
        ReadCase{"BlanksInExponent", "1 e 3", 1000}, ReadCase{"Infinity", "inf", 0, false},
        ReadCase{"NotANumber", "nan", 0, false}, ReadCase{"Hex", "0x10", 0, false},
        ReadCase{"DecimalComma", "1,5", 1, false}, ReadCase{"Overflow", "1e400", kInf},
        ReadCase{"NegativeOverflow", "-1e400", -kInf}, ReadCase{"Underflow", "1e-400", 0},
        ReadCase{"HugeExponent", "1e99999999999999999999", kInf},
        ReadCase{"LongDigits", std::string(400, '9'), kInf},
        ReadCase{"ManyLeadingZeros", Around("0.", 400, '0', "1e10"), 0},
        ReadCase{"LongMantissaSmallExponent", Around("1", 400, '0', "e-395"), 1e5},
        ReadCase{"FifteenNines", "999999999999999", 999999999999999.0},
        ReadCase{"NonAscii",
                 "\xc2\xb0"
                 "5",
                 0, false},
        ReadCase{"ThousandsComma", "1,000", 1, false},
        ReadCase{"ArabicIndicDigits", "\xd9\xa3", 0, false}, ReadCase{"OnlyBlanks", " \t ", 0}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

struct FixedCase {
    const char* name;
    double value;
    int decimals;
    const char* expected;
};

class FormatFixedTest : public testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedTest, RoundsExactValueHalfAwayFromZero) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatFixedTest,
    testing::Values(
        FixedCase{"TieUp", 1.125, 2, "1.13"}, FixedCase{"NegativeTie", -1.125, 2, "-1.13"},
        FixedCase{"TieOneDecimal", 0.25, 1, "0.3"}, FixedCase{"TieNoDecimals", 2.5, 0, "3"},
        FixedCase{"BelowTieInBinary", 2.675, 2, "2.67"},
        FixedCase{"AboveTieInBinary", 1.05, 1, "1.1"},
        FixedCase{"NegativeAboveTie", -0.005, 2, "-0.01"},
        FixedCase{"RoundsToZeroNoSign", -0.001, 2, "0.00"},
        FixedCase{"NegativeZero", -0.0, 2, "0.00"}, FixedCase{"Zero", 0.0, 4, "0.0000"},
        FixedCase{"Carry", 9.9999, 2, "10.00"}, FixedCase{"Pads", 3.0, 2, "3.00"},
        FixedCase{"FourDecimals", 0.0152, 4, "0.0152"}, FixedCase{"SmallValue", 0.0006, 2, "0.00"},
        FixedCase{"SmallValueUp", 0.006, 2, "0.01"},
        FixedCase{"Large", 1e20, 2, "100000000000000000000.00"},
        FixedCase{"Negative", -268.4049, 2, "-268.40"}, FixedCase{"Infinity", kInf, 2, ""},
        FixedCase{"NaN", std::nan(""), 2, ""}),
    [](const testing::TestParamInfo<FixedCase>& info) { return std::string(info.param.name); });

// Away from exact ties, the text is the C library's correctly rounded one, over
// every magnitude and number of decimals results are written with and beyond.
TEST(NumberTextFixed, MatchesTheCorrectlyRoundedTextAwayFromTies) {
    std::mt19937_64 random(20261209);
    char printed[512];
    for (int i = 0; i < 200000; ++i) {
        // Odd, so that the exact value has more fraction digits than any tie.
        const std::uint64_t mantissa = (random() >> 11) | 1;
        const int scale = -20 - static_cast<int>(random() % 60);
        const double value = std::ldexp(static_cast<double>(mantissa), scale) * (i % 2 ? -1 : 1);
        const int decimals = static_cast<int>(random() % 11);
        std::snprintf(printed, sizeof printed, "%.*f", decimals, value);
        std::string expected = printed;
        // The suite runs under a decimal-comma locale too, which printf follows.
        std::replace(expected.begin(), expected.end(), ',', '.');
        if (expected.find_first_of("123456789") == std::string::npos) {
            expected.erase(0, expected.front() == '-' ? 1 : 0);
        }
        const std::string text = FormatFixed(value, decimals);
        if (text != expected) {
            ADD_FAILURE() << std::hexfloat << value << " with " << decimals << ": " << text
                          << ", not " << expected;
            break;
        }
    }
}

// The same for 15 significant digits where the text is positional (%.15g).
TEST(NumberTextGeneral, MatchesTheCorrectlyRoundedTextAwayFromTies) {
    // Beside each power of ten the leading digit's place is easiest to misjudge.
    std::vector<double> values;
    for (int place = -4; place <= 14; ++place) {
        const double power = std::pow(10.0, place);
        for (const double v : {std::nextafter(power, 0.0), power, std::nextafter(power, kInf),
                               power * 0.99999999999999994, power * 0.9999999999999999,
                               power * 0.999999999999999, power * 0.99999999999999}) {
            values.insert(values.end(), {v, -v});
        }
    }
    std::mt19937_64 random(20261210);
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t mantissa = (random() >> 11) | 1;
        const int scale = -10 - static_cast<int>(random() % 90); // about 10^13 to 10^-18
        values.push_back(std::ldexp(static_cast<double>(mantissa), scale) * (i % 2 ? -1 : 1));
    }
    char printed[64];
    for (const double value : values) {
        if (std::fabs(value) < 1e-4) {
            continue; // written with an exponent, in its own way
        }
        std::snprintf(printed, sizeof printed, "%.15g", value);
        std::string expected = printed;
        std::replace(expected.begin(), expected.end(), ',', '.');
        const std::string text = FormatGeneral(value);
        if (text != expected) {
            ADD_FAILURE() << std::hexfloat << value << ": " << text << ", not " << expected;
            break;
        }
    }
}

struct GeneralCase {
    const char* name;
    double value;
    const char* expected;
};

class FormatGeneralTest : public testing::TestWithParam<GeneralCase> {};

TEST_P(FormatGeneralTest, WritesFifteenSignificantDigits) {
    const GeneralCase& c = GetParam();
    EXPECT_EQ(FormatGeneral(c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatGeneralTest,
    testing::Values(GeneralCase{"Fraction", 12.5, "12.5"}, GeneralCase{"Zero", 0.0, "0"},
                    GeneralCase{"NegativeZero", -0.0, "0"}, GeneralCase{"Whole", 3.0, "3"},
                    GeneralCase{"Negative", -2.5, "-2.5"},
                    GeneralCase{"RateProduct", 1.6 * 104.0554, "166.48864"},
                    GeneralCase{"RepresentationNoise", 0.1 + 0.2, "0.3"},
                    GeneralCase{"Third", 1.0 / 3, "0.333333333333333"},
                    GeneralCase{"TwoThirds", 2.0 / 3, "0.666666666666667"},
                    GeneralCase{"SmallestPositional", 0.0001, "0.0001"},
                    GeneralCase{"SmallPositional", 0.000123456789012345678, "0.000123456789012346"},
                    GeneralCase{"BelowPositional", 0.00001, "1E-05"},
                    GeneralCase{"SmallExponent", 1.5e-7, "1.5E-07"},
                    GeneralCase{"LargestPositional", 123456789012345.0, "123456789012345"},
                    GeneralCase{"FifteenNinesBelowAPower", 9999999999999.99, "9999999999999.99"},
                    GeneralCase{"AbovePositional", 1e15, "1E+15"},
                    GeneralCase{"RoundsIntoExponent", 999999999999999.9, "1E+15"},
                    GeneralCase{"TieAwayFromZero", 1234567890123445.0, "1.23456789012345E+15"},
                    GeneralCase{"NegativeTie", -1234567890123445.0, "-1.23456789012345E+15"},
                    GeneralCase{"FractionalTie", 123456789012344.5, "123456789012345"},
                    GeneralCase{"PowerOfTwo", 0.000030517578125, "3.0517578125E-05"},
                    GeneralCase{"ThreeDigitExponent", 1e100, "1E+100"},
                    GeneralCase{"Subnormal", 4.9406564584124654e-324, "4.94065645841247E-324"},
                    GeneralCase{"Infinity", -kInf, ""}, GeneralCase{"NaN", std::nan(""), ""}),
    [](const testing::TestParamInfo<GeneralCase>& info) { return std::string(info.param.name); });

// Fixed texts read back within half a unit of their last digit.
TEST(NumberTextRoundTrip, FixedTextsReadBackWithinHalfUnit) {
    for (double v = -1000.0; v <= 1000.0; v += 0.123456789) {
        for (int decimals : {1, 2, 4}) {
            const double back = ReadNumber(FormatFixed(v, decimals));
            EXPECT_LE(std::fabs(back - v), 0.5 * std::pow(10.0, -decimals) + 1e-9)
                << v << " with " << decimals;
        }
    }
}

// The top of the double range rounds to 15 digits past the largest double, so its
// general text reads back as an infinity; the entry checks refuse both as too large.
TEST(NumberTextRoundTrip, LargestDoubleGeneralTextReadsAsInfinity) {
    constexpr double kMax = std::numeric_limits<double>::max();
    EXPECT_EQ(FormatGeneral(kMax), "1.79769313486232E+308");
    EXPECT_EQ(ReadNumber(FormatGeneral(kMax)), kInf);
    EXPECT_EQ(ReadNumber(FormatGeneral(-kMax)), -kInf);
    EXPECT_EQ(ReadNumber(FormatGeneral(1.79769313486231e308)), 1.79769313486231e308);
    // The fixed patterns write every digit and come back exactly.
    EXPECT_EQ(ReadNumber(FormatFixed(kMax, 2)), kMax);
}

// Reading and writing must not follow a decimal-comma locale.
TEST(NumberTextLocale, IgnoresDecimalCommaLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    ASSERT_NE(german, nullptr) << "the de_DE.UTF-8 locale is missing: run scripts/setup.sh";
    const std::locale previousGlobal = std::locale::global(std::locale("de_DE.UTF-8"));

    EXPECT_EQ(ReadNumber("1.5"), 1.5);
    EXPECT_EQ(ReadNumber("1,5"), 1);
    EXPECT_EQ(FormatFixed(1234.5, 2), "1234.50");
    EXPECT_EQ(FormatGeneral(12.5), "12.5");
    EXPECT_EQ(FormatGeneral(1.5e-7), "1.5E-07");

    std::locale::global(previousGlobal);
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
