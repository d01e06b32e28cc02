#include "analysis/Trajectory.h"

#include "analysis/BallisticCoefficient.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

constexpr double Gravity = 9.80665;
constexpr double NoDrag = 1e12;

TTrajectoryInput Input(double Speed, double Bc, double SightHeight, double ZeroRange,
                       double LastRange = 100, double RangeStep = 5) {
    return {Speed, Bc, 0.00055, SightHeight, ZeroRange, LastRange, RangeStep};
}

// A pellet without drag launched at the slope T from h below the line of sight:
// y(x) = -h + T x - q x², q = g (1 + T²) / (2 v²).
struct TParabola {
    double Speed, SightHeight, T;

    double Q() const { return Gravity * (1 + T * T) / (2 * Speed * Speed); }
    double Height(double X) const { return -SightHeight + T * X - Q() * X * X; }
    // Where the height is Level: the nearer crossing, or with Far the farther one.
    double Crossing(double Level, bool Far) const {
        const double Root = std::sqrt(T * T - 4 * Q() * (SightHeight + Level));
        return (T + (Far ? Root : -Root)) / (2 * Q());
    }
};

} // namespace

// The zero Z gives a T² - Z T + h + a = 0 with a = g Z² / (2 v²); the speed follows from the
// energy's conservation. 1 mrad is 3.4377 true MOA.
TEST(Trajectory, WithoutDragFollowsTheParabola) {
    const double Rows[][3] = {{100, 0.045, 30}, {250, 0.045, 30}, {250, 0.06, 55}, {300, 0, 20}};
    for (const auto& [Speed, SightHeight, Zero] : Rows) {
        const TTrajectory Trajectory = ComputeTrajectory(Input(Speed, NoDrag, SightHeight, Zero));
        const double A = Gravity * Zero * Zero / (2 * Speed * Speed);
        const TParabola Path{Speed, SightHeight,
                             (Zero - std::sqrt(Zero * Zero - 4 * A * (SightHeight + A))) / (2 * A)};
        EXPECT_NEAR(Trajectory.LaunchAngle, std::atan(Path.T), 1e-12);
        ASSERT_EQ(Trajectory.Points.size(), 21u);
        for (const TTrajectoryPoint& P : Trajectory.Points) {
            const double X = P.Range;
            EXPECT_NEAR(P.Drop, Path.Height(X), 1e-9) << X;
            EXPECT_NEAR(P.Time, X * std::sqrt(1 + Path.T * Path.T) / Speed, 1e-12) << X;
            EXPECT_NEAR(P.Speed, std::sqrt(Speed * Speed - 2 * Gravity * (P.Drop + SightHeight)),
                        1e-9);
            EXPECT_NEAR(P.HoldoverMrad, X > 0 ? -1000 * std::atan(P.Drop / X) : 0, 1e-9);
            EXPECT_NEAR(P.HoldoverMoa, 3.4377468 * P.HoldoverMrad, 1e-7 * std::fabs(P.HoldoverMoa));
        }
    }
}

// Halving the step must change the drop at 50 m by far less than 0.1 mm; the fast row starts at
// Mach 0.97, where the drag coefficient climbs steeply.
TEST(Trajectory, HalvingTheStepHardlyChangesTheDrop) {
    const double Rows[][3] = {{120, 0.008, 15}, {250, 0.02, 30}, {300, 0.035, 50}, {330, 0.02, 30}};
    for (const auto& [Speed, Bc, Zero] : Rows) {
        TTrajectoryInput In = Input(Speed, Bc, 0.045, Zero);
        const double Drop = ComputeTrajectory(In).Points[10].Drop;
        In.IntegrationStep /= 2;
        EXPECT_NEAR(ComputeTrajectory(In).Points[10].Drop, Drop, 1e-6) << Speed;
    }
}

// To 50 m, before gravity and the wind have added much, the pellet slows as on a level line in
// still air; the wind drifts it by the lag rule, wind x (time of flight - range / muzzle speed),
// which point masses obey closely under any drag; the hunting minimum marks the rows beyond the
// range where the energy falls to it.
TEST(Trajectory, SlowsByTheDragAndDriftsByTheLagRule) {
    const struct {
        double Speed, Bc, Wind;
        TAir Air;
    } Rows[] = {{250, 0.025, 4, StandardAir},
                {180, 0.012, -3, {30, 950, 0.8}},
                {320, 0.035, 10, {-10, 1030, 0.2}}};
    for (const auto& Row : Rows) {
        TTrajectoryInput In = Input(Row.Speed, Row.Bc, 0.045, 30);
        In.CrossWind = Row.Wind;
        In.Air = Row.Air;
        In.MinimumEnergy = ComputeTrajectory(In).Points[8].Energy;
        for (const TTrajectoryPoint& P : ComputeTrajectory(In).Points) {
            const double Level = SpeedAtDistance(Row.Speed, Row.Bc, P.Range, Row.Air);
            EXPECT_TRUE(P.Range > 50 || std::fabs(P.Speed / Level - 1) < 5e-4) << P.Range;
            const double Lag = Row.Wind * (P.Time - P.Range / Row.Speed);
            EXPECT_NEAR(P.WindDrift, Lag, 1e-3 * std::fabs(Lag)) << P.Range;
            EXPECT_EQ(P.BelowMinimumEnergy, P.Range > 40) << P.Range;
        }
    }
}

