#include "analysis/StudentT.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct TQuantileRow {
    double DegreesOfFreedom, Probability, Expected;
};

} // namespace

// The critical values of the standard Student-t table printed in statistics textbooks, to its
// three decimals; the last row is the table's infinity row, the normal distribution.
TEST(StudentTQuantile, MatchesTheStandardTable) {
    const TQuantileRow Rows[] = {
        {1, 0.95, 6.314},        {1, 0.975, 12.706},  {1, 0.995, 63.657},  {2, 0.95, 2.920},
        {2, 0.975, 4.303},       {2, 0.995, 9.925},   {5, 0.95, 2.015},    {5, 0.975, 2.571},
        {5, 0.995, 4.032},       {10, 0.95, 1.812},   {10, 0.975, 2.228},  {10, 0.995, 3.169},
        {30, 0.95, 1.697},       {30, 0.975, 2.042},  {30, 0.995, 2.750},  {120, 0.95, 1.658},
        {120, 0.975, 1.980},     {120, 0.995, 2.617}, {1e12, 0.95, 1.645}, {1e12, 0.975, 1.960},
        {Infinity, 0.995, 2.576}};
    for (const auto& Row : Rows) {
        EXPECT_NEAR(StudentTQuantile(Row.Probability, Row.DegreesOfFreedom), Row.Expected, 5e-4)
            << "df " << Row.DegreesOfFreedom << ", p " << Row.Probability;
        EXPECT_NEAR(StudentTQuantile(1 - Row.Probability, Row.DegreesOfFreedom), -Row.Expected,
                    5e-4);
    }
}

// To nine digits: the closed forms for one degree of freedom (Cauchy, -cot(pi p)) and two
// ((2p - 1) / sqrt(2p (1 - p))), the normal quantiles, and values computed independently with
// mpmath's betainc at 40 digits.
TEST(StudentTQuantile, ExactToNineDigits) {
    const TQuantileRow Rows[] = {
        {1, 0.975, 12.7062047361747},     {1, 1e-10, -3183098861.837907},
        {2, 0.975, 4.302652729749464},    {2, 1e-7, -2236.067642089579},
        {1e12, 0.975, 1.959963984540054}, {Infinity, 0.995, 2.575829303548901},
        {4, 0.975, 2.776445105197794},    {7.3, 0.975, 2.345066736547704},
        {0.5, 0.975, 164.5576734804885},  {5e4, 0.975, 1.960011431093680},
        {2e5, 0.975, 1.959975845966769},  {3e5, 1e-12, -7.034779776432495}};
    for (const auto& Row : Rows)
        EXPECT_NEAR(StudentTQuantile(Row.Probability, Row.DegreesOfFreedom), Row.Expected,
                    1e-9 * std::max(1.0, std::fabs(Row.Expected)))
            << "df " << Row.DegreesOfFreedom << ", p " << Row.Probability;
}

// The closed forms of the distribution function for one, two and three degrees of freedom,
// its symmetry, and the two-sided p-value as both tails.
TEST(StudentTCdf, MatchesClosedFormsAndIsSymmetric) {
    const auto One = [](double T) { return 0.5 + std::atan(T) / std::numbers::pi; };
    const auto Two = [](double T) { return 0.5 + T / (2 * std::sqrt(T * T + 2)); };
    const auto Three = [](double T) {
        const double U = T / std::sqrt(3.0);
        return 0.5 + (U / (1 + U * U) + std::atan(U)) / std::numbers::pi;
    };
    const struct {
        double T, DegreesOfFreedom, Expected;
    } Rows[] = {
        {0, 1, 0.5},        {1, 1, 0.75},         {-3.5, 1, One(-3.5)},   {0.3, 2, Two(0.3)},
        {-8, 2, Two(-8)},   {1.2, 3, Three(1.2)}, {-0.7, 3, Three(-0.7)}, {Infinity, 3, 1},
        {-Infinity, 0.2, 0}};
    for (const auto& Row : Rows) {
        const double Cdf = StudentTCdf(Row.T, Row.DegreesOfFreedom);
        EXPECT_NEAR(Cdf, Row.Expected, 1e-14) << Row.T << ", df " << Row.DegreesOfFreedom;
        EXPECT_NEAR(StudentTCdf(-Row.T, Row.DegreesOfFreedom), 1 - Cdf, 1e-14);
        EXPECT_NEAR(StudentTTwoSidedP(Row.T, Row.DegreesOfFreedom), 2 * std::min(Cdf, 1 - Cdf),
                    1e-14);
    }
}

// Far tails are computed as tails, not as 1 minus a distribution function that rounds to 1:
// one degree of freedom gives 2 atan(1 / t) / pi, two give 2 / (r (r + t)) with r = sqrt(t^2
// + 2), the normal limit erfc(t / sqrt(2)); the near-normal row is mpmath's betainc.
TEST(StudentTTwoSidedP, KeepsTheDigitsOfSmallTails) {
    const auto Two = [](double T) {
        const double R = std::sqrt(T * T + 2);
        return 2 / (R * (R + T));
    };
    const struct {
        double T, DegreesOfFreedom, Expected, Tolerance;
    } Rows[] = {{1e8, 1, 2 * std::atan(1e-8) / std::numbers::pi, 1e-12},
                {-1e6, 2, Two(1e6), 1e-12},
                {1e100, 1, 2 * 1e-100 / std::numbers::pi, 1e-12},
                {10, Infinity, std::erfc(10 / std::numbers::sqrt2), 1e-12},
                {8, 2e5, 1.2507760356860311e-15, 1e-9}};
    for (const auto& Row : Rows)
        EXPECT_NEAR(StudentTTwoSidedP(Row.T, Row.DegreesOfFreedom) / Row.Expected, 1, Row.Tolerance)
            << Row.T << ", df " << Row.DegreesOfFreedom;
}

TEST(StudentT, RejectsArgumentsWithoutMeaning) {
    EXPECT_THROW(StudentTQuantile(0.975, 0), EStatisticsError);
    EXPECT_THROW(StudentTQuantile(0.975, NaN), EStatisticsError);
    EXPECT_THROW(StudentTQuantile(NaN, 5), EStatisticsError);
    EXPECT_THROW(StudentTQuantile(0, 5), EStatisticsError);
    EXPECT_THROW(StudentTQuantile(1, 5), EStatisticsError);
    EXPECT_THROW(StudentTCdf(NaN, 5), EStatisticsError);
    EXPECT_THROW(StudentTTwoSidedP(1, 0), EStatisticsError);
    try {
        StudentTCdf(1, -1);
        FAIL() << "no exception";
    } catch (const EStatisticsError& Error) {
        EXPECT_STREQ(Error.what(), "The degrees of freedom must be positive, not -1");
    }
}
