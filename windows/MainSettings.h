#pragma once

// The main window's settings as the setup and live windows see them. The main window implements
// this; the windows never reach it otherwise. Every setter takes effect at once (the main window
// re-captions itself or recalculates as each one needs).

#include "series/UData.h"

#include <string>

class TMainSettings {
public:
    virtual ~TMainSettings() = default;

    // 5 Czech, 7 German, 9 English: the codes of the translator.
    virtual int Language() const = 0;
    // Limits at or above which the live read-out shows a speed or an energy in red, and the
    // pellet weight; all in the display units.
    virtual double SpeedLimit() const = 0;
    virtual double EnergyLimit() const = 0;
    virtual double PeletWeight() const = 0;
    // The widest extreme spread of speed (display unit) that the shots of one fill may have to
    // count as usable; each unit system keeps its own.
    virtual double UsableSpread() const = 0;
    // The display units: "m/s", "J", "g" or "fps", "fpe", "gr".
    virtual std::string SpeedUnit() const = 0;
    virtual std::string EnergyUnit() const = 0;
    virtual std::string WeightUnit() const = 0;

    virtual void SetLanguage(int Code) = 0;
    virtual void SetSpeedLimit(double Value) = 0;
    virtual void SetEnergyLimit(double Value) = 0;
    virtual void SetPeletWeight(double Value) = 0;
    virtual void SetUsableSpread(double Value) = 0;

    // Each switch does nothing when its system is already in force.
    virtual void SetMetric() = 0;
    virtual void SetImperial() = 0;
    virtual bool IsMetric() const = 0;
    virtual bool IsImperial() const = 0;
};

// The unit system the settings have in force.
inline const TUnitSystem& UnitsOf(const TMainSettings& Settings) {
    return Settings.IsImperial() ? ImperialUnits : MetricUnits;
}
