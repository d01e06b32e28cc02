#pragma once

// The statistics of a series of shots in display units: count, maximum, mean and minimum of
// speed and of energy, with the spread of maximum and minimum around the mean.

#include "app/UData.h"

#include <limits>
#include <string>
#include <vector>

// One shot as the display shows it.
struct TShotValues {
    double Speed;
    double Energy;
};

// Speed and energy of every shot in the display units, for the pellet weight given in the
// display weight unit.
std::vector<TShotValues> ShotValues(const std::vector<TData>& Shots, double PeletWeight,
                                    const TUnitSystem& Units);

// Running maximum, minimum and sum of one quantity.
struct TRunningValues {
    // The lowest double, not the smallest positive one, so that a series of negative values
    // (a file can hold them) shows its true maximum.
    double Maximum = std::numeric_limits<double>::lowest();
    double Minimum = 1.7e308;
    double Sum = 0;

    void Add(double Value);
};

struct TShotStatistics {
    int Count = 0;
    TRunningValues Speed;
    TRunningValues Energy;

    void Add(const TShotValues& Shot);
};

// The ten statistics labels' texts, in the order maximum, mean, minimum, maximum - mean,
// minimum - mean; the placeholders of an empty series use the current decimal separator.
struct TStatisticsTexts {
    std::string Maximum, Average, Minimum, MaximumDiff, MinimumDiff;
};
TStatisticsTexts StatisticsTexts(const TRunningValues& Values, int Count);
