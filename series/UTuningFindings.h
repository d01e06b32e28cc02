#pragma once

// What the tuning tools find in a series of speeds: the usable shots of one fill, with the fill
// pressures they span when the series' notes give them, and the drift of speed over the series;
// and how the window and the report say it in the user's language.

#include "analysis/ShotsPerFill.h"
#include "analysis/VelocityDrift.h"
#include "series/USeries.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// The pressures noted with a series, in the display unit.
struct TFillPressures {
    double Start = 0;
    double End = 0;
    std::string Unit;
};

struct TTuningFindings {
    // None without shots.
    std::optional<TUsableRun> Usable;
    // Only with a usable run and noted pressures.
    std::optional<TPressureWindow> Pressures;
    std::string PressureUnit;
    // None below three shots, or for speeds too far apart to give a drift.
    std::optional<TDrift> Drift;
    bool DriftOutOfReach = false;
};

// One quantity of every shot of the series, in its display unit.
std::vector<double> SeriesValues(const TSeries& Series, double TShotValues::*Quantity);

// UsableSpread is the widest extreme spread of a fill's usable shots; a negative one or none
// counts as 0.
TTuningFindings FindTuning(std::span<const double> Speeds, double UsableSpread,
                           const std::optional<TFillPressures>& Pressures);

// "Usable shots: 42 (shots 8 to 49), extreme spread 9.8 fps", with the pressures after it when
// there are some; empty without a usable run.
std::string UsableShotsText(const TTuningFindings& Findings, const std::string& SpeedUnit,
                            const TTranslate& Translate);

// "Speed falls by 2.1 m/s per 10 shots (95 % interval 1.8 to 2.4)", or that there is no drift;
// that three shots are needed below three shots.
std::string DriftText(const TTuningFindings& Findings, const std::string& SpeedUnit,
                      const TTranslate& Translate);

// The same in short, as captions and values of the report's facts: "Usable shots", "42 (8 to
// 49), ES 9.8 fps"; "Speed drift", "-2.1 m/s per 10 shots" or "none". Only what was found.
std::vector<std::pair<std::string, std::string>> TuningFacts(const TTuningFindings& Findings,
                                                             const std::string& SpeedUnit,
                                                             const TTranslate& Translate);
