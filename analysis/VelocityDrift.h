#pragma once

// The drift of a series: the least-squares straight line of speed over shot number, and whether
// its slope is more than the scatter could produce by chance. A regulated gun, a barrel fouling
// up or a pressure curve shows here as speed gained or lost per shot.

// EStatisticsError, which every function here raises for input it cannot work with.
#include "analysis/StudentT.h"
// TInterval.
#include "analysis/SeriesComparison.h"

#include <cstddef>
#include <span>

struct TDrift {
    std::size_t Shots = 0;
    // The line's speed at shot number 0.
    double Intercept = 0;
    // Speed per shot.
    double Slope = 0;
    // Of the slope, at the level asked for.
    TInterval SlopeInterval;
    // The interval leaves out zero; for speeds exactly on a line, whenever the slope is not zero.
    bool Significant = false;

    // The line's speed at ShotNumber (the first shot is 1).
    double SpeedAt(double ShotNumber) const;
};

// The line through Speeds over shot numbers 1 to n with the slope's interval at Level
// (0 < Level < 1): Slope -+ t_{(1 + Level) / 2, n - 2} times its standard error. It needs three
// shots or more, since two always lie on a line and leave no scatter to judge the slope by.
TDrift VelocityDrift(std::span<const double> Speeds, double Level = 0.95);
