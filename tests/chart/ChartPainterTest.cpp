#include "chart/ChartPalette.h"
#include "chart/NiceChart.h"
#include "chart/TextMetrics.h"

#include <QImage>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const QColor Black(0, 0, 0);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor Grey(0x80, 0x80, 0x80);

// A chart as the main window shows it: no title, no legend.
class ChartPainterTest : public testing::Test {
protected:
    ChartPainterTest() {
        Chart.SetShowTitle(false);
        Chart.SetShowLegend(false);
        Chart.resize(400, 300);
        Chart.SuspendUpdates();
    }

    TNiceSeries& AddSeries(TSeriesKind Kind, const std::vector<double>& Ys) {
        TNiceSeries& Series = Chart.AddSeries(Kind);
        for (std::size_t i = 0; i < Ys.size(); ++i)
            Series.AddValue(double(i + 1), Ys[i], "");
        return Series;
    }

    // The picture of the laid-out chart on an image that starts out magenta, so that any pixel
    // the chart leaves alone shows.
    QImage Render() {
        Chart.ResumeUpdates();
        QImage Image(Chart.size(), QImage::Format_RGB32);
        Image.fill(Qt::magenta);
        Chart.PaintTo(Image);
        return Image;
    }

    const TRect& Plot() const { return Chart.Layout().PlotRect(); }

    TNiceChart Chart;
};

TEST_F(ChartPainterTest, AxesAreThreePixelsWideWithTickMarksOnY) {
    AddSeries(skLine, {1, 100});
    const QImage Image = Render();
    const int Column = (Chart.Layout().XAxis()[0].X + Chart.Layout().XAxis()[1].X) / 2;
    const int Row = (Chart.Layout().YAxis()[0].Y + Chart.Layout().YAxis()[1].Y) / 2;
    for (int d = -1; d <= 1; ++d) {
        EXPECT_EQ(Image.pixelColor(Column, Plot().Bottom + d), Black) << d;
        EXPECT_EQ(Image.pixelColor(Plot().Left + d, Row), Black) << d;
    }
    EXPECT_EQ(Image.pixelColor(Column, Plot().Bottom - 2), White);
    EXPECT_EQ(Image.pixelColor(Column, Plot().Bottom + 2), White);
    EXPECT_EQ(Image.pixelColor(Plot().Left - 2, Row), White);
    EXPECT_EQ(Image.pixelColor(Plot().Left + 2, Row), White);
    for (const TAxisInfo& Tick : Chart.Layout().YAxis()) {
        EXPECT_EQ(Image.pixelColor(Plot().Left - 2, Tick.Y), Black);
        EXPECT_EQ(Image.pixelColor(Plot().Left - 3, Tick.Y), White);
    }
}

TEST_F(ChartPainterTest, GridLinesAreDottedGreyAndSolidBlackAtZero) {
    AddSeries(skLine, {-3, 12});
    const QImage Image = Render();
    const std::vector<TAxisInfo>& Ticks = Chart.Layout().YAxis();
    ASSERT_EQ(Ticks[1].Value, 0);
    ASSERT_EQ(Chart.Layout().ZeroLineY(), Ticks[1].Y);
    // Right of where the series crosses the zero row.
    for (int x = Plot().Left + Plot().Width() / 3; x < Plot().Right; ++x)
        ASSERT_EQ(Image.pixelColor(x, Ticks[1].Y), Black) << x;
    // Between two ticks, a grid line alternates grey and white pixels.
    const auto ExpectDotted = [&](QPoint From, QPoint Step, int Count) {
        for (int i = 0; i < Count; ++i) {
            const QColor Here = Image.pixelColor(From + i * Step);
            const QColor Next = Image.pixelColor(From + (i + 1) * Step);
            ASSERT_TRUE((Here == Grey && Next == White) || (Here == White && Next == Grey)) << i;
        }
    };
    const int GridColumn = Chart.Layout().XAxis()[1].X;
    ExpectDotted({Plot().Left + 2, Ticks[2].Y}, {1, 0}, GridColumn - Plot().Left - 3);
    ExpectDotted({GridColumn, Ticks[3].Y + 1}, {0, 1}, Ticks[2].Y - Ticks[3].Y - 3);

    Chart.SetShowYGrid(false);
    Chart.SetShowXGrid(false);
    const QImage Bare = Render();
    EXPECT_EQ(Bare.pixelColor(Plot().Right - 3, Ticks[1].Y), White);
    for (int y = Plot().Top + 2; y < Plot().Bottom - 2; ++y)
        ASSERT_EQ(Bare.pixelColor(GridColumn, y) == Grey, false) << y;
}

