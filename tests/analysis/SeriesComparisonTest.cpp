#include "analysis/SeriesComparison.h"

#include "analysis/StudentT.h"
#include "tests/support/ScopedFormatSettings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// Student's (1908) example: the extra hours of sleep of ten patients under each of two
// soporifics, from Cushny and Peebles. The expected figures are those of R's t.test on these
// data, confirmed independently with mpmath.
const std::vector<double> SleepDrug1 = {0.7, -1.6, -0.2, -1.2, -0.1, 3.4, 3.7, 0.8, 0.0, 2.0};
const std::vector<double> SleepDrug2 = {1.9, 0.8, 1.1, 0.1, -0.1, 4.4, 5.5, 1.6, 4.6, 3.4};

std::string Identity(const std::string& Text) {
    return Text;
}

TWelchResult Result(double Difference, double P, TInterval Interval) {
    return {Difference, 20, 0, P, 0.95, Interval};
}

} // namespace

// The first row is R's t.test(extra[group == 1]): interval -0.5297804 to 2.0297804. In the
// second, nearly equal speeds keep their deviation; the half width is t_{0.975, 2} =
// 4.302652729749464 times 0.01 / sqrt(3).
TEST(Summarize, GivesMeanDeviationSpreadAndInterval) {
    const struct {
        std::vector<double> Speeds;
        double Mean, Spread;
        std::optional<double> Deviation;
        std::optional<TInterval> Interval;
    } Rows[] = {{SleepDrug1, 0.75, 5.3, 1.789009657759, TInterval{-0.5297804135, 2.0297804135}},
                {{1e6 + 0.01, 1e6 + 0.02, 1e6 + 0.03},
                 1e6 + 0.02,
                 0.02,
                 0.01,
                 TInterval{1e6 + 0.02 - 0.024841377, 1e6 + 0.02 + 0.024841377}},
                {{175.5}, 175.5, 0, std::nullopt, std::nullopt}};
    for (const auto& Row : Rows) {
        const TSampleSummary Summary = Summarize(Row.Speeds);
        EXPECT_EQ(Summary.Count, Row.Speeds.size());
        EXPECT_NEAR(Summary.Mean, Row.Mean, 1e-9);
        EXPECT_NEAR(Summary.ExtremeSpread, Row.Spread, 1e-9);
        ASSERT_EQ(Summary.StandardDeviation.has_value(), Row.Deviation.has_value());
        ASSERT_EQ(Summary.MeanInterval.has_value(), Row.Interval.has_value());
        if (!Row.Interval)
            continue;
        EXPECT_NEAR(*Summary.StandardDeviation, *Row.Deviation, 1e-9);
        EXPECT_NEAR(Summary.MeanInterval->Lower, Row.Interval->Lower, 1e-8);
        EXPECT_NEAR(Summary.MeanInterval->Upper, Row.Interval->Upper, 1e-8);
    }
}

TEST(WelchTest, MatchesWorkedExamples) {
    const struct {
        std::vector<double> A, B;
        double Difference, DegreesOfFreedom, T, P, Lower, Upper;
    } Rows[] = {
        // R: t = -1.8608, df = 17.776, p-value = 0.07939, interval -3.3654832 to 0.2054832.
        {SleepDrug1, SleepDrug2, -1.58, 17.776473516, -1.8608134675, 0.079394140187, -3.3654832307,
         0.2054832307},
        {SleepDrug2, SleepDrug1, 1.58, 17.776473516, 1.8608134675, 0.079394140187, -0.2054832307,
         3.3654832307},
        // A still series against one with variance 2.5 / 5: df = 4, t = sqrt(2), the interval
        // 1 -+ t_{0.975, 4} sqrt(1 / 2); p from the closed form for four degrees of freedom.
        {{10, 10, 10},
         {7, 8, 9, 10, 11},
         1,
         4,
         std::sqrt(2.0),
         0.23019964108,
         1 - 1.9632431615,
         1 + 1.9632431615}};
    for (const auto& Row : Rows) {
        const TWelchResult Welch = WelchTest(Summarize(Row.A), Summarize(Row.B));
        EXPECT_NEAR(Welch.Difference, Row.Difference, 1e-12);
        EXPECT_NEAR(Welch.DegreesOfFreedom, Row.DegreesOfFreedom, 1e-9);
        EXPECT_NEAR(Welch.T, Row.T, 1e-9);
        EXPECT_NEAR(Welch.P, Row.P, 1e-10);
        EXPECT_NEAR(Welch.Interval.Lower, Row.Lower, 1e-9);
        EXPECT_NEAR(Welch.Interval.Upper, Row.Upper, 1e-9);
    }
}

