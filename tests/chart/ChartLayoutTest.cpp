#include "chart/NiceChart.h"
#include "chart/TextMetrics.h"
#include "tests/support/ScopedFormatSettings.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

class ChartLayoutTest : public testing::Test {
protected:
    ChartLayoutTest() {
        Chart.SetShowTitle(false);
        Chart.SetShowLegend(false);
    }

    int LineHeight() { return TTextMetrics(Chart.AxisFont(), &Chart).TextHeight(); }

    // The chart's height for a plot of PlotHeight pixels without a title: the margins and the
    // room for the X labels and the X title.
    void LayOutWithPlotHeight(int PlotHeight, int Width = 400) {
        Chart.resize(Width, PlotHeight + 2 * 20 + 2 * LineHeight() + 14);
        Chart.ResumeUpdates();
        ASSERT_EQ(Chart.Layout().PlotRect().Height(), PlotHeight);
    }

    void AddYs(const std::vector<double>& Ys, TSeriesKind Kind = skLine) {
        TNiceSeries& Series = Chart.AddSeries(Kind);
        for (std::size_t i = 0; i < Ys.size(); ++i)
            Series.AddValue(double(i + 1), Ys[i], "");
    }

    std::vector<double> TickValues(const std::vector<TAxisInfo>& Ticks) {
        std::vector<double> Values;
        for (const TAxisInfo& Tick : Ticks)
            Values.push_back(Tick.Value);
        return Values;
    }

    std::vector<std::string> Captions(const std::vector<TAxisInfo>& Ticks) {
        std::vector<std::string> Texts;
        for (const TAxisInfo& Tick : Ticks)
            Texts.push_back(Tick.Caption);
        return Texts;
    }

    const TScopedFormatSettings Point{"."};
    TNiceChart Chart;
};

TEST_F(ChartLayoutTest, SevenTicksOf3On300Pixels) {
    Chart.SuspendUpdates();
    AddYs({3.2, 17.9});
    LayOutWithPlotHeight(300);
    const TChartLayout& Layout = Chart.Layout();
    EXPECT_EQ(TickValues(Layout.YAxis()), (std::vector<double>{3, 6, 9, 12, 15, 18, 21}));
    EXPECT_DOUBLE_EQ(Layout.YMapping().Scale, 300.0 / 18);
    EXPECT_EQ(Layout.YMapping().Origin, Layout.PlotRect().Bottom);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Layout.YAxis()[i].Y, Layout.PlotRect().Bottom - 50 * i);
        EXPECT_EQ(Layout.YAxis()[i].X, Layout.PlotRect().Left);
    }
    EXPECT_EQ(Layout.ZeroLineY(), Layout.PlotRect().Bottom);
    EXPECT_EQ(Chart.GetSeries(0).Values()[1].ScreenY,
              Layout.PlotRect().Bottom - Nearest((17.9 - 3) * 300 / 18));
}

TEST_F(ChartLayoutTest, ANegativeRangeGetsItsZeroLine) {
    Chart.SuspendUpdates();
    AddYs({-3.7, 12.1});
    LayOutWithPlotHeight(300);
    const TChartLayout& Layout = Chart.Layout();
    EXPECT_EQ(Captions(Layout.YAxis()),
              (std::vector<std::string>{"-7", "-3.5", "0", "3.5", "7", "10.5", "14"}));
    EXPECT_EQ(Layout.ZeroLineY(), Layout.PlotRect().Bottom - 100);
    EXPECT_EQ(Layout.YAxis()[2].Y, Layout.ZeroLineY());
}