TEST_F(ChartPainterTest, NothingAboveThePlotWithoutTitleAndLegend) {
    Chart.SetAxisXOnePerValue(true);
    AddSeries(skLine, {175.2, 176.1, 174.8});
    const QImage Image = Render();
    EXPECT_EQ(Plot().Top, 20);
    EXPECT_EQ(Plot().Right, 400 - 20);
    // Above the plot only the top Y label reaches into the margin, by half its height.
    const int LabelRise = TTextMetrics(Chart.AxisFont(), &Chart).TextHeight() / 2;
    for (int y = 0; y < Plot().Top - 1; ++y) {
        for (int x = y < Plot().Top - LabelRise ? 0 : Plot().Left - 1; x < Image.width(); ++x)
            ASSERT_EQ(Image.pixelColor(x, y), White) << x << "," << y;
    }
    // Right of the plot only the last X label reaches into the margin.
    for (int x = Plot().Right + 2; x < Image.width(); ++x) {
        for (int y = 0; y < Plot().Bottom + 2; ++y)
            ASSERT_EQ(Image.pixelColor(x, y), White) << x << "," << y;
    }
}

TEST_F(ChartPainterTest, SeriesColoursFollowTheirIndex) {
    Chart.SetShowLegend(true);
    Chart.resize(400, 600);
    for (int i = 0; i < 15; ++i)
        AddSeries(skLine, {1, 2});
    const QRgb Standard[] = {0xFF0000, 0x0000FF, 0x008000, 0xFF00FF, 0x000080,
                             0x800000, 0x000000, 0x808000, 0x800080, 0x008080,
                             0x808080, 0x00FF00, 0xFFFF00, 0x00FFFF, 0xFF0000};
    const QRgb Soft[] = {0xFFC266, 0xDAFA5A, 0x4DC8F4, 0xF44DB5, 0xFF9F66,
                         0x5A4DF4, 0xFFE066, 0xFFFF66, 0xAE4DF4, 0xFE6368,
                         0x74F44D, 0x4D93F4, 0xC0C0C0, 0x808080, 0xFFC266};
    // The legend's sample line of each series, left of its marker.
    auto SampleColour = [&](const QImage& Image, int i) {
        const TRect& Symbol = Chart.Layout().LegendEntries()[std::size_t(i)].Symbol;
        return Image.pixel(Symbol.Left + 1, Symbol.Top + 10) & 0xFFFFFF;
    };
    QImage Image = Render();
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(SampleColour(Image, i), Standard[i]) << i;
    Chart.SetSoftColors(true);
    Image = Render();
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(SampleColour(Image, i), Soft[i]) << i;
    Chart.SetMonochrome(true);
    Image = Render();
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(SampleColour(Image, i), 0U) << i;
}

