#include "app/UEnergyPresets.h"

#include "platform/NumberFormats.h"

#include <cmath>

namespace {

// What the setup window stores for a limit that is not a number: no shot reaches it.
constexpr double NoLimit = 999999;

} // namespace

double PresetLimit(const TEnergyPreset& Preset, const TUnitSystem& Units) {
    return std::round(Preset.Joules / Units.EnergyFactor * 100) / 100;
}

// Half a hundredth either way: the limit is stored as the edit shows it.
const TEnergyPreset* PresetOfLimit(double Limit, const TUnitSystem& Units) {
    for (const TEnergyPreset& Preset : EnergyPresets) {
        if (std::abs(Limit - PresetLimit(Preset, Units)) < 0.005)
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
