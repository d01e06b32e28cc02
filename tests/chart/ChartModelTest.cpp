#include "chart/ChartModel.h"

#include "chart/Canvas.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class TNoOwner : public TSeriesOwner {
public:
    void UpdateChart() override {}
};

// The main window's chart, without a window.
class ChartModelTest : public testing::Test {
protected:
    ChartModelTest() {
        Model.Properties().ShowTitle = false;
        Model.Properties().ShowLegend = false;
    }

    // Columns is the plot's width in pixel columns, ends included.
    int Columns() const { return Model.Layout().PlotRect().Width() + 1; }

    QImage Blank() const {
        QImage Image(Width, Height, QImage::Format_RGB32);
        Image.fill(Qt::white);
        return Image;
    }

    // The line through Points, as the painter draws a series' line.
    QImage LineThrough(const std::vector<QPoint>& Points) const {
        QImage Image = Blank();
        QPainter Painter(&Image);
        TCanvas(Painter).Polyline(Points);
        return Image;
    }

    // The line through the pixel of every value of the series.
    QImage FullLine(const TNiceSeries& Series) const {
        std::vector<QPoint> Points;
        for (const TXYInfo& Value : Series.Values()) {
            int X = 0;
            int Y = 0;
            Model.Layout().ValueToClient(Value.X, Value.Y, X, Y);
            Points.emplace_back(X, Y);
        }
        return LineThrough(Points);
    }

    // The pixels where A and B differ; each must lengthen or shorten a vertical stroke of the
    // other picture by its end pixel.
    static int StrokeEndsOff(const QImage& A, const QImage& B) {
        const auto Ink = [](const QImage& Image, int x, int y) {
            return y >= 0 && y < Image.height() && Image.pixel(x, y) != qRgb(0xFF, 0xFF, 0xFF);
        };
        int Count = 0;
        for (int y = 0; y < A.height(); ++y) {
            for (int x = 0; x < A.width(); ++x) {
                if (Ink(A, x, y) == Ink(B, x, y))
                    continue;
                const QImage& Other = Ink(A, x, y) ? B : A;
                EXPECT_TRUE(Ink(Other, x, y - 1) || Ink(Other, x, y + 1)) << x << "," << y;
                ++Count;
            }
        }
        return Count;
    }

    static constexpr int Width = 771;
    static constexpr int Height = 429;
    TNoOwner Owner;
    TChartModel Model{Owner, nullptr};
};

// Speeds around 175 m/s with a slow drift, scatter and an outlier now and then.
double Speed(int Shot) {
    return 175 + 2 * std::sin(Shot * 0.001) + 1.5 * std::sin(Shot * 0.7) +
           (Shot % 997 == 0 ? 9 : 0) - (Shot % 1499 == 0 ? 7 : 0);
}

// Drawn with Qt's one-pixel lines, the two lines are the same up to 7 values per pixel column. With
// more, where a stroke turns after one value or after many can move its end by a pixel.
TEST_F(ChartModelTest, PerColumnLineDrawsTheLineThroughEveryValue) {
    const auto Shots = [](int i) { return i + 1.0; };
    const auto Saw = [](int i) { return double(i % 37); };
    const auto Steps = [](int i) { return double((i / 50) % 2 + i % 3); };
    const struct {
        const char* Name;
        TSeriesKind Kind;
        bool OnePerValue;
        // Values per pixel column, the X and the Y of the i-th value, pixels allowed to differ.
        double PerColumn;
        std::function<double(int)> X, Y;
        int Off;
    } Cases[] = {
        {"shots, one per value", skLine, true, 4, Shots, Speed, 0},
        {"shots, numeric", skLine, false, 4, Shots, Speed, 0},
        {"a few more shots than columns", skLine, true, 1.3, Shots, Speed, 0},
        {"repeated Xs", skLine, false, 3, [](int i) { return std::floor(i / 3.0) * 0.25; }, Speed,
         0},
        {"smooth", skSmooth, true, 2.5, Shots, Speed, 0},
        {"sawtooth", skLine, true, 7, Shots, Saw, 0},
        {"steps", skLine, false, 7, [](int i) { return i * 0.37; }, Steps, 0},
        {"dense", skLine, true, 50, Shots, Speed, 3},
    };
    for (const auto& Case : Cases) {
        Model.ClearSeries();
        Model.Properties().AxisXOnePerValue = Case.OnePerValue;
        Model.CalculateLayout(Width, Height);
        TNiceSeries& Series = Model.AddSeries(Case.Kind);
        const int Count = static_cast<int>(Case.PerColumn * Columns());
        for (int i = 0; i < Count; ++i)
            Series.AddValue(Case.X(i), Case.Y(i + 1), "");
        Model.CalculateLayout(Width, Height);
        const TSeriesDrawing& Drawing = Series.Drawing();
        ASSERT_LE(Drawing.Line.size(), 4U * Columns()) << Case.Name;
        EXPECT_EQ(Series.Spline().NumberOfPoints(), 0) << Case.Name;
        EXPECT_LE(StrokeEndsOff(LineThrough(Drawing.Line), FullLine(Series)), Case.Off)
            << Case.Name;
    }
}

