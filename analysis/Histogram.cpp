#include "analysis/Histogram.h"

#include "analysis/SeriesComparison.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {

constexpr std::size_t FewestBins = 5;
constexpr std::size_t MostBins = 200;

// Fences a third wider than Tukey's for values "far out": a misreading lies far beyond them,
// while a normal sample of 8 values passes a value beyond them once in sixty (beyond Tukey's
// own, once in twenty), and of 50 values once in six thousand. Fewer values have quartiles too
// unsteady to judge by.
constexpr double FarSpreads = 4;
constexpr std::size_t FewestJudged = 8;

// Beyond this many readings per bin, bins are too wide for the readings' grid to show.
constexpr double ReadingsPerBinAligned = 1e6;

struct TBinLayout {
    double Start = 0;
    double Width = 0;
    std::size_t Bins = 0;
};

// The quantile by linear interpolation between neighbouring order statistics, at position
// (n - 1) Probability (type 7, the default of R and NumPy), for 0 <= Probability < 1, n >= 2.
double Quantile(const std::vector<double>& Sorted, double Probability) {
    const double Position = static_cast<double>(Sorted.size() - 1) * Probability;
    const auto Below = static_cast<std::size_t>(Position);
    const double Fraction = Position - static_cast<double>(Below);
    return Sorted[Below] + Fraction * (Sorted[Below + 1] - Sorted[Below]);
}

// For at least two values that differ. The bin counts are compared as doubles: a tiny
// interquartile range may ask for more bins than a size_t holds.
TBinLayout LayOut(const std::vector<double>& Sorted, double Range) {
    const double Spread = Quantile(Sorted, 0.75) - Quantile(Sorted, 0.25);
    const double Width = 2 * Spread / std::cbrt(static_cast<double>(Sorted.size()));
    const double Bins = std::ceil(Range / Width);
    if (Spread == 0 || Bins < FewestBins)
        return {Sorted.front(), Range / FewestBins, FewestBins};
    if (Bins > MostBins)
        return {Sorted.front(), Range / MostBins, MostBins};
    return {Sorted.front(), Width, static_cast<std::size_t>(Bins)};
}

// The step the values were read in, as a chronograph rounds them: the smallest gap between two
// neighbouring distinct values.
double ReadingStep(const std::vector<double>& Sorted) {
    double Step = 0;
    for (std::size_t i = 1; i < Sorted.size(); ++i) {
        const double Gap = Sorted[i] - Sorted[i - 1];
        if (Gap > 0 && (Step == 0 || Gap < Step))
            Step = Gap;
    }
    return Step;
}

struct TFarSplit {
    std::vector<double> Bulk;
    std::size_t Below = 0;
    std::size_t Above = 0;
};

// Quartiles that coincide mark no value as far.
TFarSplit SplitFar(std::vector<double> Sorted) {
    if (Sorted.size() < FewestJudged)
        return {std::move(Sorted)};
    const double Lower = Quantile(Sorted, 0.25), Upper = Quantile(Sorted, 0.75);
    const double Spread = Upper - Lower;
    if (!(Spread > 0 && std::isfinite(Spread)))
        return {std::move(Sorted)};
    const double Reach = FarSpreads * std::max(Spread, ReadingStep(Sorted));
    const auto First = std::ranges::lower_bound(Sorted, Lower - Reach);
    const auto End = std::ranges::upper_bound(Sorted, Upper + Reach);
    return {{First, End},
            static_cast<std::size_t>(First - Sorted.begin()),
            static_cast<std::size_t>(Sorted.end() - End)};
}

