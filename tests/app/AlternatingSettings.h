#pragma once

// The two sets of settings that the settings writer helper writes in turn. Every key differs
// between them, so a file that mixes them shows at once.

#include "app/USettingsFile.h"

#include <string>

inline const TSettings AlternatingSettings[2] = {{7, true, 0.6, 800, 30, 90, 100},
                                                 {9, false, 0.547, 999999, 999999, 80, 80}};

inline std::string SpeedUnitOf(const TSettings& Settings) {
    return Settings.Imperial ? "fps" : "m/s";
}