TEST_F(ChartPainterTest, MarkerShapesCycleWithTheSeries) {
    Chart.resize(2000, 400);
    Chart.SetShowXGrid(false);
    Chart.SetShowYGrid(false);
    Chart.SetAxisXOnePerValue(true);
    for (int i = 0; i < 6; ++i)
        Chart.AddSeries(skLine).AddValue(i + 1, 2 + i % 2, "");
    Chart.AddSeries(skLine).AddValue(0, 0, "");
    Chart.AddSeries(skLine).AddValue(7, 5, "");
    const QImage Image = Render();
    const int s = Chart.Layout().MarkerSize();
    ASSERT_EQ(s, 8);
    // Offsets from the centre that each shape covers with its outline and leaves white.
    const struct {
        std::vector<QPoint> Outline, Empty;
    } Shapes[] = {
        {{{-s, -s}, {s - 1, s - 1}, {-s, 0}}, {{0, 0}, {s, 0}}},
        {{{-s, 0}, {0, -s}}, {{0, 0}, {-s, -s}, {s - 1, s - 1}}},
        {{{0, -s}, {-s, s}, {s, s}}, {{0, 0}, {-s, -s}, {s, -s}}},
        {{{-s, -s}, {s, -s}, {0, s}}, {{0, 0}, {-s, s}, {s, s}}},
        {{{0, -s}, {s, 0}, {0, s}, {-s, 0}}, {{0, 0}, {-s + 2, -s + 2}, {s - 2, s - 2}}},
        {{{-s, -s}, {s - 1, s - 1}}, {{0, 0}}},
    };
    for (int i = 0; i < 6; ++i) {
        const TXYInfo& Value = Chart.GetSeries(i).Values()[0];
        const QColor Colour = SeriesColor(i, false, false);
        for (const QPoint Offset : Shapes[i].Outline) {
            EXPECT_EQ(Image.pixelColor(Value.ScreenX + Offset.x(), Value.ScreenY + Offset.y()),
                      Colour)
                << "series " << i << " at " << Offset.x() << "," << Offset.y();
        }
        for (const QPoint Offset : Shapes[i].Empty) {
            EXPECT_EQ(Image.pixelColor(Value.ScreenX + Offset.x(), Value.ScreenY + Offset.y()),
                      White)
                << "series " << i << " at " << Offset.x() << "," << Offset.y();
        }
    }
}

TEST_F(ChartPainterTest, MonochromeBarsShowTheirPatterns) {
    Chart.resize(2000, 400);
    Chart.SetMonochrome(true);
    for (int i = 0; i < 17; ++i)
        AddSeries(skBar, {5});
    const QImage Image = Render();
    const int Patterns[][2] = {{0, 1}, {1, 2}, {10, 11}, {15, 16}, {16, 1}};
    for (const auto& [Index, Number] : Patterns) {
        const QImage Pattern = BrushPattern(Number);
        const TRect& Bar = Chart.GetSeries(Index).Values()[0].HitRect;
        ASSERT_GT(Bar.Width(), 20);
        EXPECT_EQ(Image.pixelColor(Bar.Left, Bar.Top + 5), Black);
        EXPECT_EQ(Image.pixelColor(Bar.Right - 1, Bar.Bottom - 2), Black);
        for (int y = Bar.Top + 1; y < Bar.Bottom - 1; ++y) {
            for (int x = Bar.Left + 1; x < Bar.Right - 1; ++x) {
                ASSERT_EQ(Image.pixel(x, y),
                          Pattern.pixel(x % Pattern.width(), y % Pattern.height()))
                    << "series " << Index << " at " << x << "," << y;
            }
        }
    }
}

TEST(BrushPatternTest, PatternsFromTheirRows) {
    const struct {
        int Number, Row;
        const char* Pixels;
    } Rows[] = {
        {2, 3, "#.#.###."}, {5, 0, ".......#"},  {8, 0, ".#.#.###"},  {11, 0, "######"},
        {11, 1, "#..#.."},  {15, 7, "########"}, {16, 4, "........"}, {13, 2, "..#...#."},
    };
    for (const auto& Case : Rows) {
        const QImage Pattern = BrushPattern(Case.Number);
        const std::string Expected = Case.Pixels;
        ASSERT_EQ(Pattern.width(), int(Expected.size()));
        ASSERT_EQ(Pattern.height(), Pattern.width());
        std::string Pixels;
        for (int x = 0; x < Pattern.width(); ++x)
            Pixels += Pattern.pixelColor(x, Case.Row) == Black ? '#' : '.';
        EXPECT_EQ(Pixels, Expected) << "pattern " << Case.Number;
    }
}

