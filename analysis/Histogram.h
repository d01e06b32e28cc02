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
    double Mean = 0;
    // The sample standard deviation (divisor n - 1); 0 for a single value.
    double StandardDeviation = 0;

    std::size_t Total() const;
    double BinStart(std::size_t Bin) const;
    double BinCentre(std::size_t Bin) const;
    // The normal density at Value scaled to the bins: Total Width phi(z) / StandardDeviation
    // with z = (Value - Mean) / StandardDeviation; 0 without any deviation.
    double ExpectedCount(double Value) const;
};

// Bins of the Freedman-Diaconis width 2 IQR / cbrt(n), which follows the bulk of the values and
// ignores their tails. Where that gives fewer than 5 bins, or the quartiles coincide, 5 bins of
// equal width cover the range instead; at most 200 bins, so that one misread outlier cannot make
// tens of thousands. The width is then rounded up to whole steps of the values' readings (the
// smallest gap between two of them), the first bin starting half a step below the smallest, so
// that every bin can take in as many readings. Equal values lie in the middle of 5 bins of width
// 1. At least one value, and every one finite.
THistogram BinValues(std::span<const double> Values);
