#pragma once

// One data series of a chart: its (X, Y) values with their hint texts, its kind and its caption.

#include "chart/BSplines.h"
#include "chart/ChartGeometry.h"
#include "chart/RangeExtremes.h"

#include <QPoint>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TSeriesKind : std::uint8_t { skLine = 0, skSmooth = 1, skBar = 2 };

// The chart a series belongs to, told of every change of the series.
class TSeriesOwner {
public:
    // Lays out and paints again, unless updates are suspended.
    virtual void UpdateChart() = 0;

protected:
    ~TSeriesOwner() = default;
};

// One value of a series. The screen position and the hit rectangle (the marker box of a line
// or smooth value, the bar of a bar value) are set by the chart's layout, as long as the series
// has no more values than the plot has pixel columns.
struct TXYInfo {
    double X = 0;
    double Y = 0;
    int ScreenX = 0;
    int ScreenY = 0;
    TRect HitRect;
};

// What the painter draws of a series, placed by the layout: the line through the values (unless
// a smooth series is drawn as its curve), the marker centres and the bars.
struct TSeriesDrawing {
    std::vector<QPoint> Line;
    std::vector<QPoint> Markers;
    std::vector<TRect> Bars;
};

class TNiceSeries {
public:
    TNiceSeries(TSeriesOwner& Chart, TSeriesKind Kind);
    TNiceSeries(const TNiceSeries&) = delete;
    TNiceSeries& operator=(const TNiceSeries&) = delete;

    // Appends a value and refreshes the chart; gives the value's 0-based index.
    int AddValue(double X, double Y, const std::string& Hint);
    // Room for Count values, so that a long series added value by value takes no more memory
    // than its values need.
    void Reserve(std::size_t Count) { FValues.reserve(Count); }
    const std::string& Caption() const { return FCaption; }
    // Several lines are separated by line breaks; the legend shows them one under the other.
    void SetCaption(const std::string& Caption);
    // Sets Text to the hint of the last value whose X is exactly X; leaves it alone when none is.
    void HintForX(double X, std::string& Text) const;
    // An empty series gives -NoValue for a maximum and NoValue for a minimum.
    double MaxX() const { return FXExtremes.Max; }
    double MinX() const { return FXExtremes.Min; }
    double MaxY() const { return FYExtremes.Max; }
    double MinY() const { return FYExtremes.Min; }
    // The extremes of the Ys of the values From..To - 1.
    TExtremes YExtremes(int From, int To) const;
    // True while no X is smaller than the one before it, or not a number: shot numbers.
    bool XSorted() const { return FXSorted; }
    // True while every X is larger than the one before it.
    bool XAscending() const { return FXAscending; }

    TSeriesOwner& Chart() const { return FChart; }
    TSeriesKind Kind() const { return FKind; }
    const std::vector<TXYInfo>& Values() const { return FValues; }
    // The curve of a smooth series, rebuilt by every layout.
    TBSpline& Spline() { return FSpline; }
    const TSeriesDrawing& Drawing() const { return FDrawing; }
    // Vertical offset of the series' entry inside the legend box, set by the layout.
    int LegendTop = 0;

private:
    // The layout writes the values' screen positions and hit rectangles, and the drawing.
    friend class TChartLayout;

    std::string HintOf(std::size_t Index) const;

    std::vector<TXYInfo> FValues;
    // The hint of each value up to the last one that has a hint; none while no value has one, as
    // a long series of shots whose read-out the window makes itself.
    std::vector<std::string> FHints;
    TSeriesOwner& FChart;
    std::string FCaption = "Series";
    TBSpline FSpline;
    TSeriesKind FKind;
    TExtremes FXExtremes;
    TExtremes FYExtremes;
    TRangeExtremes FYRanges;
    bool FXSorted = true;
    bool FXAscending = true;
    TSeriesDrawing FDrawing;
};

using TSeriesList = std::vector<std::unique_ptr<TNiceSeries>>;