// Without any scatter nothing is left to chance, and nothing is divided by zero; readings that
// binary cannot hold exactly (250.1, 249.7, 820.3) repeated are as equal as 175 repeated.
TEST(WelchTest, SeriesWithoutScatterAreDecidedOutright) {
    const auto Times = [](std::size_t Count, double Speed) {
        return std::vector<double>(Count, Speed);
    };
    const struct {
        std::vector<double> A, B;
        double T, P;
        TInterval Interval;
    } Rows[] = {{{175, 175, 175}, {175, 175}, 0, 1, {0, 0}},
                {{176, 176}, {175, 175, 175}, Infinity, 0, {1, 1}},
                {{175, 175}, {176, 176, 176}, -Infinity, 0, {-1, -1}},
                {Times(2, 250.1), Times(8, 250.1), 0, 1, {0, 0}},
                {Times(7, 249.7), Times(13, 249.7), 0, 1, {0, 0}},
                {Times(11, 820.3), Times(3, 820.3), 0, 1, {0, 0}}};
    for (const auto& Row : Rows) {
        const TSampleSummary A = Summarize(Row.A);
        EXPECT_EQ(A.Mean, Row.A.front());
        EXPECT_EQ(A.StandardDeviation, 0);
        const TWelchResult Welch = WelchTest(A, Summarize(Row.B));
        EXPECT_EQ(Welch.T, Row.T);
        EXPECT_EQ(Welch.P, Row.P);
        EXPECT_EQ(Welch.Interval, Row.Interval);
        EXPECT_EQ(Welch.DegreesOfFreedom, static_cast<double>(Row.A.size() + Row.B.size() - 2));
    }
}

TEST(ComparisonVerdict, NamesTheFasterSeriesOnlyWhenTheDifferenceIsSignificant) {
    const TScopedFormatSettings Point(".");
    const struct {
        TWelchResult Welch;
        TSpeedFormat Speeds;
        std::string Expected;
    } Rows[] = {
        {Result(-3.2, 0.004, {-5.3, -1.1}),
         {"m/s", 1},
         "Pellet B is faster by 3.2 m/s (95 % interval 1.1 to 5.3); a difference this large "
         "arises by chance with probability 0.004"},
        {Result(12.345, 0.00002, {8.1, 16.59}),
         {"fps", 2},
         "Pellet A is faster by 12.35 fps (95 % interval 8.10 to 16.59); a difference this "
         "large arises by chance with probability <\u00A00.001"},
        {Result(0.8, 0.31, {-0.9, 2.5}),
         {"m/s", 1},
         "The difference of 0.8 m/s could be chance (p = 0.31)"},
        {Result(-0.8, 0.05, {-1.6, 0}),
         {"m/s", 1},
         "The difference of 0.8 m/s could be chance (p = 0.05)"},
        {WelchTest(Summarize(SleepDrug1), Summarize(SleepDrug2)),
         {"h", 2},
         "The difference of 1.58 h could be chance (p = 0.079)"}};
    for (const auto& Row : Rows)
        EXPECT_EQ(ComparisonVerdict(Row.Welch, "Pellet A", "Pellet B", Row.Speeds, Identity),
                  Row.Expected);
}

