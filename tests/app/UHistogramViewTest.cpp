#include "app/UHistogramView.h"

#include "chart/NiceChart.h"
#include "tests/support/ScopedFormatSettings.h"

#include <gtest/gtest.h>

namespace {

const TTranslate English = [](const std::string& Text) { return Text; };

// 170.0, 170.1, ... 171.9: five bins of 0.4 from 169.95, four readings each.
std::vector<double> Readings() {
    std::vector<double> Speeds;
    for (int i = 0; i < 20; ++i)
        Speeds.push_back(170 + i / 10.0);
    return Speeds;
}

TEST(HistogramView, ChartsEachBinAtItsRoundedCentreWithTheCurveOneBinBeyond) {
    const TScopedFormatSettings Point{"."};
    const THistogramView View = HistogramOf(Readings());
    EXPECT_EQ(View.Xs, (std::vector<double>{170.15, 170.55, 170.95, 171.35, 171.75}));
    EXPECT_EQ(HistogramHint(View, 170.55, "m/s", English), "170.35 to 170.75 m/s: 4 shots");
    EXPECT_EQ(HistogramHint(View, 169.75, "m/s", English), "") << "the curve's own place";

    TNiceChart Chart;
    const auto Resume = Chart.SuspendedUpdates();
    ShowHistogram(Chart, View);
    ASSERT_EQ(Chart.SeriesCount(), 2);
    EXPECT_EQ(Chart.GetSeries(0).Kind(), skBar);
    EXPECT_EQ(Chart.GetSeries(0).Values().size(), 5u);
    EXPECT_EQ(Chart.GetSeries(0).Values()[2].Y, 4);
    const std::vector<TXYInfo>& Curve = Chart.GetSeries(1).Values();
    ASSERT_EQ(Curve.size(), 7u);
    EXPECT_EQ(Curve.front().X, 169.75);
    EXPECT_EQ(Curve.back().X, 172.15);
    EXPECT_DOUBLE_EQ(Curve[3].Y, View.Bins.ExpectedCount(170.95));

    ShowHistogram(Chart, HistogramOf(std::vector<double>{175.5}));
    EXPECT_EQ(Chart.SeriesCount(), 1) << "no curve without a deviation";
}

} // namespace
