#include "chart/AxisScaling.h"

#include "tests/support/ScopedFormatSettings.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(AxisScalingTest, ChooseAxisStep) {
    const struct {
        int Ticks;
        double Min, Max;
        double Step, Start;
    } Cases[] = {
        {7, 3.2, 17.9, 3, 3},      // 2.5 is the first candidate, but 6 of them fall short
        {7, -3.7, 12.1, 3.5, -7},  // the start steps below a negative minimum
        {5, 0.12, 0.97, 0.25, 0},  // halves of a magnitude of 0.1
        {7, 5, 5, 1, 2},           // all equal: step 1, the value in the middle
        {2, 0, 10, 5, 0},          // fewer than three ticks still plan two intervals
        {11, 1000, 1900, 95, 950}, // 90 leaves 1890 short, so 9.5 tens
    };
    for (const auto& Case : Cases) {
        const TAxisStep Result = ChooseAxisStep(Case.Ticks, Case.Min, Case.Max);
        EXPECT_NEAR(Result.Step, Case.Step, 1e-12) << Case.Min << ".." << Case.Max;
        EXPECT_NEAR(Result.Start, Case.Start, 1e-12) << Case.Min << ".." << Case.Max;
        EXPECT_GE(Result.Start + Result.Step * std::max(2, Case.Ticks - 1), Case.Max);
        EXPECT_LE(Result.Start, Case.Min);
    }
}

TEST(AxisScalingTest, AnInfiniteRangeGetsUnitSteps) {
    const double Infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ChooseAxisStep(7, 0, Infinity).Step, 1);
    EXPECT_EQ(ChooseAxisStep(7, -Infinity, 3).Step, 1);
    EXPECT_EQ(ChooseAxisStep(7, std::nan(""), 3).Step, 1);
}

// 15 significant digits decide the exponent, as the scientific form shows them.
TEST(AxisScalingTest, DecimalMagnitude) {
    const struct {
        double X, Magnitude;
    } Cases[] = {{0.37, 0.1},
                 {2.45, 1},
                 {14.7, 10},
                 {-3.2, 1},
                 {0, 1},
                 {1e-7, 1e-7},
                 {999.9999999999999999, 1000},
                 {12345678, 1e7}};
    for (const auto& Case : Cases)
        EXPECT_EQ(DecimalMagnitude(Case.X), Case.Magnitude) << Case.X;
}

TEST(AxisScalingTest, FormatAxisValueHidesArithmeticErrors) {
    const TScopedFormatSettings Comma(",");
    EXPECT_EQ(FormatAxisValue(0.1 + 0.1 + 0.1), "0,3");
    EXPECT_EQ(FormatAxisValue(-3.5), "-3,5");
    EXPECT_EQ(FormatAxisValue(175.00000000001), "175");
    EXPECT_EQ(FormatAxisValue(2.675), "2,68");
    EXPECT_EQ(FormatAxisValue(-1e-17), "0");
    EXPECT_EQ(FormatAxisValue(NoValue), "~");
}

} // namespace
