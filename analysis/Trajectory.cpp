#include "analysis/Trajectory.h"

#include "analysis/DragG1.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double Gravity = 9.80665;
constexpr double MoaPerRadian = 180 * 60 / std::numbers::pi;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// A micrometre: the best zero's highest point touches the kill zone's edge, and rounding must
// not count that as leaving it.
constexpr double HeightTolerance = 1e-6;
constexpr const char* OutOfReach = "The pellet cannot be zeroed at this range";

// Range is the independent variable: every row of the table falls on a step, and the pellet
// never stops in range (its speed along it only decays). Height and drift are against the line
// of sight, the velocity against the ground.
struct TFlightState {
    double Time, Height, Drift, Vx, Vy, Vz;
};

TFlightState operator+(const TFlightState& A, const TFlightState& B) {
    return {A.Time + B.Time, A.Height + B.Height, A.Drift + B.Drift,
            A.Vx + B.Vx,     A.Vy + B.Vy,         A.Vz + B.Vz};
}

TFlightState operator*(double K, const TFlightState& A) {
    return {K * A.Time, K * A.Height, K * A.Drift, K * A.Vx, K * A.Vy, K * A.Vz};
}

// A pellet launched at LaunchAngle against the level line of sight, flown on step by step.
class TFlight {
public:
    TFlight(const TTrajectoryInput& Input, double LaunchAngle)
        : Drag(Input.BallisticCoefficient, Input.Air), Wind(Input.CrossWind),
          // The drag must not slow the pellet by more than about a fifth within a step, or the
          // steps would overshoot (a BC far below any pellet's).
          Step(std::min(Input.IntegrationStep, 0.2 / Drag.DecayPerMetre(Input.MuzzleSpeed))),
          State{0,
                -Input.SightHeight,
                0,
                Input.MuzzleSpeed * std::cos(LaunchAngle),
                Input.MuzzleSpeed * std::sin(LaunchAngle),
                0} {}

    double Range() const { return X; }
    const TFlightState& Now() const { return State; }
    double Slope() const { return State.Vy / State.Vx; }

    // False once the path is steeper than 45°, where a drop against a level line of sight means
    // nothing and the flight is over for this model (and on a number gone wrong).
    bool Advance() { return AdvanceTo(X + Step); }

    // In equal steps; false where Advance is.
    bool FlyTo(double Range) {
        const double Start = X;
        const double Steps = std::ceil((Range - Start) / Step - 1e-9);
        for (double i = 1; i <= Steps; ++i)
            if (!AdvanceTo(Start + (Range - Start) * i / Steps))
                return false;
        return true;
    }

private:
    bool AdvanceTo(double Range) {
        const auto Derivative = [this](const TFlightState& S) { return PerMetre(S); };
        State = RungeKuttaStep(State, Range - X, Derivative);
        X = Range;
        return std::fabs(State.Vy) <= State.Vx;
    }

    // The derivative by range: that by time over the speed along the range.
    TFlightState PerMetre(const TFlightState& S) const {
        const double AirVz = S.Vz - Wind;
        const double AirSpeed = std::sqrt(S.Vx * S.Vx + S.Vy * S.Vy + AirVz * AirVz);
        const double Deceleration = Drag.DecayPerMetre(AirSpeed) * AirSpeed;
        const double PerVx = 1 / S.Vx;
        return {PerVx,
                S.Vy * PerVx,
                S.Vz * PerVx,
                -Deceleration,
                -(Deceleration * S.Vy + Gravity) * PerVx,
                -Deceleration * AirVz * PerVx};
    }

    TG1Drag Drag;
    double Wind;
    double Step;
    double X = 0;
    TFlightState State;
};

void RequireInput(const TTrajectoryInput& Input) {
    RequirePositive(Input.MuzzleSpeed, "The muzzle speed");
    RequirePositive(Input.PelletMass, "The pellet mass");
    RequirePositive(Input.ZeroRange, "The zero range");
    RequirePositive(Input.RangeStep, "The range step");
    RequirePositive(Input.IntegrationStep, "The integration step");
    RequireNotNegative(Input.SightHeight, "The sight height");
    RequireNotNegative(Input.LastRange, "The last range");
    RequireNotNegative(Input.MinimumEnergy, "The minimum energy");
    RequireBetween(Input.CrossWind, -100, 100, "The crosswind");
}

// 0, Step, 2 Step ... and the last range itself when the steps miss it.
std::vector<double> TableRanges(const TTrajectoryInput& Input) {
    const double Steps = std::floor(Input.LastRange / Input.RangeStep + 1e-9);
    if (Steps >= MaximumTrajectoryPoints)
        throw EStatisticsError("The range step is too small for the last range");
    std::vector<double> Ranges;
    for (double i = 0; i <= Steps; ++i)
        Ranges.push_back(i * Input.RangeStep);
    if (Input.LastRange - Ranges.back() > 1e-9 * Input.RangeStep)
        Ranges.push_back(Input.LastRange);
    return Ranges;
}

double HeightAtZero(const TTrajectoryInput& Input, double LaunchAngle) {
    TFlight Flight(Input, LaunchAngle);
    if (!Flight.FlyTo(Input.ZeroRange))
        throw EStatisticsError(OutOfReach);
    return Flight.Now().Height;
}

// From the bore pointed at where the pellet would be without drag; the height at the zero grows
// with the angle nearly in proportion, so the secant method converges in a few steps.
double SolveLaunchAngle(const TTrajectoryInput& Input) {
    const double Fall = Gravity / 2 * std::pow(Input.ZeroRange / Input.MuzzleSpeed, 2);
    const double Guess = std::atan((Input.SightHeight + Fall) / Input.ZeroRange);
    return SecantRoot([&Input](double Angle) { return HeightAtZero(Input, Angle); }, Guess,
                      Guess + 1e-4, 1e-11, OutOfReach);
}

