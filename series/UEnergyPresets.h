#pragma once

// The energy limits that the law sets for air guns where most of our shooters live. A preset sets
// the energy limit in the display unit; the limit keeps no mark of where it came from, so a
// preset applies while the limit is its value in the current unit, and any other number is the
// shooter's own.

#include "series/UData.h"
#include "series/USeries.h"

#include <array>
#include <string>

struct TEnergyPreset {
    // Also the key of its translation.
    const char* Name;
    double Joules;
};

// The British law counts in foot-pounds, the imperial energy unit.
inline constexpr std::array<TEnergyPreset, 3> EnergyPresets{{
    {"UK air rifle, 12 ft\u00B7lbf", 12 * ImperialUnits.EnergyFactor},
    {"UK air pistol, 6 ft\u00B7lbf", 6 * ImperialUnits.EnergyFactor},
    {"Germany, 7.5 J", 7.5},
}};

// The preset's energy in the display energy unit, to two decimals as the setup window shows it.
double PresetLimit(const TEnergyPreset& Preset, const TUnitSystem& Units);

// The preset (one of EnergyPresets) whose value in Units the energy Limit is; null for a limit of
// the shooter's own.
const TEnergyPreset* PresetOfLimit(double Limit, const TUnitSystem& Units);

// The limit as the report states it: "16.27 J (UK air rifle, 12 ft·lbf)", or without the preset
// for the shooter's own; empty for the 999999 that stands for no limit.
std::string EnergyLimitText(double Limit, const TUnitSystem& Units, const TTranslate& Translate);
