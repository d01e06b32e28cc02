#pragma once

// The flight of a pellet from the muzzle: a point mass under gravity and G1 drag in the air of
// the day, carried sideways by a crosswind. The sight line is level (no shots uphill or
// downhill) and the pellet's spin is left out (no spin drift). All quantities are SI units:
// m, m/s, kg, s, J; BCs are G1 in lb/in², referred to the ICAO standard atmosphere (see
// TG1Drag).

#include "analysis/Atmosphere.h"

#include <cstddef>
#include <functional>
#include <vector>

// The flight is integrated in steps of range no longer than this, m: halving it changes the
// drop at 50 m by less than a micrometre for pellets from 120 to 330 m/s, and a 100 m table
// takes about 0.15 ms.
inline constexpr double DefaultIntegrationStep = 0.25;
// The most rows a table may have: a mistyped range step must not fill the memory.
inline constexpr std::size_t MaximumTrajectoryPoints = 100000;

struct TTrajectoryInput {
    double MuzzleSpeed = 0;
    double BallisticCoefficient = 0;
    // For the energy.
    double PelletMass = 0;
    // The line of sight above the bore's axis at the muzzle; not below it.
    double SightHeight = 0;
    // Where the pellet crosses the line of sight, usually the far crossing: the launch angle is
    // solved for it.
    double ZeroRange = 0;
    double LastRange = 0;
    double RangeStep = 1;
    // From the left, full value: it carries the pellet to the right.
    double CrossWind = 0;
    TAir Air = StandardAir;
    // A hunting minimum, J; 0 for none.
    double MinimumEnergy = 0;
    // M of range.
    double IntegrationStep = DefaultIntegrationStep;
};

struct TTrajectoryPoint {
    double Range;
    // The pellet's height against the line of sight, negative below it.
    double Drop;
    // The aim correction that puts the pellet on the point of aim, positive to hold over: the
    // angle under the line of sight at which the pellet passes; 0 at the muzzle.
    double HoldoverMrad;
    // True minutes of angle, 1/60 degree; the "shooter's MOA" some scopes count (1 inch at
    // 100 yards) is 4.7 % smaller.
    double HoldoverMoa;
    double Speed;
    double Energy;
    // Of flight from the muzzle.
    double Time;
    // Sideways, positive to the right.
    double WindDrift;
    bool BelowMinimumEnergy;
};

struct TTrajectory {
    // Of the bore against the line of sight, rad.
    double LaunchAngle = 0;
    // At ranges 0, RangeStep, 2 RangeStep ... and LastRange. The table ends early where the
    // path of the spent pellet grows steeper than 45°: a drop against a level sight line means
    // nothing there.
    std::vector<TTrajectoryPoint> Points;
};

// EStatisticsError for input it cannot work with: a speed, BC, mass, zero range or step that is
// not a positive number, a negative sight height, last range or minimum energy, air the
// atmosphere rejects, a zero range the pellet cannot reach, more than MaximumTrajectoryPoints
// rows.
TTrajectory ComputeTrajectory(const TTrajectoryInput& Input);

// For the input's zero: from Near to Far the pellet stays within half the kill zone of the line
// of sight (it always does around the zero range itself). BestZero is the zero range that puts
// Far farthest, BestFar that Far: with it the pellet's highest point touches the kill zone's top
// edge.
struct TPointBlank {
    double Near;
    double Far;
    double BestZero;
    double BestFar;
};

// EStatisticsError where ComputeTrajectory raises it, and for a KillZone (a diameter, m) that is
// not a positive number.
TPointBlank PointBlankRange(const TTrajectoryInput& Input, double KillZone);

// The numerical tools of the flight, shared with the search for a BC.

// One step of the classical fourth-order Runge-Kutta method from State over H, with Slope
// giving the derivative of a state.
template <typename TState, typename TSlope>
TState RungeKuttaStep(const TState& State, double H, const TSlope& Slope) {
    const TState K1 = Slope(State);
    const TState K2 = Slope(State + H / 2 * K1);
    const TState K3 = Slope(State + H / 2 * K2);
    const TState K4 = Slope(State + H * K3);
    return State + H / 6 * (K1 + 2 * K2 + 2 * K3 + K4);
}

// The root of a smooth, monotonic Function by the secant method from two guesses near it, to
// within Tolerance; EStatisticsError with the message Failure when it does not converge.
double SecantRoot(const std::function<double(double)>& Function, double X0, double X1,
                  double Tolerance, const char* Failure);
