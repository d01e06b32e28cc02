#include "analysis/VelocityDrift.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

// Speeds 10, 12, 11, 15, 14 by hand: x mean 3, y mean 12.4, Sxx = 10, Sxy = 4.8 + 0.4 + 0 + 2.6
// + 3.2 = 11, b = 1.1, a = 12.4 - 3.3 = 9.1; residuals -0.2, 0.7, -1.4, 1.5, -0.6, SSE = 5.1,
// SE(b) = sqrt(5.1 / 3 / 10) = sqrt(0.17); t_{0.975, 3} = 3.182446305284263 and t_{0.95, 3} =
// 2.353363434801823 give the intervals. Points exactly on a line leave no scatter.
TEST(VelocityDrift, MatchesWorkedExamples) {
    const std::vector<double> Worked = {10, 12, 11, 15, 14};
    const struct {
        std::vector<double> Speeds;
        double Level, Intercept, Slope;
        TInterval Interval;
        bool Significant;
    } Rows[] = {{Worked, 0.95, 9.1, 1.1, {-0.21215622645436816, 2.4121562264543686}, false},
                {Worked, 0.9, 9.1, 1.1, {0.12968339828457043, 2.0703166017154295}, true},
                {{250, 250, 250, 250}, 0.95, 250, 0, {0, 0}, false},
                {{250, 248, 246, 244}, 0.95, 252, -2, {-2, -2}, true}};
    for (const auto& Row : Rows) {
        const TDrift Drift = VelocityDrift(Row.Speeds, Row.Level);
        EXPECT_EQ(Drift.Shots, Row.Speeds.size());
        EXPECT_NEAR(Drift.Intercept, Row.Intercept, 1e-12);
        EXPECT_NEAR(Drift.Slope, Row.Slope, 1e-12);
        EXPECT_NEAR(Drift.SlopeInterval.Lower, Row.Interval.Lower, 1e-9);
        EXPECT_NEAR(Drift.SlopeInterval.Upper, Row.Interval.Upper, 1e-9);
        EXPECT_EQ(Drift.Significant, Row.Significant);
        EXPECT_NEAR(Drift.SpeedAt(6), Row.Intercept + 6 * Row.Slope, 1e-12);
    }
}

// A string of equal readings has no drift at all, not a rounding error's worth, whatever binary
// makes of the reading.
TEST(VelocityDrift, EqualReadingsHaveNoDriftAtAll) {
    for (const double Reading : {250.0, 250.1, 249.7, 820.3}) {
        const TDrift Drift = VelocityDrift(std::vector<double>(7, Reading));
        EXPECT_EQ(Drift.Slope, 0) << Reading;
        EXPECT_EQ(Drift.SlopeInterval, (TInterval{0, 0})) << Reading;
        EXPECT_EQ(Drift.Intercept, Reading) << Reading;
    }
}

// A million shots near 250: Offset + Step x + Swing (-1)^(x + 1). The swing adds -Swing n / 2
// to Sxy, so b = Step - 6 Swing / (n^2 - 1) and a = Offset + 3 Swing / (n - 1); sums of raw
// products would lose these digits entirely. The intercept lies half a million shots from the
// data and carries the slope's rounding that many times over.
TEST(VelocityDrift, KeepsItsDigitsOverAMillionShots) {
    constexpr std::size_t Count = 1'000'000;
    const double N = Count;
    const struct {
        double Offset, Step, Swing;
        bool Significant;
    } Rows[] = {{250.1, 0, 0.5, false}, {250, 1.0 / 1024, 0, true}, {250, 1.0 / 1024, 0.5, true}};
    for (const auto& Row : Rows) {
        std::vector<double> Speeds(Count);
        for (std::size_t i = 0; i < Count; ++i)
            Speeds[i] = Row.Offset + Row.Step * static_cast<double>(i + 1) +
                        (i % 2 == 0 ? Row.Swing : -Row.Swing);
        const TDrift Drift = VelocityDrift(Speeds);
        const double Slope = Row.Step - 6 * Row.Swing / (N * N - 1);
        EXPECT_NEAR(Drift.Slope, Slope, 1e-9 * std::fabs(Slope));
        EXPECT_NEAR(Drift.Intercept, Row.Offset + 3 * Row.Swing / (N - 1), 1e-8);
        EXPECT_EQ(Drift.Significant, Row.Significant);
    }
}

TEST(VelocityDrift, RejectsWhatItCannotFit) {
    const std::pair<std::vector<double>, double> Rows[] = {{{}, 0.95},
                                                           {{250, 251}, 0.95},
                                                           {{250, NaN, 252}, 0.95},
                                                           {{250, 251, Infinity}, 0.95},
                                                           {{250, 251, 252}, 0},
                                                           {{250, 251, 252}, 1},
                                                           {{250, 251, 252}, NaN},
                                                           {{1e308, -1e308, 1e308}, 0.95},
                                                           {{-1e308, 0, 1e308}, 0.95}};
    for (const auto& [Speeds, Level] : Rows)
        EXPECT_THROW(VelocityDrift(Speeds, Level), EStatisticsError)
            << Speeds.size() << ", " << Level;
}
