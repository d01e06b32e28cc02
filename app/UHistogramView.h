#pragma once

// The chart's histogram view: the speeds (or energies) in bins as bars, and the normal curve of
// their mean and deviation over them. The curve runs through one empty bin either side, so that
// its tails show.

#include "analysis/Histogram.h"
#include "series/USeries.h"

#include <span>
#include <string>
#include <vector>

class TNiceChart;

struct THistogramView {
    THistogram Bins;
    // As many decimals as keep the bins' labels apart.
    int Decimals = 0;
    // Where each bin stands on the chart: its centre, rounded to Decimals.
    std::vector<double> Xs;
};

// The bins of Values (at least one) at the places they are charted.
THistogramView HistogramOf(std::span<const double> Values);

// Replaces the chart's series with the view's bars and curve; the caller suspends the chart's
// updates around it.
void ShowHistogram(TNiceChart& Chart, const THistogramView& View);

// "170.5 to 171.7 m/s: 12 shots" for the bin charted at X; empty for an X that is no bin's.
std::string HistogramHint(const THistogramView& View, double X, const std::string& Unit,
                          const TTranslate& Translate);
