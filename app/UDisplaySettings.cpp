#include "app/UDisplaySettings.h"

#include "series/UEnergyPresets.h"

void TDisplaySettings::Run(const std::function<void()>& Hook) {
    if (Hook)
        Hook();
}

void TDisplaySettings::SetLanguage(int Code) {
    FLanguage = Code;
    Run(ApplyTranslation);
}

void TDisplaySettings::SetSpeedLimit(double Value) {
    FSeries.SetSpeedLimit(Value);
    Run(RestartRecalculation);
}

void TDisplaySettings::SetEnergyLimit(double Value) {
    FSeries.SetEnergyLimit(Value);
    Run(RestartRecalculation);
}

void TDisplaySettings::SetPeletWeight(double Value) {
    FSeries.SetPeletWeight(Value);
    Run(ShowPeletWeight);
    Run(RestartRecalculation);
}

void TDisplaySettings::SetUsableSpread(double Value) {
    FUsableSpread[IsImperial()] = Usable(Value);
    Run(RestartRecalculation);
}

void TDisplaySettings::SetMetric() {
    if (IsImperial())
        SetUnits(MetricUnits);
}

void TDisplaySettings::SetImperial() {
    if (IsMetric())
        SetUnits(ImperialUnits);
}

// The limits are numbers that stay as they are, but a legal preset is a law: it stays the same
// preset in the other units.
void TDisplaySettings::SetUnits(const TUnitSystem& Units) {
    const TEnergyPreset* Preset = PresetOfLimit(FSeries.EnergyLimit(), FSeries.Units());
    FSeries.SetUnits(Units);
    if (Preset)
        FSeries.SetEnergyLimit(PresetLimit(*Preset, Units));
    Run(RecalculateNow);
    Run(ApplyTranslation);
}
