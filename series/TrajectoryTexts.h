#pragma once

// The trajectory and the ballistic coefficient as the shooter reads them: in the display units
// (m, cm, m/s, J, g or yd, in, fps, fpe, gr) and in the user's language. The ballistics compute in
// their own units; the trajectory window and the report show them through here, so that both
// say the same.

#include "analysis/BallisticCoefficient.h"
#include "analysis/Trajectory.h"
#include "series/UData.h"
#include "series/USeries.h"

#include <optional>
#include <string>
#include <vector>

enum class TBallisticQuantity {
    Speed,
    Coefficient,
    Weight,
    Height,
    Range,
    Wind,
    KillZone,
    Energy,
    Temperature,
    Pressure,
    Humidity
};

// A quantity's display unit and its conversion from the ballistics' own unit: m/s, lb/in², kg,
// m (heights, ranges and the kill zone), m/s of wind, J, °C, hPa and the humidity's fraction.
struct TBallisticUnit {
    std::string Name;
    double Factor = 1;
    double Offset = 0;
    int Decimals = 0;

    double Shown(double Value) const { return Value * Factor + Offset; }
    double Value(double Shown) const { return (Shown - Offset) / Factor; }
    // The value in this unit with its decimals, and without the unit's name.
    std::string Text(double Value) const;
    // A number typed in this unit, in the ballistics' own; none for a text that is no number.
    std::optional<double> Read(const std::string& Text) const;
};

// The imperial system shows speeds, energies and weights in its own factors, as the rest of the
// program does, and wind in mph, heights in inches, ranges in yards, pressures in inHg, °F.
TBallisticUnit BallisticUnit(TBallisticQuantity Quantity, const TUnitSystem& Units);

// What a trajectory starts from: the figures given (m/s, g, lb/in², m), and where one is missing
// a common .177 pellet's BC, a scope 4.5 cm over the bore, a 30 m zero, 50 m in 5 m steps, 240 m/s
// and 0.547 g, in standard air and no wind.
TTrajectoryInput StartingTrajectory(std::optional<double> MuzzleSpeed,
                                    std::optional<double> PeletWeight,
                                    std::optional<double> BallisticCoefficient,
                                    std::optional<double> SightHeight,
                                    std::optional<double> ZeroRange);
// The kill zone a trajectory is judged by where the shooter sets none: 25 mm.
inline constexpr double DefaultKillZone = 0.025;

// The trajectory as a table: its captions with their units, then a row a range step.
struct TTrajectoryTable {
    std::vector<std::string> Header;
    std::vector<std::vector<std::string>> Rows;
};
TTrajectoryTable TrajectoryTable(const TTrajectory& Trajectory, const TUnitSystem& Units,
                                 const TTranslate& Translate);

// "Point-blank range for a 25 mm kill zone: 9 to 41 m; a zero at 27 m makes it reach 43 m".
std::string PointBlankText(const TPointBlank& Range, double KillZone, const TUnitSystem& Units,
                           const TTranslate& Translate);

// "The energy falls below 16.3 J beyond 35 m"; empty without a minimum or while the energy stays
// above it to the last range.
std::string MinimumEnergyText(const TTrajectory& Trajectory, double MinimumEnergy,
                              const TUnitSystem& Units, const TTranslate& Translate);

// "BC 0.031 lb/in² (95 % interval 0.029 to 0.033), from 10 shots at the muzzle and 10 at 20 m";
// an interval without an upper end, where the two series' speeds overlap, is said so.
std::string BallisticCoefficientText(const TBcEstimate& Estimate, const TUnitSystem& Units,
                                     const TTranslate& Translate);

// What the figures are referred to, for the window and the report.
inline constexpr const char* BallisticsNote =
    "BC: G1, referred to the ICAO standard atmosphere (15 \u00B0C, 1013.25 hPa), not to the Army "
    "Standard Metro air. MOA: true minutes of angle (1/60\u00B0), not 1 inch at 100 yards. A point "
    "mass without spin drift.";
