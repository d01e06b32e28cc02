#include "analysis/Histogram.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

// 0, 0.1, ..., read to a tenth as a chronograph shows them.
std::vector<double> Tenths(int Count) {
    std::vector<double> Values;
    for (int i = 0; i < Count; ++i)
        Values.push_back(i / 10.0);
    return Values;
}

} // namespace

// Eight values make cbrt(n) = 2, so the width is the interquartile range: positions 1.75 and
// 5.25 of the sorted values give 4 and 6 in the first row, 3 + 0.75 * 2 = 4.5 and 6 + 0.25 * 1 =
// 6.25 in the second. 1..20 ask for 3 bins (IQR 9.5) and get 5; 5 5 5 5 5 5 5 9 have no IQR;
// Every width is then rounded up to whole reading steps (1, 0.1, and 4 between 5 and 9), the bins
// starting half a step low: 1.75 becomes 2, 3.8 becomes 4, 0.38 becomes 0.4. The two levels 5
// and 9 get empty bins either side. The maximum goes into the last bin.
TEST(BinValues, LaysOutFreedmanDiaconisBins) {
    const struct {
        std::vector<double> Values;
        double Start, Width;
        std::vector<std::size_t> Counts;
    } Rows[] = {{{6, 0, 5, 12, 4, 5, 4, 6}, -0.5, 2, {1, 0, 4, 2, 0, 0, 1}},
                {{0, 3, 5, 5, 5, 6, 7, 12}, -0.5, 2, {1, 1, 3, 2, 0, 0, 1}},
                {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20},
                 0.5,
                 4,
                 {4, 4, 4, 4, 4}},
                {Tenths(20), -0.05, 0.4, {4, 4, 4, 4, 4}},
                {{5, 5, 5, 5, 5, 5, 5, 9}, -1, 4, {0, 7, 1, 0, 0}},
                {{175.5, 175.5, 175.5}, 173, 1, {0, 0, 3, 0, 0}},
                {{175.5}, 173, 1, {0, 0, 1, 0, 0}}};
    for (const auto& Row : Rows) {
        const THistogram Histogram = BinValues(Row.Values);
        EXPECT_NEAR(Histogram.Start, Row.Start, 1e-9);
        EXPECT_NEAR(Histogram.Width, Row.Width, 1e-9);
        EXPECT_EQ(Histogram.Counts, Row.Counts);
        EXPECT_EQ(Histogram.Total(), Row.Values.size());
        EXPECT_NEAR(Histogram.BinCentre(1), Row.Start + 1.5 * Row.Width, 1e-9);
    }
}

// 1..5: mean 3, deviation sqrt(2.5), 5 bins of 1, one per reading; the curve is
// 5 * 1 * phi(z) / sqrt(2.5).
TEST(THistogram, ScalesTheNormalCurveToTheBins) {
    const THistogram Histogram = BinValues(std::vector<double>{1, 2, 3, 4, 5});
    const double Deviation = std::sqrt(2.5);
    EXPECT_DOUBLE_EQ(Histogram.Mean, 3);
    EXPECT_DOUBLE_EQ(Histogram.StandardDeviation, Deviation);
    const std::pair<double, double> Rows[] = {{3, 1.2615662610100802},
                                              {3 + Deviation, 0.7651786165616443},
                                              {3 - Deviation, 0.7651786165616443}};
    for (const auto& [Value, Expected] : Rows)
        EXPECT_NEAR(Histogram.ExpectedCount(Value), Expected, 1e-12) << Value;
    EXPECT_EQ(BinValues(std::vector<double>{175.5, 175.5}).ExpectedCount(175.5), 0);
}

// 200 speeds 250.0 to 251.9 (IQR 0.95, fences 3.8 below and above the quartiles, at 246.675 and
// 255.225), with a misreading either way or a shot that is only bad, just within a fence. Eight
// values are the fewest judged; the same 100000 among seven is binned, in at most 200 bins.
TEST(BinValues, CountsFarValuesApartFromTheBins) {
    const auto Speeds = [](std::vector<double> Odd) {
        for (int i = static_cast<int>(Odd.size()); i < 200; ++i)
            Odd.push_back(250 + (i % 20) / 10.0);
        return Odd;
    };
    const struct {
        std::vector<double> Values;
        std::size_t Below, Above, Bins;
    } Rows[] = {{Speeds({9999}), 0, 1, 5},
                {Speeds({1e300, 0.5}), 1, 1, 5},
                {Speeds({246.7}), 0, 0, 14},
                {Speeds({255.2}), 0, 0, 14},
                {{0, 1, 1, 2, 2, 2, 3, 3, 100000}, 0, 1, 5},
                {{0, 1, 2, 2, 2, 3, 100000}, 0, 0, 200}};
    for (const auto& Row : Rows) {
        const THistogram Histogram = BinValues(Row.Values);
        EXPECT_EQ(Histogram.Below, Row.Below) << Row.Values.front();
        EXPECT_EQ(Histogram.Above, Row.Above) << Row.Values.front();
        EXPECT_EQ(Histogram.Counts.size(), Row.Bins) << Row.Values.front();
        EXPECT_EQ(Histogram.Total() + Histogram.Below + Histogram.Above, Row.Values.size());
    }
    const THistogram Misread = BinValues(Speeds({9999}));
    EXPECT_NEAR(Misread.Mean, 250.95, 0.01) << "the curve is the bulk's";
    EXPECT_EQ(Misread.Most, 9999);
}

TEST(BinValues, RejectsWhatItCannotBin) {
    EXPECT_THROW(BinValues(std::vector<double>{-1e308, 1e308}), EStatisticsError);
    EXPECT_THROW(BinValues(std::vector<double>{0, 1e300, 2e300}), EStatisticsError);
    EXPECT_THROW(BinValues(std::vector<double>{}), EStatisticsError);
    EXPECT_THROW(BinValues(std::vector<double>{1, std::numeric_limits<double>::quiet_NaN()}),
                 EStatisticsError);
    EXPECT_THROW(BinValues(std::vector<double>{1, std::numeric_limits<double>::infinity()}),
                 EStatisticsError);
}