TEST_F(ChartPainterTest, BarsLieUnderLinesAndTheLegendCastsAShadow) {
    Chart.SetShowLegend(true);
    AddSeries(skLine, {3.5, 3.5, 3.5});
    TNiceSeries& Bars = AddSeries(skBar, {6, 6, 6});
    const QImage Image = Render();
    const TXYInfo& Bar = Bars.Values()[1];
    const int LineRow = Chart.GetSeries(0).Values()[1].ScreenY;
    ASSERT_TRUE(LineRow > Bar.HitRect.Top && LineRow < Bar.HitRect.Bottom);
    EXPECT_EQ(Image.pixelColor(Bar.HitRect.Left + 2, LineRow), QColor(0xFF, 0, 0));
    EXPECT_EQ(Image.pixelColor(Bar.HitRect.Left + 2, LineRow - 2), QColor(0, 0, 0xFF));

    const TRect& Legend = Chart.Layout().LegendRect();
    EXPECT_EQ(Image.pixelColor(Legend.Right - 1, Legend.Top), Black);
    EXPECT_EQ(Image.pixelColor(Legend.Right + 1, Legend.Top + 1), White);
    EXPECT_EQ(Image.pixelColor(Legend.Right + 1, Legend.Top + 4), Black);
    EXPECT_EQ(Image.pixelColor(Legend.Left + 1, Legend.Bottom + 1), White);
    EXPECT_EQ(Image.pixelColor(Legend.Left + 4, Legend.Bottom + 2), Black);
    EXPECT_EQ(Image.pixelColor(Legend.Right + 2, Legend.Bottom + 2), Black);
    EXPECT_EQ(Image.pixelColor(Legend.Right + 3, Legend.Bottom + 2), White);
}

TEST_F(ChartPainterTest, TheYTitleReadsUpwardBesideTheLabels) {
    AddSeries(skLine, {1, 2});
    const int LineHeight = TTextMetrics(Chart.AxisFont(), &Chart).TextHeight();
    auto InkIn = [&](const QImage& Image, int Left, int Right) {
        int Ink = 0;
        for (int x = Left; x < Right; ++x) {
            for (int y = Plot().Top; y < Plot().Bottom; ++y)
                Ink += Image.pixelColor(x, y) != White;
        }
        return Ink;
    };
    const QImage Titled = Render();
    EXPECT_GT(InkIn(Titled, 20, 20 + LineHeight), 20);
    EXPECT_EQ(InkIn(Titled, 0, 20), 0);
    Chart.SetAxisYTitle("");
    EXPECT_EQ(InkIn(Render(), 0, 20 + LineHeight), 0);
}

TEST_F(ChartPainterTest, DenseXLabelsAreThinnedOutNotOverlapped) {
    Chart.SetAxisXOnePerValue(true);
    AddSeries(skLine, std::vector<double>(100, 1.0));
    const QImage Image = Render();
    const TTextMetrics Metrics(Chart.AxisFont(), &Chart);
    // Labels written over each other would ink one long run of columns; kept apart, no run
    // is wider than a label.
    int Run = 0;
    int LongestRun = 0;
    for (int x = 0; x < Image.width(); ++x) {
        bool Inked = false;
        for (int y = Plot().Bottom + 4; y < Plot().Bottom + 4 + Metrics.TextHeight(); ++y)
            Inked = Inked || Image.pixelColor(x, y) != White;
        Run = Inked ? Run + 1 : 0;
        LongestRun = std::max(LongestRun, Run);
    }
    EXPECT_GT(LongestRun, 0);
    EXPECT_LE(LongestRun, Metrics.TextWidth("100"));
}

} // namespace
