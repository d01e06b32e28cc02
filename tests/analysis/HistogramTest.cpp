#include "analysis/Histogram.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

std::vector<std::size_t> FirstAndLast(std::size_t Bins, std::size_t First, std::size_t Last) {
    std::vector<std::size_t> Counts(Bins);
    Counts.front() = First;
    Counts.back() = Last;
    return Counts;
}

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
// a misread 100000 among speeds 0 to 3 (IQR 2) asks for 52003. Every width is then rounded up to
// whole reading steps (1, 0.1, and 4 between 5 and 9), the bins starting half a step low: 1.75
// becomes 2, 3.8 becomes 4, 0.38 becomes 0.4, and 500 becomes 501 to stay within 200 bins. The
// two levels 5 and 9 get empty bins either side. The maximum goes into the last bin.
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
                {{0, 1, 1, 2, 2, 2, 3, 3, 100000}, -0.5, 501, FirstAndLast(200, 8, 1)},
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

TEST(BinValues, RejectsWhatItCannotBin) {
    EXPECT_THROW(BinValues(std::vector<double>{}), EStatisticsError);
    EXPECT_THROW(BinValues(std::vector<double>{1, std::numeric_limits<double>::quiet_NaN()}),
                 EStatisticsError);
    EXPECT_THROW(BinValues(std::vector<double>{1, std::numeric_limits<double>::infinity()}),
                 EStatisticsError);
}
