#include "analysis/BallisticCoefficient.h"

#include "analysis/DragG1.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

// A BC is the mass over the form factor times the diameter squared, which gives the G1 standard
// projectile, 1 lb and 1 in across, BC 1 lb/in². A pellet then slows by
// rho v² i Cd_G1 (pi / 4 d²) / (2 m) = F Cd_G1 v², F = (pi / 8) rho / BC. Within one segment of
// the G1 table Cd_G1 = A + B M, so d(1/v)/dx = F (A / v + B / c), and by hand
// 1/v = (1/v0 + b) exp(F A x) - b, b = B / (A c). The speeds stay within Mach 0.50 to 0.55 and
// 0.60 to 0.70.
TEST(BallisticCoefficient, SpeedMatchesTheClosedFormWithinATableSegment) {
    const struct {
        double Speed, Bc, Distance, MachLow, MachHigh;
        TAir Air;
    } Rows[] = {{185, 0.02, 10, 0.50, 0.55, StandardAir},
                {235, 0.02, 15, 0.60, 0.70, StandardAir},
                {235, 0.01, 8, 0.60, 0.70, {25, 980, 0.6}}};
    for (const auto& Row : Rows) {
        const double C = SpeedOfSound(Row.Air);
        const double F =
            std::numbers::pi / 8 * AirDensity(Row.Air) * 0.0254 * 0.0254 / (Row.Bc * 0.45359237);
        const double B = (G1DragCoefficient(Row.MachHigh) - G1DragCoefficient(Row.MachLow)) /
                         (Row.MachHigh - Row.MachLow);
        const double A = G1DragCoefficient(Row.MachLow) - B * Row.MachLow;
        const double Offset = B / (A * C);
        const double Expected =
            1 / ((1 / Row.Speed + Offset) * std::exp(F * A * Row.Distance) - Offset);
        ASSERT_GT(Expected / C, Row.MachLow);
        EXPECT_NEAR(SpeedAtDistance(Row.Speed, Row.Bc, Row.Distance, Row.Air), Expected,
                    1e-9 * Expected);
    }
}

TEST(BallisticCoefficient, FarSpeedGivesBackItsBc) {
    const struct {
        double Bc, Speed, Distance;
        TAir Air;
    } Rows[] = {{0.01, 180, 10, StandardAir},       {0.025, 250, 20, {30, 950, 0.8}},
                {0.035, 300, 30, {-10, 1030, 0.2}}, {0.02, 340, 20, StandardAir},
                {0.5, 800, 50, StandardAir},        {0.02, 250, 1e4, StandardAir}};
    for (const auto& Row : Rows) {
        const double Far = SpeedAtDistance(Row.Speed, Row.Bc, Row.Distance, Row.Air);
        EXPECT_NEAR(BallisticCoefficientFromSpeeds(Row.Speed, Far, Row.Distance, Row.Air), Row.Bc,
                    1e-9 * Row.Bc);
    }
}

// The interval from the ends of the speeds' intervals: to infinity where they overlap, from 0
// where the far one reaches down to no speed; a single shot has its mean at both ends.
TEST(BallisticCoefficient, EstimateCarriesTheMeansIntervals) {
    const auto Bc = [](double Near, double Far) {
        return BallisticCoefficientFromSpeeds(Near, Far, 20, StandardAir);
    };
    const auto Series = [](std::size_t Count, double Mean, double Half) {
        return TSampleSummary{Count, Mean, Half, 0,
                              Count > 1 ? std::optional(TInterval{Mean - Half, Mean + Half})
                                        : std::nullopt};
    };
    const struct {
        TSampleSummary Near, Far;
        TInterval Interval;
    } Rows[] = {{Series(10, 250, 2), Series(8, 230, 1), {Bc(252, 229), Bc(248, 231)}},
                {Series(1, 250, 0), Series(1, 230, 0), {Bc(250, 230), Bc(250, 230)}},
                {Series(3, 250, 9), Series(5, 235, 7), {Bc(259, 228), INFINITY}},
                {Series(10, 250, 2), Series(2, 100, 120), {0, Bc(248, 220)}}};
    for (const auto& Row : Rows) {
        const TBcEstimate Estimate =
            EstimateBallisticCoefficient(Row.Near, Row.Far, 20, StandardAir);
        EXPECT_EQ(Estimate.Bc, Bc(Row.Near.Mean, Row.Far.Mean));
        EXPECT_EQ(Estimate.Interval, Row.Interval);
        EXPECT_EQ(Estimate.NearShots, Row.Near.Count);
        EXPECT_EQ(Estimate.FarShots, Row.Far.Count);
    }
}

TEST(BallisticCoefficient, RejectsSpeedsNoBcGives) {
    const double Rows[][3] = {{250, 250, 20}, {230, 250, 20}, {250, 0, 20},
                              {250, 230, 0},  {NAN, 230, 20}, {250, 230, INFINITY}};
    for (const auto& [Near, Far, Distance] : Rows)
        EXPECT_THROW(BallisticCoefficientFromSpeeds(Near, Far, Distance, StandardAir),
                     EStatisticsError);
}