// Rows at every step and at the last range; a pellet spent long before the last range ends the
// table where it falls more steeply than 45°.
TEST(Trajectory, TabulatesEveryStepToTheLastRange) {
    const struct {
        double Speed, Bc, Step, Last;
        std::vector<double> Ranges;
    } Rows[] = {{250, 0.02, 3, 10, {0, 3, 6, 9, 10}},
                {250, 0.02, 0.1, 0.3, {0, 0.1, 0.2, 0.3}},
                {60, 0.005, 10, 1000, {0, 10, 20, 30, 40}}};
    for (const auto& Row : Rows) {
        std::vector<double> Ranges;
        const TTrajectoryInput In = Input(Row.Speed, Row.Bc, 0.045, 10, Row.Last, Row.Step);
        for (const TTrajectoryPoint& P : ComputeTrajectory(In).Points)
            Ranges.push_back(P.Range);
        EXPECT_THAT(Ranges, testing::Pointwise(testing::DoubleNear(1e-12), Row.Ranges));
    }
}

// Without drag: the pellet enters the zone at the near crossing of its lower edge (or is in it
// from the muzzle) and leaves it at the far one, or at the top edge when it climbs over; the
// best zero lifts the path's top to the zone's top edge.
TEST(Trajectory, PointBlankRangeOfTheParabola) {
    const double Rows[][4] = {
        {100, 0.045, 20, 0.025}, {100, 0.01, 20, 0.04}, {250, 0.045, 60, 0.025}};
    for (const auto& [Speed, SightHeight, Zero, KillZone] : Rows) {
        const TTrajectoryInput In = Input(Speed, NoDrag, SightHeight, Zero);
        const double Half = KillZone / 2;
        const TParabola Path{Speed, SightHeight, std::tan(ComputeTrajectory(In).LaunchAngle)};
        const bool Over = Path.Height(Path.T / (2 * Path.Q())) > Half;
        const double Rise = std::sqrt(2 * Gravity * (Half + SightHeight)) / Speed;
        const TParabola Best{Speed, SightHeight, std::tan(std::asin(Rise))};
        const TPointBlank Range = PointBlankRange(In, KillZone);
        EXPECT_NEAR(Range.Near, SightHeight <= Half ? 0 : Path.Crossing(-Half, false), 1e-6);
        EXPECT_NEAR(Range.Far, Over ? Path.Crossing(Half, false) : Path.Crossing(-Half, true),
                    1e-6);
        EXPECT_NEAR(Range.BestZero, Best.Crossing(0, true), 1e-6);
        EXPECT_NEAR(Range.BestFar, Best.Crossing(-Half, true), 1e-6);
    }
}

TEST(Trajectory, RejectsInputItCannotWorkWith) {
    using TField = double TTrajectoryInput::*;
    const std::pair<TField, double> Rows[] = {
        {&TTrajectoryInput::MuzzleSpeed, 0},  {&TTrajectoryInput::BallisticCoefficient, -0.02},
        {&TTrajectoryInput::PelletMass, NAN}, {&TTrajectoryInput::SightHeight, -0.01},
        {&TTrajectoryInput::ZeroRange, 0},    {&TTrajectoryInput::ZeroRange, 500},
        {&TTrajectoryInput::RangeStep, 0},    {&TTrajectoryInput::CrossWind, NAN}};
    for (const auto& [Field, Value] : Rows) {
        TTrajectoryInput In = Input(200, 0.02, 0.045, 30);
        In.*Field = Value;
        EXPECT_THROW(ComputeTrajectory(In), EStatisticsError);
        EXPECT_THROW(PointBlankRange(In, 0.025), EStatisticsError);
    }
    EXPECT_THROW(PointBlankRange(Input(200, 0.02, 0.045, 30), 0), EStatisticsError);
    EXPECT_THROW(ComputeTrajectory(Input(200, 0.02, 0.045, 30, 100, 1e-4)), EStatisticsError);
}
