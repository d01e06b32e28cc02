#pragma once

// Shots and the units in which the program shows them.

#include "platform/LocalTime.h"

#include <optional>
#include <string>

// One measured shot: the speed exactly as the chronograph or a data file gave it, the unit it
// came with, upper-cased, and the local time its record was completed, when it came from the
// chronograph (data files do not keep times). A shot never changes; switching the display units
// converts on the way out, so switching back and forth loses nothing.
class TData {
public:
    TData(const std::string& Unit, double Speed,
          std::optional<platform::TLocalTime> Received = std::nullopt);

    double Speed() const { return FSpeed; }
    const std::string& SpeedUnit() const { return FSpeedUnit; }
    const std::optional<platform::TLocalTime>& Received() const { return FReceived; }

    // The speed in the target unit ("m/s" or "fps" in any letter case). A shot whose own unit
    // is not one of those two is taken to be in the target unit already.
    double SpeedIn(const std::string& TargetUnit) const;

private:
    double FSpeed;
    std::string FSpeedUnit;
    std::optional<platform::TLocalTime> FReceived;
};

// A time as "2026-12-09 14:55:03", which spreadsheets read as a date and time.
std::string LocalTimeText(const platform::TLocalTime& Time);
// The time a shot was received, or empty for a shot that was loaded.
std::string ReceivedText(const TData& Shot);

// A display unit system. The factors are divisors: a display speed divided by SpeedFactor is
// in m/s, a display weight divided by WeightFactor is in grams, and an energy in joules
// divided by EnergyFactor is in the display energy unit.
struct TUnitSystem {
    const char* Name;
    const char* SpeedUnit;
    const char* EnergyUnit;
    const char* WeightUnit;
    double SpeedFactor;
    double WeightFactor;
    double EnergyFactor;
};

inline constexpr TUnitSystem MetricUnits{"metric", "m/s", "J", "g", 1.0, 1.0, 1.0};
inline constexpr TUnitSystem ImperialUnits{"imperial", "fps",  "fpe",          "gr",
                                           3.281,      15.432, 1.3558179483314};

bool IsImperial(const TUnitSystem& Units);

// Kinetic energy in the display energy unit of a shot at Speed (display speed unit) with a
// pellet of PeletWeight (display weight unit). One formula serves both systems; the imperial
// factors are the rounded ones shooters use, not the exact foot.
double ShotEnergy(double Speed, double PeletWeight, const TUnitSystem& Units);

// Speeds and energies as the table, the statistics and the chart hints show them: two decimals.
std::string FormatValue(double Value);

// The limit that stands for none: no shot reaches it.
inline constexpr double NoLimit = 999999;
// A speed or an energy at or over its limit is shown red.
inline bool AtLimit(double Value, double Limit) {
    return Value >= Limit;
}
// Value with Decimals, or with as many more (up to six) as the text needs to read on the same
// side of Limit as the value: a shot a hair under a limit must not show the limit's own rounded
// value, which a shot at the limit shows in red. Past six decimals it is rounded away from the
// limit.
std::string FormatAgainstLimit(double Value, double Limit, int Decimals);
