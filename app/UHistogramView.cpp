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

double Rounded(double Value, int Decimals) {
    const double Scale = std::pow(10.0, Decimals);
    return std::round(Value * Scale) / Scale;
}

// Also of the empty bins either side, -1 and Counts.size().
double CentreOf(const THistogram& Bins, long Bin) {
    return Bins.BinCentre(0) + static_cast<double>(Bin) * Bins.Width;
}

// Where bin Bin, or an empty one either side, stands on the chart.
double ChartedX(const THistogramView& View, long Bin) {
    return Rounded(CentreOf(View.Bins, Bin), View.Decimals);
}

std::string Edge(double Value, int Decimals) {
    return platform::FormatFloat("0." + std::string(static_cast<std::size_t>(Decimals), '#'),
                                 Value);
}

} // namespace

THistogramView HistogramOf(std::span<const double> Values) {
    THistogramView View{BinValues(Values), 0, {}};
    View.Decimals = DecimalsFor(View.Bins.Width);
    for (std::size_t Bin = 0; Bin < View.Bins.Counts.size(); ++Bin)
        View.Xs.push_back(ChartedX(View, static_cast<long>(Bin)));
    return View;
}

void ShowHistogram(TNiceChart& Chart, const THistogramView& View) {
    Chart.ClearSeries();
    TNiceSeries& Bars = Chart.AddSeries(skBar);
    for (std::size_t Bin = 0; Bin < View.Xs.size(); ++Bin)
        Bars.AddValue(View.Xs[Bin], static_cast<double>(View.Bins.Counts[Bin]), "");
    const THistogram& Bins = View.Bins;
    if (Bins.StandardDeviation <= 0)
        return;
    TNiceSeries& Curve = Chart.AddSeries(skSmooth);
    const auto Count = static_cast<long>(View.Xs.size());
    for (long Bin = -1; Bin <= Count; ++Bin)
        Curve.AddValue(ChartedX(View, Bin), Bins.ExpectedCount(CentreOf(Bins, Bin)), "");
}

std::string HistogramHint(const THistogramView& View, double X, const std::string& Unit,
                          const TTranslate& Translate) {
    const auto At = std::find(View.Xs.begin(), View.Xs.end(), X);
    if (At == View.Xs.end())
        return {};
    const std::size_t Bin = static_cast<std::size_t>(At - View.Xs.begin());
    const int Decimals = View.Decimals + 1;
    return FillPlaceholders(Translate("%s to %s %s: %s shots"),
                            {Edge(View.Bins.BinStart(Bin), Decimals),
                             Edge(View.Bins.BinStart(Bin + 1), Decimals), Unit,
                             std::to_string(View.Bins.Counts[Bin])});
}
