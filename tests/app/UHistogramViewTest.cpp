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

// A bin is named by the first and the last reading it can hold, so that no reading seems to
// belong to two: bins of 0.4 from 169.95 hold 170.0 to 170.3, 170.4 to 170.7... Equal values keep
// no step, and their bins hold what the display shows, to hundredths; a misread 9999 stands
// apart at its own place, its bar named by where the bins end.
TEST(HistogramView, NamesEachBarByTheReadingsItHolds) {
    const TScopedFormatSettings Point{"."};
    std::vector<double> Misread = Readings();
    Misread.push_back(9999);
    const struct {
        std::vector<double> Values;
        double X;
        const char* Hint;
    } Rows[] = {{Readings(), 170.15, "170.00 to 170.30 m/s: 4 shots"},
                {Readings(), 170.55, "170.40 to 170.70 m/s: 4 shots"},
                {Readings(), 171.75, "171.60 to 171.90 m/s: 4 shots"},
                {{175.5, 175.5}, 175.5, "175.00 to 175.99 m/s: 2 shots"},
                {{175.5, 175.5}, 177.5, "177.00 to 178.00 m/s: 0 shots"},
                {Misread, 9999, "Above 171.90 m/s: 1 shots"},
                {Misread, 171.75, "171.60 to 171.90 m/s: 4 shots"}};
    for (const auto& Row : Rows)
        EXPECT_EQ(HistogramHint(HistogramOf(Row.Values), Row.X, "m/s", English), Row.Hint);

    TNiceChart Chart;
    const auto Resume = Chart.SuspendedUpdates();
    ShowHistogram(Chart, HistogramOf(Misread));
    const std::vector<TXYInfo>& Bars = Chart.GetSeries(0).Values();
    ASSERT_EQ(Bars.size(), 6u);
    EXPECT_EQ(Bars.back().X, 9999);
    EXPECT_EQ(Bars.back().Y, 1);
}

} // namespace