TEST_F(ChartLayoutTest, SmallValuesAndEqualValues) {
    Chart.SuspendUpdates();
    AddYs({0.12, 0.97});
    LayOutWithPlotHeight(200);
    EXPECT_EQ(Captions(Chart.Layout().YAxis()),
              (std::vector<std::string>{"0", "0.25", "0.5", "0.75", "1"}));
    EXPECT_EQ(Chart.Layout().ZeroLineY(), Chart.Layout().PlotRect().Bottom);

    Chart.ClearSeries();
    AddYs({5, 5, 5});
    LayOutWithPlotHeight(300);
    EXPECT_EQ(TickValues(Chart.Layout().YAxis()), (std::vector<double>{2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(ChartLayoutTest, TheYLabelsMakeRoomForThemselves) {
    Chart.SuspendUpdates();
    AddYs({1000, 1750});
    Chart.SetAxisYScale(1000);
    LayOutWithPlotHeight(300);
    const TChartLayout& Layout = Chart.Layout();
    EXPECT_EQ(Layout.YAxis()[1].Caption, "1.05");
    int Widest = 0;
    for (const TAxisInfo& Tick : Layout.YAxis())
        Widest = std::max(Widest, TTextMetrics(Chart.AxisFont(), &Chart).TextWidth(Tick.Caption));
    EXPECT_EQ(Layout.PlotRect().Left, 20 + LineHeight() + 10 + Widest + 4);
    EXPECT_EQ(Layout.PlotRect().Top, 20);
    EXPECT_EQ(Layout.PlotRect().Right, 400 - 20);
}

TEST_F(ChartLayoutTest, NumericXAxis) {
    Chart.SuspendUpdates();
    TNiceSeries& Series = Chart.AddSeries(skLine);
    Series.AddValue(0.5, 1, "");
    Series.AddValue(7.25, 2, "");
    Chart.resize(400, 300);
    Chart.ResumeUpdates();
    const TChartLayout& Layout = Chart.Layout();
    const int W = Layout.PlotRect().Width();
    ASSERT_EQ(int(Layout.XAxis().size()), W / 50 + 1);
    const TAxisMapping& X = Layout.XMapping();
    EXPECT_EQ(X.Origin, Layout.PlotRect().Left);
    EXPECT_LE(X.Start, 0.5);
    EXPECT_DOUBLE_EQ(X.Scale * (Layout.XAxis().back().Value - X.Start), W);
    for (const TXYInfo& Value : Series.Values()) {
        EXPECT_EQ(Value.ScreenX, Nearest((Value.X - X.Start) * X.Scale) + X.Origin);
        EXPECT_EQ(
            Value.HitRect,
            (TRect{Value.ScreenX - Layout.MarkerSize(), Value.ScreenY - Layout.MarkerSize(),
                   Value.ScreenX + Layout.MarkerSize(), Value.ScreenY + Layout.MarkerSize()}));
    }
}

TEST_F(ChartLayoutTest, OnePerValueSpreadsTheDistinctXs) {
    Chart.SetAxisXOnePerValue(true);
    Chart.SuspendUpdates();
    TNiceSeries& Series = Chart.AddSeries(skLine);
    for (const double X : {5.0, 2.0, 1.0, 2.0})
        Series.AddValue(X, X, "");
    Chart.ResumeUpdates();
    const TChartLayout& Layout = Chart.Layout();
    const TRect& Plot = Layout.PlotRect();
    EXPECT_EQ(Captions(Layout.XAxis()), (std::vector<std::string>{"1", "2", "5"}));
    EXPECT_EQ(Layout.XAxis()[0].X, Plot.Left);
    EXPECT_EQ(Layout.XAxis()[1].X, Plot.Left + Nearest(Plot.Width() / 2.0));
    EXPECT_EQ(Layout.XAxis()[2].X, Plot.Right);
    EXPECT_EQ(Series.Values()[0].ScreenX, Plot.Right);
    EXPECT_EQ(Series.Values()[1].ScreenX, Series.Values()[3].ScreenX);
}

TEST_F(ChartLayoutTest, ALoneXSitsInTheMiddle) {
    Chart.SetAxisXOnePerValue(true);
    Chart.SuspendUpdates();
    TNiceSeries& Series = Chart.AddSeries(skLine);
    Series.AddValue(1, 175.5, "");
    Series.AddValue(1, 176.5, "");
    Chart.ResumeUpdates();
    const TChartLayout& Layout = Chart.Layout();
    ASSERT_EQ(Layout.XAxis().size(), 1U);
    const int Middle = Layout.PlotRect().Left + Nearest(Layout.PlotRect().Width() / 2.0);
    EXPECT_EQ(Layout.XAxis()[0].X, Middle);
    EXPECT_EQ(Series.Values()[0].ScreenX, Middle);
}

TEST_F(ChartLayoutTest, BarsShareTheirSlot) {
    Chart.SuspendUpdates();
    AddYs({4, -2, 3}, skBar);
    AddYs({1, 2, 3}, skBar);
    Chart.ResumeUpdates();
    EXPECT_TRUE(Chart.AxisXOnePerValue());
    // Three slots of 90 pixels: cut into three parts of 30, bars of 24.
    Chart.resize(Chart.Layout().PlotRect().Left + 3 * 90 + 20, Chart.height());
    Chart.ResumeUpdates();
    const TChartLayout& Layout = Chart.Layout();
    ASSERT_EQ(Layout.PlotRect().Width(), 270);
    EXPECT_EQ(Layout.BarSlotWidth(), 90);
    EXPECT_EQ(Layout.BarCount(), 2);
    EXPECT_EQ(Layout.XAxis()[0].X, Layout.PlotRect().Left + 45);
    EXPECT_EQ(Layout.XAxis()[2].X, Layout.PlotRect().Left + 225);
    const TXYInfo& First = Chart.GetSeries(0).Values()[0];
    const TXYInfo& Negative = Chart.GetSeries(0).Values()[1];
    const TXYInfo& Second = Chart.GetSeries(1).Values()[0];
    EXPECT_EQ(First.HitRect,
              (TRect{First.ScreenX - 27, First.ScreenY, First.ScreenX - 3, Layout.ZeroLineY()}));
    EXPECT_EQ(Negative.HitRect, (TRect{Negative.ScreenX - 27, Layout.ZeroLineY(),
                                       Negative.ScreenX - 3, Negative.ScreenY}));
    EXPECT_EQ(Second.HitRect.Left, Second.ScreenX + 3);
    EXPECT_EQ(Second.HitRect.Width(), 24);
}

// The legend runs in rows between the title and the plot, so that the plot keeps the chart's
// width: an entry that does not fit the rest of a row starts the next, below the row's tallest.
TEST_F(ChartLayoutTest, TheLegendRunsInRowsAboveThePlot) {
    Chart.SetShowLegend(true);
    Chart.SetShowTitle(true);
    Chart.SuspendUpdates();
    TNiceSeries& Tall = Chart.AddSeries(skLine);
    Tall.SetCaption("  one\r\ntwo  \nthree\r\n ");
    Tall.AddValue(1, 1, "");
    Chart.AddSeries(skBar).SetCaption("x");
    const std::string Wide(30, 'w');
    Chart.AddSeries(skLine).SetCaption(Wide);
    Chart.resize(400, 400);
    Chart.ResumeUpdates();
    const TChartLayout& Layout = Chart.Layout();
    const TTextMetrics Metrics(Chart.AxisFont(), &Chart);
    const int lh = Metrics.TextHeight(), TallHeight = std::max(20, 3 * lh);
    const int Second = 10 + 22 + Metrics.TextWidth("three") + 16;
    ASSERT_GT(Second + 22 + Metrics.TextWidth("x") + 16 + 22 + Metrics.TextWidth(Wide) + 10, 360);
    EXPECT_EQ(CaptionLines(Tall.Caption()), (std::vector<std::string>{"one", "two", "three"}));
    const TRect& Legend = Layout.LegendRect();
    EXPECT_EQ(Legend.Top, Layout.TitleRect().Bottom + 10);
    EXPECT_EQ(Layout.PlotRect().Top, Legend.Bottom + 14);
    EXPECT_EQ(Layout.PlotRect().Right, 400 - 20);
    EXPECT_EQ(Legend.Height(), 10 + TallHeight + 2 + 20 + 10);
    EXPECT_EQ(Legend.Width(), 10 + 22 + Metrics.TextWidth(Wide) + 10);
    // Each symbol is 20 pixels square; its caption starts 2 pixels right of it, the lines
    // centred on the symbol when they are fewer than it is high.
    const QPoint Symbols[] = {{10, 10}, {Second, 10}, {10, 10 + TallHeight + 2}};
    for (int i = 0; i < 3; ++i) {
        const QPoint At = Symbols[i] + QPoint(Legend.Left, Legend.Top);
        const TLegendEntry& Entry = Layout.LegendEntries()[std::size_t(i)];
        EXPECT_EQ(Entry.Symbol, (TRect{At.x(), At.y(), At.x() + 20, At.y() + 20})) << i;
        EXPECT_EQ(Entry.Lines[0].At, At + QPoint(22, (20 - lh) / 2)) << i;
        EXPECT_EQ(Chart.GetSeries(i).LegendTop, Symbols[i].y());
    }
    EXPECT_EQ(Layout.LegendEntries()[0].Lines[2].At.y(), Legend.Top + 10 + (20 - lh) / 2 + 2 * lh);
}

// Slots are labelled at a round step that keeps their labels apart: every one where they fit,
// else shot numbers at the multiples of 2, 5, 10, 20, 50, ... and other values (bins) every
// so many from the first.
TEST_F(ChartLayoutTest, SlotLabelsRunAtRoundSteps) {
    Chart.SetAxisXOnePerValue(true);
    const struct {
        int Width;
        double First, Step;
        int Count;
        TSeriesKind Kind;
        std::vector<std::string> Labels;
    } Cases[] = {
        {1000, 1, 1, 30, skLine, {"1", "2", "3"}},
        {220, 1, 1, 30, skLine, {"5", "10", "15", "20", "25", "30"}},
        {800, 1, 1, 1000, skLine, {"50", "100", "150"}},
        {700, 170.15, 0.4, 20, skBar, {"170.15", "170.95", "171.75"}},
    };
    for (const auto& Case : Cases) {
        Chart.SuspendUpdates();
        Chart.ClearSeries();
        TNiceSeries& Series = Chart.AddSeries(Case.Kind);
        for (int i = 0; i < Case.Count; ++i)
            Series.AddValue(Case.First + i * Case.Step, 170 + i % 7, "");
        Chart.resize(Case.Width, 300);
        Chart.ResumeUpdates();
        const std::vector<std::string> Labels = Captions(Chart.Layout().XLabels());
        ASSERT_GE(Labels.size(), Case.Labels.size());
        EXPECT_EQ(std::vector(Labels.begin(), Labels.begin() + long(Case.Labels.size())),
                  Case.Labels)
            << Case.Width << " " << Case.Count;
    }
}

TEST_F(ChartLayoutTest, TheTitleSitsAboveThePlot) {
    Chart.SetShowTitle(true);
    Chart.SuspendUpdates();
    AddYs({1, 2});
    Chart.resize(400, 300);
    Chart.ResumeUpdates();
    const TChartLayout& Layout = Chart.Layout();
    const TTextMetrics Metrics(Chart.TitleFont(), &Chart);
    const int OneLine = Metrics.WrappedTextRect({0, 0, 1000, 1}, "Chart Title").Height();
    EXPECT_EQ(Layout.TitleRect(),
              (TRect{Layout.PlotRect().Left, 20, Layout.PlotRect().Right, 20 + OneLine}));
    EXPECT_EQ(Layout.PlotRect().Top, 20 + OneLine + 10);

    // The title fits the width between the margins on one line, but not the width that the Y
    // labels leave it: it gets the room of two lines, and the plot moves down.
    const std::string Title = "Speeds and energies of the series shot";
    ASSERT_LT(Metrics.TextWidth(Title), 400 - 2 * 20);
    Chart.SetTitle(Title);
    ASSERT_GT(Metrics.TextWidth(Title), Layout.TitleRect().Width());
    EXPECT_EQ(Layout.TitleRect().Height(),
              Metrics.WrappedTextRect(Layout.TitleRect(), Title).Height());
    EXPECT_GT(Layout.TitleRect().Height(), OneLine);
    EXPECT_EQ(Layout.PlotRect().Top, Layout.TitleRect().Bottom + 10);
}

TEST_F(ChartLayoutTest, SmoothSeriesAreInterpolatedThroughTheirPixels) {
    Chart.SuspendUpdates();
    AddYs({1, 3, 2, 5}, skSmooth);
    Chart.ResumeUpdates();
    TNiceSeries& Series = Chart.GetSeries(0);
    TBSpline& Spline = Series.Spline();
    ASSERT_EQ(Spline.NumberOfPoints(), 4);
    EXPECT_TRUE(Spline.Interpolated());
    EXPECT_EQ(Spline.Fragments(), 80);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Spline.FGetPoint(i + 1), (TFloatPoint{float(Series.Values()[i].ScreenX),
                                                        float(Series.Values()[i].ScreenY)}));
    }
    Chart.ResumeUpdates();
    EXPECT_EQ(Spline.NumberOfPoints(), 4);
}

TEST_F(ChartLayoutTest, MarkerSizeFollowsTheWidth) {
    const struct { int Width, MarkerSize; } Cases[] = {{100, 1}, {625, 2}, {771, 3}, {875, 4}};
    for (const auto& Case : Cases) {
        Chart.resize(Case.Width, 300);
        Chart.ResumeUpdates();
        EXPECT_EQ(Chart.Layout().MarkerSize(), Case.MarkerSize) << Case.Width;
    }
}

TEST_F(ChartLayoutTest, ValuesThatAreNoNumbersNeitherHangNorCrash) {
    const double Infinity = std::numeric_limits<double>::infinity();
    QImage Image(Chart.size(), QImage::Format_RGB32);
    for (const bool OnePerValue : {false, true}) {
        Chart.ClearSeries();
        Chart.SetAxisXOnePerValue(OnePerValue);
        TNiceSeries& Series = Chart.AddSeries(skLine);
        Series.AddValue(1, 175, "");
        Series.AddValue(2, Infinity, "");
        Series.AddValue(std::nan(""), 3, "");
        Series.AddValue(Infinity, std::nan(""), "");
        Chart.PaintTo(Image);
        EXPECT_FALSE(Chart.Layout().YAxis().empty());
    }
}

TEST_F(ChartLayoutTest, WithoutDataThereAreNoTicks) {
    Chart.ResumeUpdates();
    EXPECT_TRUE(Chart.Layout().YAxis().empty());
    EXPECT_FALSE(Chart.Layout().NoData());
    Chart.AddSeries(skLine);
    Chart.AddSeries(skBar);
    Chart.ResumeUpdates();
    EXPECT_TRUE(Chart.Layout().NoData());
    EXPECT_TRUE(Chart.Layout().XAxis().empty());
    EXPECT_TRUE(Chart.Layout().YAxis().empty());
    EXPECT_FALSE(Chart.AxisXOnePerValue());
}

// The band spans its values' markers from the plot's top to its bottom, with its first and last
// value written inside its edges; the guide line is cut off where it leaves the plot.
TEST_F(ChartLayoutTest, BandAndGuideLineFollowTheValuesTheyName) {
    struct TCase {
        bool OnePerValue;
        std::optional<TXBand> Band;
        std::optional<TValueLine> Line;
        bool BandPlaced;
        std::vector<std::string> Captions;
        bool LinePlaced;
    };
    const TCase Cases[] = {
        {true, TXBand{3, 6, "3", "6"}, std::nullopt, true, {"3", "6"}, false},
        {false, TXBand{3, 6, "3", "6"}, std::nullopt, true, {"3", "6"}, false},
        {true, TXBand{4, 4, "4", ""}, std::nullopt, true, {"4"}, false},
        {true, TXBand{3, 99, "3", "99"}, std::nullopt, false, {}, false},
        {true, std::nullopt, TValueLine{1, 1000, 10, -1000}, false, {}, true},
        {false, std::nullopt, TValueLine{1, 15, 10, 12}, false, {}, true},
        {true, std::nullopt, TValueLine{1, 1000, 10, 2000}, false, {}, false},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Band ? Case.Band->ToCaption : "line");
        Chart.SuspendUpdates();
        Chart.ClearSeries();
        AddYs({10, 12, 14, 11, 13, 15, 12, 10, 14, 13});
        Chart.SetAxisXOnePerValue(Case.OnePerValue);
        Chart.SetBand(Case.Band);
        Chart.SetGuideLine(Case.Line);
        LayOutWithPlotHeight(300);
        const TChartLayout& Layout = Chart.Layout();
        const TRect& Plot = Layout.PlotRect();
        const TOverlayDrawing& Drawn = Layout.Overlays();
        ASSERT_EQ(Drawn.Band.has_value(), Case.BandPlaced);
        std::vector<std::string> Captions;
        for (const TTextLine& Caption : Drawn.BandCaptions)
            Captions.push_back(Caption.Text);
        EXPECT_EQ(Captions, Case.Captions);
        if (Case.BandPlaced) {
            const TXYInfo& First = Chart.GetSeries(0).Values()[std::size_t(Case.Band->From) - 1];
            const TXYInfo& Last = Chart.GetSeries(0).Values()[std::size_t(Case.Band->To) - 1];
            EXPECT_EQ(*Drawn.Band, (TRect{First.HitRect.Left - 1, Plot.Top, Last.HitRect.Right + 2,
                                          Plot.Bottom}));
            EXPECT_GT(Drawn.BandCaptions[0].At.x(), Drawn.Band->Left);
        }
        ASSERT_EQ(Drawn.GuideLine.size(), Case.LinePlaced ? 2u : 0u);
        for (const QPoint End : Drawn.GuideLine) {
            EXPECT_GE(End.x(), Plot.Left);
            EXPECT_LT(End.x(), Plot.Right);
            EXPECT_GE(End.y(), Plot.Top);
            EXPECT_LT(End.y(), Plot.Bottom);
        }
    }
}

// A level band spans the plot's width between the rows of its values, cut off at the plot's top
// and bottom, and is not drawn where it lies wholly beyond them.
TEST_F(ChartLayoutTest, ALevelBandSpansThePlotBetweenItsValues) {
    AddYs({10, 12, 14, 11, 13, 15, 12, 10, 14, 13});
    const struct {
        TYBand Band;
        double Top, Bottom;
        bool Placed;
    } Rows[] = {{{11, 13}, 13, 11, true},
                {{13, 11}, 13, 11, true},
                {{12, 1000}, 1000, 12, true},
                {{100, 200}, 0, 0, false}};
    for (const auto& Row : Rows) {
        Chart.SetLevelBand(Row.Band);
        LayOutWithPlotHeight(300);
        const TChartLayout& Layout = Chart.Layout();
        const TRect& Plot = Layout.PlotRect();
        const std::optional<TRect>& Drawn = Layout.Overlays().LevelBand;
        ASSERT_EQ(Drawn.has_value(), Row.Placed) << Row.Band.From;
        if (!Row.Placed)
            continue;
        const auto ScreenY = [&Layout](double Y) {
            int X = 0, Pixel = 0;
            Layout.ValueToClient(1, Y, X, Pixel);
            return Pixel;
        };
        EXPECT_EQ(Drawn->Left, Plot.Left);
        EXPECT_EQ(Drawn->Right, Plot.Right);
        EXPECT_EQ(Drawn->Top, std::max(Plot.Top, ScreenY(Row.Top)));
        EXPECT_EQ(Drawn->Bottom, ScreenY(Row.Bottom));
    }
}

} // namespace
