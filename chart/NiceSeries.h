#pragma once

// One data series of a chart: its (X, Y) values with their hint texts, its kind and its caption.

#include "chart/BSplines.h"
#include "chart/ChartGeometry.h"

#include <cstdint>
#include <string>
#include <vector>

class TNiceChart;

enum TSeriesKind : std::uint8_t { skLine = 0, skSmooth = 1, skBar = 2 };

// One value of a series. The screen position and the hit rectangle (the marker box of a line
// or smooth value, the bar of a bar value) are set by the chart's layout.
struct TXYInfo {
    double X = 0;
    double Y = 0;
    int ScreenX = 0;
    int ScreenY = 0;
    TRect HitRect;
    std::string Hint;
};

class TNiceSeries {
public:
    TNiceSeries(TNiceChart& Chart, TSeriesKind Kind);
    TNiceSeries(const TNiceSeries&) = delete;
    TNiceSeries& operator=(const TNiceSeries&) = delete;

    // Appends a value and refreshes the chart; gives the value's 0-based index.
    int AddValue(double X, double Y, const std::string& Hint);
    const std::string& Caption() const { return FCaption; }
    // Several lines are separated by line breaks; the legend shows them one under the other.
    void SetCaption(const std::string& Caption);
    // Sets Text to the hint of the last value whose X is exactly X; leaves it alone when none is.
    void HintForX(double X, std::string& Text) const;
    // An empty series gives -NoValue for a maximum and NoValue for a minimum.
    double MaxX() const;
    double MinX() const;
    double MaxY() const;
    double MinY() const;

    TNiceChart& Chart() const { return FChart; }
    TSeriesKind Kind() const { return FKind; }
    const std::vector<TXYInfo>& Values() const { return FValues; }
    // The curve of a smooth series, rebuilt by every layout.
    TBSpline& Spline() { return FSpline; }
    // Vertical offset of the series' entry inside the legend box, set by the layout.
    int LegendTop = 0;

private:
    // The layout writes the values' screen positions and hit rectangles.
    friend class TChartLayout;

    std::vector<TXYInfo> FValues;
    TNiceChart& FChart;
    std::string FCaption = "Series";
    TBSpline FSpline;
    TSeriesKind FKind;
};
