#pragma once

// The live read-out's texts for one shot, as the laptop's full-screen read-out and the phone's
// page both show them: the same shot reads the same everywhere.

#include "series/UData.h"

#include <string>

// The limits at or over which the read-out shows a speed or an energy red; none by default.
struct TReadoutLimits {
    double Speed = NoLimit;
    double Energy = NoLimit;
};

// One shot in the display units, with the units' names.
struct TReadoutShot {
    int Number = 0;
    double Speed = 0;
    std::string SpeedUnit;
    double PeletWeight = 0;
    std::string WeightUnit;
    double Energy = 0;
    std::string EnergyUnit;
};

struct TReadoutTexts {
    // "  7.": three places for the number, then a full stop.
    std::string Shot;
    // Two decimals, or as many more as keep each on its side of its limit.
    std::string Speed;
    std::string PeletWeight;
    std::string Energy;
    bool SpeedAtLimit = false;
    bool EnergyAtLimit = false;
};

TReadoutTexts ReadoutTexts(const TReadoutShot& Shot, const TReadoutLimits& Limits);