// The translation is looked up by the English pattern and filled afterwards, with the
// program's decimal separator.
TEST(ComparisonVerdict, FillsTheTranslatedPattern) {
    const TScopedFormatSettings Comma(",");
    const std::map<std::string, std::string> German = {
        {FasterVerdictPattern, "%s ist um %s %s schneller (95-%-Intervall %s bis %s); ein so "
                               "großer Unterschied entsteht zufällig mit der Wahrscheinlichkeit "
                               "%s"},
        {ChanceVerdictPattern, "Der Unterschied von %s %s kann Zufall sein (p = %s)"}};
    const TTranslate Translate = [&](const std::string& Text) { return German.at(Text); };
    const TSpeedFormat Speeds{"m/s", 1};
    EXPECT_EQ(ComparisonVerdict(Result(-3.2, 0.004, {-5.3, -1.1}), "A", "B", Speeds, Translate),
              "B ist um 3,2 m/s schneller (95-%-Intervall 1,1 bis 5,3); ein so großer "
              "Unterschied entsteht zufällig mit der Wahrscheinlichkeit 0,004");
    EXPECT_EQ(ComparisonVerdict(Result(0.8, 0.31, {-0.9, 2.5}), "A", "B", Speeds, Translate),
              "Der Unterschied von 0,8 m/s kann Zufall sein (p = 0,31)");
}

TEST(PValueText, KeepsTwoSignificantDigitsDownToOneInAThousand) {
    const TScopedFormatSettings Point(".");
    const std::pair<double, std::string> Rows[] = {{1, "1"},
                                                   {0.3149, "0.31"},
                                                   {0.0496, "0.05"},
                                                   {0.004, "0.004"},
                                                   {0.00123, "0.0012"},
                                                   {0.001, "0.001"},
                                                   {0.000999, "<\u00A00.001"},
                                                   {0, "<\u00A00.001"}};
    for (const auto& [P, Expected] : Rows)
        EXPECT_EQ(PValueText(P), Expected) << P;
}

TEST(FillPlaceholders, ReplacesOnlyPercentSInOrder) {
    const struct {
        std::string Pattern;
        std::vector<std::string> Values;
        std::string Expected;
    } Rows[] = {{"%s is faster by %s", {"A", "3"}, "A is faster by 3"},
                {"95 % of %s, 100%", {"x"}, "95 % of x, 100%"},
                {"%s and %s", {"a"}, "a and %s"},
                {"only %s", {"a", "b"}, "only a"},
                {"%s%s", {"1", "2"}, "12"}};
    for (const auto& Row : Rows)
        EXPECT_EQ(FillPlaceholders(Row.Pattern, Row.Values), Row.Expected);
}

TEST(SeriesComparison, RejectsWhatItCannotCompare) {
    const TSampleSummary One = Summarize({175});
    const TSampleSummary Two = Summarize({175, 176});
    const TSpeedFormat Speeds{"m/s", 1};
    EXPECT_THROW(Summarize({}), EStatisticsError);
    EXPECT_THROW(Summarize({175, std::numeric_limits<double>::quiet_NaN()}), EStatisticsError);
    EXPECT_THROW(Summarize({175, 176}, 1), EStatisticsError);
    EXPECT_THROW(WelchTest(One, Two), EStatisticsError);
    EXPECT_THROW(WelchTest(Two, Two, 0), EStatisticsError);
    EXPECT_THROW(ComparisonVerdict(WelchTest(Two, Two, 0.9), "A", "B", Speeds, Identity),
                 EStatisticsError);
    EXPECT_THROW(ComparisonVerdict(WelchTest(Two, Two), "A", "B", {"m/s", -1}, Identity),
                 EStatisticsError);
    EXPECT_THROW(PValueText(1.5), EStatisticsError);
    // Finite speeds whose mean, spread or deviation overflow, and means whose difference does.
    for (const std::vector<double>& Huge : std::vector<std::vector<double>>{
             {-1e308, 1e308}, {1.7e308, 1.7e308, 1.6e308}, {0, 1e300, 2e300}})
        EXPECT_THROW(Summarize(Huge), EStatisticsError) << Huge.back();
    EXPECT_THROW(WelchTest(Summarize({1e308, 1.1e308}), Summarize({-1e308, -1.1e308})),
                 EStatisticsError);
}
