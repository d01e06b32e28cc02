#pragma once

// The energy limits that the law sets for air guns where most of our shooters live. A preset's
// limit is its law's value exactly, in the display unit: 12 ft·lbf is 16.26982 J, and a shot of
// 16.26992 J is over it. The limit keeps no mark of where it came from; a limit that is a
// preset's exact value in the current unit is that preset, any other number the shooter's own.
// A preset stays the same law when the units switch.

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

// The preset's energy in the display energy unit, exactly.
double PresetLimit(const TEnergyPreset& Preset, const TUnitSystem& Units);

// The preset (one of EnergyPresets) whose value in Units the energy Limit is; null for a limit of
// the shooter's own.
const TEnergyPreset* PresetOfLimit(double Limit, const TUnitSystem& Units);

// The limit a settings file gives: a preset's value rounded to two decimals, which is how the
// presets were once stored, stands for the preset's exact value.
double StoredEnergyLimit(double Stored, const TUnitSystem& Units);

// The limit's number as the setup window and the report write it: a preset's to four decimals
// ("16.2698"), enough to tell it from the shots' rounded energies around it; the shooter's own
// as it was typed.
std::string EnergyLimitNumber(double Limit, const TUnitSystem& Units);

// The limit as the report states it: "16.2698 J (UK air rifle, 12 ft·lbf)", or without the
// preset for the shooter's own; empty for the 999999 that stands for no limit.
std::string EnergyLimitText(double Limit, const TUnitSystem& Units, const TTranslate& Translate);