TTrajectoryPoint PointOf(const TFlight& Flight, const TTrajectoryInput& Input) {
    const TFlightState& S = Flight.Now();
    const double Range = Flight.Range();
    const double Speed = std::sqrt(S.Vx * S.Vx + S.Vy * S.Vy + S.Vz * S.Vz);
    const double Energy = Input.PelletMass * Speed * Speed / 2;
    const double Holdover = Range > 0 ? std::atan2(-S.Height, Range) : 0;
    return {Range,  S.Height, 1000 * Holdover, MoaPerRadian * Holdover,     Speed,
            Energy, S.Time,   S.Drift,         Energy < Input.MinimumEnergy};
}

// The highest the pellet rises against the line of sight: the top of the parabola through the
// last height before the path turns down, with the path's slopes there and one step on.
double Apex(const TTrajectoryInput& Input, double LaunchAngle) {
    TFlight Flight(Input, LaunchAngle);
    double Range = 0;
    double Height = Flight.Now().Height;
    double Slope = Flight.Slope();
    while (Slope > 0 && Flight.Advance()) {
        const double Turn = Slope / (Slope - Flight.Slope());
        if (Turn <= 1)
            return Height + Slope / 2 * Turn * (Flight.Range() - Range);
        Range = Flight.Range();
        Height = Flight.Now().Height;
        Slope = Flight.Slope();
    }
    return Height;
}

// The launch angle whose highest point is Half above the line of sight: from the angle that
// rises to it without drag.
double SolveBestAngle(const TTrajectoryInput& Input, double Half) {
    const double Rise = std::sqrt(2 * Gravity * (Half + Input.SightHeight));
    const double Guess = std::asin(std::min(1.0, Rise / Input.MuzzleSpeed));
    return SecantRoot([&](double Angle) { return Apex(Input, Angle) - Half; }, Guess, Guess * 1.01,
                      1e-11, "No zero keeps the pellet within the kill zone");
}

struct TZonePass {
    double Near = NaN;
    double Far = NaN;
    // Where the pellet crosses the line of sight downwards.
    double Zero = NaN;
};

// Where the path crosses Level within the step from Before to Until: the step flown again to
// the crossing, which straight lines between the steps would miss by millimetres.
double Crossing(const TFlight& Before, double Level, double Until) {
    const auto Above = [&](double Range) {
        TFlight Flight = Before;
        Flight.FlyTo(Range);
        return Flight.Now().Height - Level;
    };
    return SecantRoot(Above, Before.Range(), Until, 1e-9, "The path does not cross the level");
}

// Where the pellet at LaunchAngle, starting at or below the line of sight, first comes within
// Half of it, where it first leaves that band again (within the same step on a steep path), and
// where it crosses the line on its way down before then; the band's end is the model's where the
// pellet never leaves it.
TZonePass PassThroughZone(const TTrajectoryInput& Input, double LaunchAngle, double Half) {
    const auto Inside = [Half](double Height) {
        return std::fabs(Height) <= Half + HeightTolerance;
    };
    TFlight Flight(Input, LaunchAngle);
    TZonePass Pass;
    if (Inside(Flight.Now().Height))
        Pass.Near = 0;
    for (TFlight Before = Flight; std::isnan(Pass.Far) && Flight.Advance(); Before = Flight) {
        const double Height = Before.Now().Height;
        const double Next = Flight.Now().Height;
        if (std::isnan(Pass.Near) && Next >= -Half - HeightTolerance)
            Pass.Near = Crossing(Before, -Half, Flight.Range());
        if (!std::isnan(Pass.Near) && !Inside(Next))
            Pass.Far = Crossing(Before, Next > 0 ? Half : -Half, Flight.Range());
        if (Height > 0 && Next <= 0)
            Pass.Zero = Crossing(Before, 0, Flight.Range());
    }
    if (std::isnan(Pass.Far))
        Pass.Far = Flight.Range();
    return Pass;
}

} // namespace

TTrajectory ComputeTrajectory(const TTrajectoryInput& Input) {
    RequireInput(Input);
    const std::vector<double> Ranges = TableRanges(Input);
    TTrajectory Trajectory{SolveLaunchAngle(Input), {}};
    TFlight Flight(Input, Trajectory.LaunchAngle);
    for (const double Range : Ranges) {
        if (!Flight.FlyTo(Range))
            break;
        Trajectory.Points.push_back(PointOf(Flight, Input));
    }
    return Trajectory;
}

TPointBlank PointBlankRange(const TTrajectoryInput& Input, double KillZone) {
    RequireInput(Input);
    RequirePositive(KillZone, "The kill zone");
    const double Half = KillZone / 2;
    const TZonePass Given = PassThroughZone(Input, SolveLaunchAngle(Input), Half);
    const TZonePass Best = PassThroughZone(Input, SolveBestAngle(Input, Half), Half);
    return {Given.Near, Given.Far, Best.Zero, Best.Far};
}

double SecantRoot(const std::function<double(double)>& Function, double X0, double X1,
                  double Tolerance, const char* Failure) {
    double F0 = Function(X0);
    for (int Iteration = 0; Iteration < 50; ++Iteration) {
        const double F1 = Function(X1);
        const double X2 = X1 - F1 * (X1 - X0) / (F1 - F0);
        if (!std::isfinite(X2))
            break;
        if (std::fabs(X2 - X1) <= Tolerance)
            return X2;
        X0 = X1;
        F0 = F1;
        X1 = X2;
    }
    throw EStatisticsError(Failure);
}
