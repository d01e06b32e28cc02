#include "series/UEnergyPresets.h"

#include "platform/NumberFormats.h"

#include <cmath>

double PresetLimit(const TEnergyPreset& Preset, const TUnitSystem& Units) {
    return Preset.Joules / Units.EnergyFactor;
}

// The limit read back from a settings file carries only the digits it was written with.
const TEnergyPreset* PresetOfLimit(double Limit, const TUnitSystem& Units) {
    for (const TEnergyPreset& Preset : EnergyPresets) {
        const double Value = PresetLimit(Preset, Units);
        if (std::abs(Limit - Value) <= 1e-12 * Value)
            return &Preset;
    }
    return nullptr;
}

double StoredEnergyLimit(double Stored, const TUnitSystem& Units) {
    for (const TEnergyPreset& Preset : EnergyPresets) {
        const double Value = PresetLimit(Preset, Units);
        if (std::abs(Stored - std::round(Value * 100) / 100) <= 1e-12 * Value)
            return Value;
    }
    return Stored;
}

std::string EnergyLimitNumber(double Limit, const TUnitSystem& Units) {
    return PresetOfLimit(Limit, Units) ? platform::FormatFloat("0.####", Limit)
                                       : platform::FloatToStr(Limit);
}

std::string EnergyLimitText(double Limit, const TUnitSystem& Units, const TTranslate& Translate) {
    if (Limit >= NoLimit)
        return {};
    const std::string Text = EnergyLimitNumber(Limit, Units) + " " + Units.EnergyUnit;
    const TEnergyPreset* Preset = PresetOfLimit(Limit, Units);
    return Preset ? Text + " (" + Translate(Preset->Name) + ")" : Text;
}
