#include "platform/NumberFormats.h"

#include "tests/support/ScopedFormatSettings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using platform::EConvertError;
using platform::FloatToStr;
using platform::Format;
using platform::FormatFloat;

namespace {

struct TPatternCase {
    const char* Pattern;
    double Value;
    const char* Expected;
};

// Test names that read as the case itself, not as the bytes of the structure.
void PrintTo(const TPatternCase& Case, std::ostream* Stream) {
    *Stream << Case.Pattern << " " << Case.Value;
}

class FormatFloatTest : public testing::TestWithParam<TPatternCase> {};

TEST_P(FormatFloatTest, DecidesDigitsOnFifteenDigitFormWithHalvesAwayFromZero) {
    const TScopedFormatSettings Point(".");
    EXPECT_EQ(FormatFloat(GetParam().Pattern, GetParam().Value), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatFloatTest,
    testing::Values(
        TPatternCase{"#####0.00", 175.456, "175.46"}, TPatternCase{"#####0.00", 1.005, "1.01"},
        TPatternCase{"#####0.00", 2.675, "2.68"}, TPatternCase{"#####0.00", -0.125, "-0.13"},
        TPatternCase{"#####0.00", 0.5, "0.50"},
        TPatternCase{"#####0.00", 1234567.891, "1234567.89"},
        TPatternCase{"#####0.00", 0.0, "0.00"}, TPatternCase{"#####0.00", -0.004, "0.00"},
        TPatternCase{"#####0.00", 999.995, "1000.00"},
        TPatternCase{"#####0.00", 8.37590625, "8.38"},
        TPatternCase{"#####0.00", 1e20, "100000000000000000000.00"},
        TPatternCase{"#####0.00", 5e-324, "0.00"}, TPatternCase{"0.000", 0.547, "0.547"},
        TPatternCase{"0.000", 1.0, "1.000"}, TPatternCase{"0.000", 0.0005, "0.001"},
        TPatternCase{"0.##", 251.12, "251.12"}, TPatternCase{"0.##", 251.0, "251"},
        TPatternCase{"0.##", 251.1, "251.1"}, TPatternCase{"0.##", 0.004, "0"},
        TPatternCase{"0.##", -1.0, "-1"}, TPatternCase{"0.##", 0.125, "0.13"},
        TPatternCase{"0", 2.5, "3"}, TPatternCase{"000", 7.0, "007"}));

} // namespace

TEST(FormatFloat, UsesDecimalSeparatorInForceAndNeverGroups) {
    const TScopedFormatSettings Comma(",", ".");
    EXPECT_EQ(FormatFloat("#####0.00", 1234567.891), "1234567,89");
    EXPECT_EQ(FormatFloat("0.##", 250.0), "250");
    const TScopedFormatSettings Arabic("\xD9\xAB");
    EXPECT_EQ(FormatFloat("0.000", 0.547), "0\xD9\xAB"
                                           "547");
}

TEST(FormatFloat, NonFiniteValuesAndUnknownPatterns) {
    EXPECT_EQ(FormatFloat("#####0.00", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatFloat("#####0.00", -std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(FormatFloat("#####0.00", std::nan("")), "NAN");
    EXPECT_THROW(FormatFloat("0.00E+00", 1.0), EConvertError);
}

TEST(FloatToStr, ShortestGeneralFormOfFifteenDigits) {
    const TScopedFormatSettings Point(".");
    EXPECT_EQ(FloatToStr(175.5), "175.5");
    EXPECT_EQ(FloatToStr(200.0), "200");
    EXPECT_EQ(FloatToStr(0.547), "0.547");
    EXPECT_EQ(FloatToStr(999999.0), "999999");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(-12.25), "-12.25");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(1.5e20), "1.5E20");
    EXPECT_EQ(FloatToStr(0.00001), "0.00001");
    EXPECT_EQ(FloatToStr(0.0000015), "1.5E-6");
    EXPECT_EQ(FloatToStr(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3.0), "0.666666666666667");
    const TScopedFormatSettings Comma(",");
    EXPECT_EQ(FloatToStr(175.5), "175,5");
}

TEST(FloatToStr, ReadsBackToTheSameFifteenDigits) {
    const TScopedFormatSettings Comma(",");
    for (const double Value : {0.547, 175.52, 1e-7, 6.02214076e23, -3.281, 1.3558179483314}) {
        const double Back = platform::StrToFloat(FloatToStr(Value));
        EXPECT_EQ(FloatToStr(Back), FloatToStr(Value));
        EXPECT_NEAR(Back, Value, std::fabs(Value) * 1e-14);
    }
}

// Rounded up to 15 digits, the largest doubles would exceed the largest double, and a settings
// value or a saved speed would no longer read back as a number.
TEST(FloatToStr, LargestDoublesReadBackAsNumbers) {
    const double Largest = std::numeric_limits<double>::max();
    EXPECT_EQ(FloatToStr(Largest), "1.79769313486231E308");
    for (const double Value : {Largest, -Largest, 1.797693134862315e308}) {
        double Back = 0;
        EXPECT_TRUE(platform::TryStrToFloat(FloatToStr(Value), Back)) << FloatToStr(Value);
        EXPECT_TRUE(platform::TryStrToFloat(FormatFloat("#####0.00", Value), Back));
        EXPECT_EQ(FloatToStr(Back), FloatToStr(Value));
    }
}

TEST(StrToFloat, AcceptsTheStrictDecimalForm) {
    const TScopedFormatSettings Point(".");
    EXPECT_DOUBLE_EQ(platform::StrToFloat("175.52"), 175.52);
    EXPECT_DOUBLE_EQ(platform::StrToFloat("  -1.5e3 "), -1500.0);
    EXPECT_DOUBLE_EQ(platform::StrToFloat("+2"), 2.0);
    EXPECT_DOUBLE_EQ(platform::StrToFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(platform::StrToFloat("5."), 5.0);
    EXPECT_DOUBLE_EQ(platform::StrToFloat("1E+2"), 100.0);
    EXPECT_DOUBLE_EQ(platform::StrToFloat("0"), 0.0);
}

TEST(StrToFloat, RejectsEverythingElseWithAMessage) {
    const TScopedFormatSettings Point(".");
    for (const char* Text : {"", " ", "abc", "1.2.3", "1,5", "12a", "1e", "e5", "--1", "+-1", ".",
                             "1 000", "0x10", "nan", "inf", "infinity", "1e999", "-1e999"}) {
        double Value = 42;
        EXPECT_FALSE(platform::TryStrToFloat(Text, Value)) << Text;
        EXPECT_EQ(Value, 42) << Text;
    }
    try {
        platform::StrToFloat("abc");
        FAIL();
    } catch (const EConvertError& Error) {
        EXPECT_STREQ(Error.what(), "'abc' is not a valid floating point value");
    }
}

TEST(StrToFloat, FollowsDecimalSeparatorInForce) {
    const TScopedFormatSettings Comma(",", ".");
    EXPECT_DOUBLE_EQ(platform::StrToFloat("175,5"), 175.5);
    double Value = 0;
    EXPECT_FALSE(platform::TryStrToFloat("175.5", Value));
    EXPECT_FALSE(platform::TryStrToFloat("1.175,5", Value));
}

TEST(StrToInt, DecimalAndHexadecimalWithinRange) {
    EXPECT_EQ(platform::StrToInt("80"), 80);
    EXPECT_EQ(platform::StrToInt(" -7 "), -7);
    EXPECT_EQ(platform::StrToInt("0x1F"), 31);
    EXPECT_EQ(platform::StrToInt("0X10"), 16);
    EXPECT_EQ(platform::StrToInt("-0x10"), -16);
    EXPECT_EQ(platform::StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(platform::StrToInt("-2147483648"), -2147483647 - 1);
    for (const char* Text : {"", "0x", "1.5", "12 3", "2147483648", "0xFFFFFFFF", "x10", "- 5"}) {
        int Value = 42;
        EXPECT_FALSE(platform::TryStrToInt(Text, Value)) << Text;
        EXPECT_EQ(Value, 42) << Text;
    }
    EXPECT_THROW(platform::StrToInt("abc"), EConvertError);
}

TEST(Format, PrintfLikeDirectives) {
    const TScopedFormatSettings Point(".");
    EXPECT_EQ(Format("%3.2f %s", {175.456, "m/s"}), "175.46 m/s");
    EXPECT_EQ(Format("%3.2f %s", {5.0, "m/s"}), "5.00 m/s");
    EXPECT_EQ(Format("%2.2f %s", {8.42, "J"}), "8.42 J");
    EXPECT_EQ(Format("%1.3f %s", {0.547, "g"}), "0.547 g");
    EXPECT_EQ(Format("%3d.", {7}), "  7.");
    EXPECT_EQ(Format("%3d.", {1000}), "1000.");
    EXPECT_EQ(Format("%8.2f|%-6s|", {-1.005, "ab"}), "   -1.01|ab    |");
    EXPECT_EQ(Format(" (Error: %d)", {-5}), " (Error: -5)");
    EXPECT_EQ(Format("%x %.4d %%", {255, 42}), "FF 0042 %");
    EXPECT_EQ(Format("%.3s|%4s", {"žluťoučký", "ů"}), "žlu|   ů");
    EXPECT_EQ(Format("%f", {2}), "2.00");
    const TScopedFormatSettings Comma(",");
    EXPECT_EQ(Format("%3.2f %s", {175.456, "fps"}), "175,46 fps");
}

TEST(Format, MismatchedArgumentsRaise) {
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {1.5}), EConvertError);
    EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
}
