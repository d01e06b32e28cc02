#include "series/UShotStatistics.h"

#include "tests/support/ScopedFormatSettings.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TRunningValues Of(std::initializer_list<double> Values) {
    TRunningValues Running;
    for (const double Value : Values)
        Running.Add(Value);
    return Running;
}

} // namespace

TEST(SpreadStatistics, ExtremeSpreadAndSampleDeviation) {
    const TScopedFormatSettings Point(".");
    const TRunningValues Speeds = Of({170, 175, 180});
    EXPECT_EQ(Speeds.ExtremeSpread(), 10);
    EXPECT_DOUBLE_EQ(Speeds.StandardDeviation(), 5);
    const TSpreadTexts Texts = SpreadTexts(Speeds);
    EXPECT_EQ(Texts.ExtremeSpread, "10.00");
    EXPECT_EQ(Texts.StandardDeviation, "5.00");
    // The divisor is n - 1: two shots 2 apart deviate by the square root of 2.
    EXPECT_DOUBLE_EQ(Of({1, 3}).StandardDeviation(), std::sqrt(2.0));
    EXPECT_EQ(Of({175, 175, 175}).StandardDeviation(), 0);
}

TEST(SpreadStatistics, FewerThanTwoShotsGiveNoSpread) {
    for (const TRunningValues& Values : {Of({}), Of({175.5})}) {
        const TSpreadTexts Texts = SpreadTexts(Values);
        EXPECT_EQ(Texts.ExtremeSpread, "\u2013\u2013");
        EXPECT_EQ(Texts.StandardDeviation, "\u2013\u2013");
    }
}

// The sum of squares minus the square of the sum cancels every digit at this size; the running
// deviation keeps them.
TEST(SpreadStatistics, LargeNearlyEqualValuesKeepTheirDeviation) {
    const TScopedFormatSettings Point(".");
    const TRunningValues Near = Of({1000000.01, 1000000.02, 1000000.03});
    EXPECT_NEAR(Near.StandardDeviation(), 0.01, 1e-9);
    EXPECT_EQ(SpreadTexts(Near).StandardDeviation, "0.01");
    const TRunningValues Far = Of({1e9 + 4, 1e9 + 7, 1e9 + 13, 1e9 + 16});
    EXPECT_NEAR(Far.StandardDeviation(), std::sqrt(30.0), 1e-9);
    EXPECT_EQ(Far.ExtremeSpread(), 12);
}

TEST(SpreadStatistics, MeanAndSumAgree) {
    const TRunningValues Values = Of({-20, -10, 0.5});
    EXPECT_EQ(Values.Count, 3);
    EXPECT_NEAR(Values.Mean, Values.Sum / 3, 1e-12);
    EXPECT_EQ(Values.Maximum, 0.5);
    EXPECT_EQ(Values.Minimum, -20);
}
