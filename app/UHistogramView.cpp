#include "app/UHistogramView.h"

#include "analysis/SeriesComparison.h"
#include "chart/NiceChart.h"
#include "platform/NumberFormats.h"

#include <algorithm>
#include <cmath>

namespace {

// Decimals enough that bins a Width apart never round to the same label.
int DecimalsFor(double Width) {
    return std::clamp(static_cast<int>(std::ceil(-std::log10(Width))) + 1, 0, 6);
}

// A far value near the largest double stays as it is rather than overflow.
double Rounded(double Value, int Decimals) {
    const double Scale = std::pow(10.0, Decimals);
    const double Scaled = Value * Scale;
    return std::isfinite(Scaled) ? std::round(Scaled) / Scale : Value;
}

// Also of the empty bins either side, -1 and Counts.size().
double CentreOf(const THistogram& Bins, long Bin) {
    return Bins.BinCentre(0) + static_cast<double>(Bin) * Bins.Width;
}

// Where bin Bin, or an empty one either side, stands on the chart.
double ChartedX(const THistogramView& View, long Bin) {
    return Rounded(CentreOf(View.Bins, Bin), View.Decimals);
}

// Readings of an unknown step are taken as the display shows them, to hundredths.
constexpr double Hundredths = 100;
constexpr int DisplayDecimals = 2;

// Value on the grid of hundredths, where a multiplication left it a hair off one.
double OnHundredths(double Value) {
    const double Scaled = Value * Hundredths;
    const double Whole = std::round(Scaled);
    return std::abs(Scaled - Whole) < 1e-6 ? Whole : Scaled;
}

// A bin's edges lie half a step beyond the readings it holds; the last bin also holds its end.
double FirstReading(const THistogram& Bins, std::size_t Bin) {
    const double Edge = Bins.BinStart(Bin);
    return Bins.Step > 0 ? Edge + Bins.Step / 2 : std::ceil(OnHundredths(Edge)) / Hundredths;
}

double LastReading(const THistogram& Bins, std::size_t Bin) {
    const double Edge = Bins.BinStart(Bin + 1);
    if (Bins.Step > 0)
        return Edge - Bins.Step / 2;
    const double Grid = OnHundredths(Edge);
    return (Bin + 1 == Bins.Counts.size() ? std::floor(Grid) : std::ceil(Grid) - 1) / Hundredths;
}

// The readings' own decimals, and at least the display's.
std::string Reading(const THistogram& Bins, double Value) {
    const int Decimals =
        Bins.Step > 0 ? std::clamp(static_cast<int>(std::ceil(-std::log10(Bins.Step) - 1e-9)),
                                   DisplayDecimals, 6)
                      : DisplayDecimals;
    return platform::FormatDecimals(Value, Decimals);
}

std::string ShotsText(const char* Pattern, const std::vector<std::string>& Readings,
                      const std::string& Unit, std::size_t Shots, const TTranslate& Translate) {
    std::vector<std::string> Values = Readings;
    Values.push_back(Unit);
    Values.push_back(std::to_string(Shots));
    return FillPlaceholders(Translate(Pattern), Values);
}

} // namespace

THistogramView HistogramOf(std::span<const double> Values) {
    THistogramView View{BinValues(Values), 0, {}};
    View.Decimals = DecimalsFor(View.Bins.Width);
    const auto Count = static_cast<long>(View.Bins.Counts.size());
    for (long Bin = 0; Bin < Count; ++Bin)
        View.Xs.push_back(ChartedX(View, Bin));
    View.BelowX = std::min(Rounded(View.Bins.Least, View.Decimals), ChartedX(View, -2));
    View.AboveX = std::max(Rounded(View.Bins.Most, View.Decimals), ChartedX(View, Count + 1));
    return View;
}

void ShowHistogram(TNiceChart& Chart, const THistogramView& View) {
    Chart.ClearSeries();
    TNiceSeries& Bars = Chart.AddSeries(skBar);
    const THistogram& Bins = View.Bins;
    if (Bins.Below > 0)
        Bars.AddValue(View.BelowX, static_cast<double>(Bins.Below), "");
    for (std::size_t Bin = 0; Bin < View.Xs.size(); ++Bin)
        Bars.AddValue(View.Xs[Bin], static_cast<double>(Bins.Counts[Bin]), "");
    if (Bins.Above > 0)
        Bars.AddValue(View.AboveX, static_cast<double>(Bins.Above), "");
    if (Bins.StandardDeviation <= 0)
        return;
    TNiceSeries& Curve = Chart.AddSeries(skSmooth);
    const auto Count = static_cast<long>(View.Xs.size());
    for (long Bin = -1; Bin <= Count; ++Bin)
        Curve.AddValue(ChartedX(View, Bin), Bins.ExpectedCount(CentreOf(Bins, Bin)), "");
}

std::string HistogramHint(const THistogramView& View, double X, const std::string& Unit,
                          const TTranslate& Translate) {
    const THistogram& Bins = View.Bins;
    if (Bins.Below > 0 && X == View.BelowX)
        return ShotsText("Below %s %s: %s shots", {Reading(Bins, FirstReading(Bins, 0))}, Unit,
                         Bins.Below, Translate);
    const std::size_t Last = Bins.Counts.size() - 1;
    if (Bins.Above > 0 && X == View.AboveX)
        return ShotsText("Above %s %s: %s shots", {Reading(Bins, LastReading(Bins, Last))}, Unit,
                         Bins.Above, Translate);
    const auto At = std::find(View.Xs.begin(), View.Xs.end(), X);
    if (At == View.Xs.end())
        return {};
    const auto Bin = static_cast<std::size_t>(At - View.Xs.begin());
    return ShotsText(
        "%s to %s %s: %s shots",
        {Reading(Bins, FirstReading(Bins, Bin)), Reading(Bins, LastReading(Bins, Bin))}, Unit,
        Bins.Counts[Bin], Translate);
}
