#include "series/UEnergyPresets.h"

#include "platform/NumberFormats.h"

#include <cmath>

namespace {

// What the setup window stores for a limit that is not a number: no shot reaches it.
constexpr double NoLimit = 999999;

} // namespace

double PresetLimit(const TEnergyPreset& Preset, const TUnitSystem& Units) {
    return std::round(Preset.Joules / Units.EnergyFactor * 100) / 100;
}

// The limit is stored as the edit shows it, so a preset's is its two decimals exactly; only the
// last bit of a decimal read back is let pass.
const TEnergyPreset* PresetOfLimit(double Limit, const TUnitSystem& Units) {
    for (const TEnergyPreset& Preset : EnergyPresets) {
        const double Value = PresetLimit(Preset, Units);
        if (std::abs(Limit - Value) <= 1e-12 * Value)
            return &Preset;
    }
    return nullptr;
}

std::string EnergyLimitText(double Limit, const TUnitSystem& Units, const TTranslate& Translate) {
    if (Limit >= NoLimit)
        return {};
    const std::string Text = platform::FloatToStr(Limit) + " " + Units.EnergyUnit;
    const TEnergyPreset* Preset = PresetOfLimit(Limit, Units);
    return Preset ? Text + " (" + Translate(Preset->Name) + ")" : Text;
}