TEST_F(ChartModelTest, MarkersOfALongSeriesStayClearOfEachOtherOnTheLine) {
    Model.Properties().AxisXOnePerValue = true;
    TNiceSeries& Series = Model.AddSeries(skLine);
    for (int Shot = 1; Shot <= 10000; ++Shot)
        Series.AddValue(Shot, Speed(Shot), "");
    Model.CalculateLayout(Width, Height);
    const std::vector<QPoint>& Markers = Series.Drawing().Markers;
    const int Apart = 2 * Model.Layout().MarkerSize() + 1;
    ASSERT_GT(Markers.size(), std::size_t(Columns() / Apart));
    for (std::size_t i = 0; i < Markers.size(); ++i) {
        for (std::size_t j = i + 1; j < Markers.size(); ++j) {
            const QPoint D = Markers[j] - Markers[i];
            ASSERT_TRUE(std::abs(D.x()) >= Apart || std::abs(D.y()) >= Apart) << i << " " << j;
        }
    }
    // Every marker sits where the line passes.
    const QImage Line = LineThrough(Series.Drawing().Line);
    for (const QPoint Marker : Markers)
        EXPECT_NE(Line.pixel(Marker), qRgb(0xFF, 0xFF, 0xFF)) << Marker.x() << "," << Marker.y();
}

TEST_F(ChartModelTest, ALongSeriesHasOneTickPerColumnAndItsHints) {
    Model.Properties().AxisXOnePerValue = true;
    TNiceSeries& Series = Model.AddSeries(skLine);
    for (int Shot = 1; Shot <= 10000; ++Shot)
        Series.AddValue(Shot, Speed(Shot), "Shot " + std::to_string(Shot));
    Model.CalculateLayout(Width, Height);
    const TRect& Plot = Model.Layout().PlotRect();
    const std::vector<TAxisInfo>& Ticks = Model.Layout().XAxis();
    ASSERT_EQ(static_cast<int>(Ticks.size()), Columns());
    // The first shot of each column: its slot is the first whose pixel reaches the column.
    const double Slot = Plot.Width() / 9999.0;
    for (const int Column : {0, 1, 2, 100, Plot.Width()}) {
        const TAxisInfo& Tick = Ticks[Column];
        EXPECT_EQ(Tick.X, Plot.Left + Column);
        EXPECT_EQ(Nearest((Tick.Value - 1) * Slot), Column) << Column;
        EXPECT_TRUE(Tick.Value == 1 || Nearest((Tick.Value - 2) * Slot) < Column) << Column;
        double X = 0;
        double Y = 0;
        if (Column < Plot.Width()) {
            ASSERT_TRUE(Model.ClientToValues(Tick.X, Plot.Top, X, Y));
            EXPECT_EQ(X, Tick.Value);
        }
        std::string Hint;
        Series.HintForX(Tick.Value, Hint);
        EXPECT_EQ(Hint, "Shot " + Tick.Caption);
    }
}

TEST_F(ChartModelTest, BarsOfALongSeriesAreTheHighestAndLowestOfEachColumn) {
    TNiceSeries& Series = Model.AddSeries(skBar);
    for (int Shot = 1; Shot <= 5000; ++Shot)
        Series.AddValue(Shot, Speed(Shot) - 175, "");
    Model.CalculateLayout(Width, Height);
    const std::vector<TRect>& Bars = Series.Drawing().Bars;
    ASSERT_LE(Bars.size(), 2U * Columns());
    ASSERT_GT(Bars.size(), std::size_t(Columns()));
    const int Zero = Model.Layout().ZeroLineY();
    int Highest = Zero;
    int Lowest = Zero;
    for (const TRect& Bar : Bars) {
        ASSERT_TRUE(Bar.Top == Zero || Bar.Bottom == Zero);
        Highest = std::min(Highest, Bar.Top);
        Lowest = std::max(Lowest, Bar.Bottom);
    }
    int X = 0;
    int Y = 0;
    Model.Layout().ValueToClient(997, Series.MaxY(), X, Y);
    EXPECT_EQ(Highest, Y);
    Model.Layout().ValueToClient(1499, Series.MinY(), X, Y);
    EXPECT_EQ(Lowest, Y);
}

TEST(NiceSeriesTest, ExtremesAndHints) {
    const struct {
        const char* Name;
        std::vector<double> Xs;
        bool Sorted;
        double Asked;
        const char* Hint;
    } Cases[] = {
        {"ascending", {1, 2, 3, 4}, true, 3, "2"},
        {"repeated", {1, 2, 2, 4}, true, 2, "2"},
        {"falling back", {1, 4, 2, 2}, false, 2, "3"},
        {"no match", {1, 2, 3, 4}, true, 2.5, "kept"},
        {"below all", {1, 2, 3, 4}, true, 0, "kept"},
        {"not a number", {1, 2, std::nan(""), 4}, false, 4, "3"},
    };
    TNoOwner Owner;
    for (const auto& Case : Cases) {
        TNiceSeries Series(Owner, skLine);
        EXPECT_EQ(Series.MaxX(), -1.7e308);
        EXPECT_EQ(Series.MinY(), 1.7e308);
        for (std::size_t i = 0; i < Case.Xs.size(); ++i)
            Series.AddValue(Case.Xs[i], 10.0 - i, std::to_string(i));
        EXPECT_EQ(Series.XSorted(), Case.Sorted) << Case.Name;
        std::string Text = "kept";
        Series.HintForX(Case.Asked, Text);
        EXPECT_EQ(Text, Case.Hint) << Case.Name;
        EXPECT_EQ(Series.MaxY(), 10) << Case.Name;
        EXPECT_EQ(Series.MinY(), 7) << Case.Name;
        EXPECT_EQ(Series.MaxX(), 4) << Case.Name;
        EXPECT_EQ(Series.MinX(), 1) << Case.Name;
    }
}

} // namespace
