#pragma once

// The bins of the chart's histogram of speeds, and the normal curve of the same mean and
// deviation drawn over them, which shows at a glance whether the scatter is the chance kind.

// EStatisticsError, which every function here raises for input it cannot work with.
#include "analysis/StudentT.h"

#include <cstddef>
#include <span>
#include <vector>

struct THistogram {
    // Bin i is [Start + i Width, Start + (i + 1) Width); the last one includes its upper end.
    double Start = 0;
    double Width = 0;
    std::vector<std::size_t> Counts;
    // The step of the readings when the bins' edges lie halfway between two of them; 0 when
    // the bins keep no step.
    double Step = 0;
    // The far values, counted apart below Start and above the last bin.
    std::size_t Below = 0;
    std::size_t Above = 0;
    // The smallest and the largest value, far or not.
    double Least = 0;
    double Most = 0;
    // Of the binned values.
    double Mean = 0;
    // The sample standard deviation (divisor n - 1); 0 for a single value.
    double StandardDeviation = 0;

    // The binned values, without the far ones.
    std::size_t Total() const;
    double BinStart(std::size_t Bin) const;
    double BinCentre(std::size_t Bin) const;
    // The normal density at Value scaled to the bins: Total Width phi(z) / StandardDeviation
    // with z = (Value - Mean) / StandardDeviation; 0 without any deviation.
    double ExpectedCount(double Value) const;
};

// Of 8 values or more, those more than four interquartile ranges (or reading steps, where a step
// is wider) beyond the quartiles are far: a misread 9999 among speeds near 250 is counted apart
// instead of stretching the bins over it. The rest are binned, and the normal curve is theirs: bins
// of the Freedman-Diaconis width 2 IQR / cbrt(n), which follows the bulk of the values. Where that
// gives fewer than 5 bins, or the quartiles coincide, 5 bins of equal width cover the range
// instead; at most 200 bins. The width is then rounded up to whole steps of the values' readings
// (the smallest gap between two of them), the first bin starting half a step below the smallest,
// so that every bin can take in as many readings. Equal values lie in the middle of 5 bins of
// width 1. At least one value, and every one finite; binned values too far apart for their
// deviation to be a number raise EStatisticsError.
THistogram BinValues(std::span<const double> Values);
