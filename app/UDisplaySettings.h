#pragma once

// The settings that the setup and live windows read and change: the user's language, and the
// units, pellet weight and limits of the series. A change takes effect at once: the series
// follows, and the window re-captions itself or shows the shots again through its hooks.

#include "app/USettingsFile.h"
#include "series/USeries.h"
#include "text/UTranslator.h"
#include "windows/MainSettings.h"

#include <functional>

class TDisplaySettings final : public TMainSettings {
public:
    explicit TDisplaySettings(TSeries& Series) : FSeries(Series) {}

    // What the window does after a change: every text again (a language or units), the weight
    // in its edit, the display now or soon.
    std::function<void()> ApplyTranslation, ShowPeletWeight, RecalculateNow, RestartRecalculation;

    int Language() const override { return FLanguage; }
    double SpeedLimit() const override { return FSeries.SpeedLimit(); }
    double EnergyLimit() const override { return FSeries.EnergyLimit(); }
    double PeletWeight() const override { return FSeries.PeletWeight(); }
    double UsableSpread() const override { return FUsableSpread[IsImperial()]; }
    // Both systems' usable spreads, as the settings file keeps them.
    double UsableSpread(const TUnitSystem& Units) const {
        return FUsableSpread[::IsImperial(Units)];
    }
    void LoadUsableSpread(const TUnitSystem& Units, double Value) {
        FUsableSpread[::IsImperial(Units)] = Usable(Value);
    }
    std::string SpeedUnit() const override { return FSeries.Units().SpeedUnit; }
    std::string EnergyUnit() const override { return FSeries.Units().EnergyUnit; }
    std::string WeightUnit() const override { return FSeries.Units().WeightUnit; }
    // Where the phones' read-out listens, as the settings file gives it.
    int PhonePort() const { return FPhonePort; }
    const std::string& PhoneAddress() const { return FPhoneAddress; }
    void LoadPhoneListening(int Port, const std::string& Address) {
        FPhonePort = Port;
        FPhoneAddress = Address;
    }
    void SetLanguage(int Code) override;
    // The language as the settings file gives it, before the window has any text to change.
    void LoadLanguage(int Code) { FLanguage = Code; }
    void SetSpeedLimit(double Value) override;
    void SetEnergyLimit(double Value) override;
    void SetPeletWeight(double Value) override;
    void SetUsableSpread(double Value) override;
    void SetMetric() override;
    void SetImperial() override;
    bool IsMetric() const override { return SpeedUnit() == "m/s"; }
    bool IsImperial() const override { return SpeedUnit() == "fps"; }

private:
    void SetUnits(const TUnitSystem& Units);
    static void Run(const std::function<void()>& Hook);
    // A negative spread, or none, lets no two shots count as one fill's.
    static double Usable(double Spread) { return Spread >= 0 ? Spread : 0; }

    TSeries& FSeries;
    int FLanguage = LANG_ENGLISH;
    // Metric, then imperial.
    double FUsableSpread[2] = {TSettings().UsableSpreadMetric, TSettings().UsableSpreadImperial};
    int FPhonePort = TSettings().PhonePort;
    std::string FPhoneAddress;
};
