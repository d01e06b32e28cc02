#include "analysis/ShotsPerFill.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(LongestRunWithin, FindsTheEarliestLongestRunInsideTheBand) {
    const struct {
        std::vector<double> Speeds;
        double Band;
        std::optional<TUsableRun> Expected;
    } Rows[] = {
        {{}, 1, std::nullopt},
        {{170}, 0, TUsableRun{0, 0, 0}},
        {{170, 172, 171}, 2, TUsableRun{0, 2, 2}},
        // A band wider than the whole series takes all of it.
        {{170, 150, 190, 171}, 100, TUsableRun{0, 3, 40}},
        {{170, 171, 171, 171, 170}, 0, TUsableRun{1, 3, 0}},
        // Equally long runs: the first.
        {{100, 101, 110, 111}, 1, TUsableRun{0, 1, 1}},
        // A fill's curve: rising to the plateau and falling off it.
        {{160, 165, 168, 170, 171, 171.5, 171, 170, 168, 165, 160}, 3, TUsableRun{3, 7, 1.5}},
        // When 1 leaves, the minimum is the older 2, not the newest speed.
        {{1, 3, 2, 4, 5, 4.5, 6}, 3, TUsableRun{1, 5, 3}},
        // 161.3 - 160.1 is 1.200000000000017 and still within 1.2.
        {{158, 160.1, 161.3, 160.9, 163}, 1.2, TUsableRun{1, 3, 161.3 - 160.1}}};
    for (const auto& Row : Rows)
        EXPECT_EQ(LongestRunWithin(Row.Speeds, Row.Band), Row.Expected) << Row.Speeds.size();
}

// Every run of every length checked, on series whose few speed levels make many ties.
TEST(LongestRunWithin, AgreesWithTryingEveryRun) {
    std::mt19937 Random(19);
    std::uniform_int_distribution<int> Level(0, 6), Length(1, 30);
    for (int Series = 0; Series < 300; ++Series) {
        std::vector<double> Speeds(static_cast<std::size_t>(Length(Random)));
        for (double& Speed : Speeds)
            Speed = 170 + 0.5 * Level(Random);
        const double Band = 0.5 * Level(Random);
        std::size_t Best = 0, First = 0;
        for (std::size_t From = 0; From < Speeds.size(); ++From) {
            for (std::size_t To = From; To < Speeds.size(); ++To) {
                const auto [Low, High] =
                    std::minmax_element(Speeds.begin() + From, Speeds.begin() + To + 1);
                if (*High - *Low <= Band && To - From + 1 > Best)
                    std::tie(Best, First) = std::pair(To - From + 1, From);
            }
        }
        const std::optional<TUsableRun> Run = LongestRunWithin(Speeds, Band);
        ASSERT_TRUE(Run);
        EXPECT_EQ(std::pair(Run->Count(), Run->First), std::pair(Best, First)) << Series;
    }
}

// Linear between the fill before the first shot and the end pressure after the last; the whole
// series gives both ends exactly, although 250 - (250 - 0.1) is 0.09999999999999432.
TEST(PressureWindow, InterpolatesAroundTheRun) {
    const struct {
        double Fill, End;
        std::size_t Shots;
        TUsableRun Run;
        double AtStart, AtEnd;
    } Rows[] = {{200, 100, 40, {10, 29}, 175, 125},
                {200, 100, 4, {1, 1}, 175, 150},
                {250, 0.1, 10, {0, 9}, 250, 0.1}};
    for (const auto& Row : Rows) {
        const TPressureWindow Window = PressureWindow(Row.Fill, Row.End, Row.Shots, Row.Run);
        EXPECT_EQ(Window.AtStart, Row.AtStart);
        EXPECT_EQ(Window.AtEnd, Row.AtEnd);
    }
}

TEST(ShotsPerFill, RejectsWhatItCannotMeasure) {
    const std::vector<double> Speeds = {170, 171};
    EXPECT_THROW(LongestRunWithin(Speeds, -1), EStatisticsError);
    EXPECT_THROW(LongestRunWithin(Speeds, NaN), EStatisticsError);
    EXPECT_THROW(LongestRunWithin(std::vector<double>{170, NaN}, 1), EStatisticsError);
    EXPECT_THROW(LongestRunWithin(std::vector<double>{170, -Infinity}, 1), EStatisticsError);
    EXPECT_THROW(PressureWindow(200, 100, 0, {0, 0}), EStatisticsError);
    EXPECT_THROW(PressureWindow(200, 100, 10, {5, 10}), EStatisticsError);
    EXPECT_THROW(PressureWindow(200, 100, 10, {3, 2}), EStatisticsError);
    EXPECT_THROW(PressureWindow(NaN, 100, 10, {0, 9}), EStatisticsError);
    EXPECT_THROW(PressureWindow(200, Infinity, 10, {0, 9}), EStatisticsError);
}
