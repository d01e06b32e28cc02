#pragma once

// The statistics of a series of shots in display units: count, maximum, mean and minimum of
// speed and of energy, the spread of maximum and minimum around the mean, the extreme spread
// and the standard deviation.

#include "series/UData.h"

#include <limits>
#include <string>
#include <vector>

// One shot as the display shows it.
struct TShotValues {
    double Speed;
    double Energy;
};

// Running maximum, minimum, sum and deviation of one quantity.
struct TRunningValues {
    // The lowest double, not the smallest positive one, so that a series of negative values
    // (a file can hold them) shows its true maximum.
    double Maximum = std::numeric_limits<double>::lowest();
    double Minimum = 1.7e308;
    double Sum = 0;
    // The count, running mean and sum of squared deviations from it, updated shot by shot so
    // that the deviation stays exact for large, nearly equal values, where the sum of squares
    // minus the square of the sum loses every digit.
    int Count = 0;
    double Mean = 0;
    double SquaredDeviations = 0;

    void Add(double Value);
    // The mean the statistics show: the sum over the count, as shooters' tables compute it.
    double Average() const { return Sum / Count; }
    double ExtremeSpread() const { return Maximum - Minimum; }
    // The standard deviation of the sample (divisor n - 1); needs two values.
    double StandardDeviation() const;
};

struct TShotStatistics {
    TRunningValues Speed;
    TRunningValues Energy;

    int Count() const { return Speed.Count; }
    void Add(const TShotValues& Shot);
};

// The ten statistics labels' texts, in the order maximum, mean, minimum, maximum - mean,
// minimum - mean; the placeholders of an empty series use the current decimal separator.
struct TStatisticsTexts {
    std::string Maximum, Average, Minimum, MaximumDiff, MinimumDiff;
};
TStatisticsTexts StatisticsTexts(const TRunningValues& Values);

// Extreme spread and standard deviation as the strip above the chart and the reports show them;
// "––" while fewer than two shots give them a meaning.
struct TSpreadTexts {
    std::string ExtremeSpread, StandardDeviation;
};
TSpreadTexts SpreadTexts(const TRunningValues& Values);
