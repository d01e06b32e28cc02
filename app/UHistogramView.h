#pragma once

// The chart's histogram view: the speeds (or energies) in bins as bars, and the normal curve of
// their mean and deviation over them. The curve runs through one empty bin either side, so that
// its tails show; far values stand apart as one bar beyond each end.

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
    // Where the bars of the far values stand (when there are any): at the farthest value, and
    // never among the bins or the curve.
    double BelowX = 0;
    double AboveX = 0;
};

// The bins of Values (at least one) at the places they are charted.
THistogramView HistogramOf(std::span<const double> Values);

// Replaces the chart's series with the view's bars and curve; the caller suspends the chart's
// updates around it.
void ShowHistogram(TNiceChart& Chart, const THistogramView& View);

// "170.50 to 171.70 m/s: 12 shots" for the bin charted at X, named by the first and the last
// reading it can hold, so that neighbouring bins never share an end; "Above 256.10 m/s: 1 shots"
// for the bar of the far values; empty for an X that is no bar's.
std::string HistogramHint(const THistogramView& View, double X, const std::string& Unit,
                          const TTranslate& Translate);