// Bins of a whole number of reading steps, with their edges halfway between two readings, each
// take in as many possible readings: otherwise neighbouring bins catch one reading more or less
// in turn, and rounded speeds show as a comb. Readings of fewer than five levels get empty bins
// either side, so that there are still five.
TBinLayout AlignedToReadings(const TBinLayout& Layout, double Range, double Step) {
    // A quotient that rounding took a hair above a whole number still counts as that number.
    const auto Whole = [](double Quotient) { return std::ceil(Quotient * (1 - 1e-9)); };
    TBinLayout Aligned{Layout.Start - Step / 2, Whole(Layout.Width / Step) * Step, 0};
    double Bins = Whole((Range + Step) / Aligned.Width);
    if (Bins > MostBins) {
        Aligned.Width += Step;
        Bins = Whole((Range + Step) / Aligned.Width);
    }
    const double Missing = std::max(0.0, static_cast<double>(FewestBins) - Bins);
    Aligned.Start -= std::floor(Missing / 2) * Aligned.Width;
    Aligned.Bins = static_cast<std::size_t>(Bins + Missing);
    return Aligned;
}

// Values past the last bin, such as the maximum where the range is a whole number of widths,
// count in the last bin; so does a value whose position is not a number, which a range beyond
// the largest double gives.
std::size_t BinOf(const THistogram& Histogram, double Value) {
    const double Bin = std::floor((Value - Histogram.Start) / Histogram.Width);
    const std::size_t Last = Histogram.Counts.size() - 1;
    return Bin < static_cast<double>(Last) ? static_cast<std::size_t>(Bin) : Last;
}

// Also rejects values too far apart for their deviation to be a number.
THistogram BinSorted(const std::vector<double>& Sorted) {
    const TSampleSummary Summary = Summarize(Sorted);
    THistogram Histogram;
    Histogram.Mean = Summary.Mean;
    Histogram.StandardDeviation = Summary.StandardDeviation.value_or(0);
    if (Summary.ExtremeSpread == 0) {
        Histogram.Start = Sorted.front() - 2.5;
        Histogram.Width = 1;
        Histogram.Counts = {0, 0, Sorted.size(), 0, 0};
        return Histogram;
    }
    TBinLayout Layout = LayOut(Sorted, Summary.ExtremeSpread);
    const double Step = ReadingStep(Sorted);
    if (Layout.Width / Step < ReadingsPerBinAligned) {
        Layout = AlignedToReadings(Layout, Summary.ExtremeSpread, Step);
        Histogram.Step = Step;
    }
    Histogram.Start = Layout.Start;
    Histogram.Width = Layout.Width;
    Histogram.Counts.assign(Layout.Bins, 0);
    for (const double Value : Sorted)
        ++Histogram.Counts[BinOf(Histogram, Value)];
    return Histogram;
}

} // namespace

THistogram BinValues(std::span<const double> Values) {
    if (Values.empty())
        throw EStatisticsError("A histogram needs at least one value");
    RequireFiniteSpeeds(Values);
    std::vector<double> Sorted(Values.begin(), Values.end());
    std::ranges::sort(Sorted);
    const double Least = Sorted.front(), Most = Sorted.back();
    TFarSplit Split = SplitFar(std::move(Sorted));
    THistogram Histogram = BinSorted(Split.Bulk);
    Histogram.Least = Least;
    Histogram.Most = Most;
    Histogram.Below = Split.Below;
    Histogram.Above = Split.Above;
    return Histogram;
}

std::size_t THistogram::Total() const {
    return std::accumulate(Counts.begin(), Counts.end(), std::size_t{0});
}

double THistogram::BinStart(std::size_t Bin) const {
    return Start + static_cast<double>(Bin) * Width;
}

double THistogram::BinCentre(std::size_t Bin) const {
    return BinStart(Bin) + Width / 2;
}

double THistogram::ExpectedCount(double Value) const {
    if (StandardDeviation == 0)
        return 0;
    const double Z = (Value - Mean) / StandardDeviation;
    const double Density = std::exp(-Z * Z / 2) * std::numbers::inv_sqrtpi / std::numbers::sqrt2;
    return static_cast<double>(Total()) * Width * Density / StandardDeviation;
}
