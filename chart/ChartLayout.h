#pragma once

// The chart's layout: where the title, the plot and the legend go, the ticks and labels of both
// axes, the mapping from values to pixels, and every value's pixel position, marker box or bar.
// Painting and the mouse queries only read what the layout computed.

#include "chart/ChartGeometry.h"
#include "chart/ChartProperties.h"
#include "chart/NiceSeries.h"

#include <memory>
#include <string>
#include <vector>

class QPaintDevice;

// The blank border around everything.
inline constexpr int ChartMargin = 20;
// The X title lies one line and this many pixels below the X axis, under the labels.
inline constexpr int XTitleGap = 14;

// One axis tick: its value, its pixel on the axis line and its label.
struct TAxisInfo {
    double Value = 0;
    int X = 0;
    int Y = 0;
    std::string Caption;
};

// Value to pixel on one axis: pixel = Origin + (value - Start) * Scale, upward for Y.
struct TAxisMapping {
    double Start = 0;
    double Scale = 1;
    int Origin = 0;
};

using TSeriesList = std::vector<std::unique_ptr<TNiceSeries>>;

// The lines of a legend caption, each trimmed of blanks and control characters.
std::vector<std::string> CaptionLines(const std::string& Caption);

class TChartLayout {
public:
    // Texts are measured with the chart's fonts on Device.
    TChartLayout(TChartProperties& Properties, TSeriesList& Series, const QPaintDevice* Device);

    // Rebuilds everything for a client area of Width x Height pixels. A bar series switches
    // the properties to one value per X.
    void CalculateLayout(int Width, int Height);
    void ClearAxes();
    // The pixel of a value. In one-per-value mode an X without a tick leaves ScreenX alone.
    void ValueToClient(double X, double Y, int& ScreenX, int& ScreenY) const;

    const TRect& PlotRect() const { return FPlotRect; }
    const TRect& LegendRect() const { return FLegendRect; }
    const TRect& TitleRect() const { return FTitleRect; }
    const std::vector<TAxisInfo>& XAxis() const { return FXAxis; }
    const std::vector<TAxisInfo>& YAxis() const { return FYAxis; }
    const TAxisMapping& XMapping() const { return FXMapping; }
    const TAxisMapping& YMapping() const { return FYMapping; }
    // Half-size in pixels of the point markers.
    int MarkerSize() const { return FMarkerSize; }
    int BarCount() const { return FBarCount; }
    // Pixel width of one X slot when there are bars.
    int BarSlotWidth() const { return FBarSlotWidth; }
    int LayoutWidth() const { return FLayoutWidth; }
    int LayoutHeight() const { return FLayoutHeight; }
    // The pixel row of the Y value 0, where bars start; the plot's bottom when 0 is no tick.
    int ZeroLineY() const { return FZeroLineY; }
    // True when every series is empty.
    bool NoData() const { return FNoData; }

private:
    void LayOut(int Width, int Height);
    int LineHeight() const;
    bool TitleShown() const;
    bool PlaceTitle();
    bool TitleNeedsMoreRoom() const;
    void BuildYAxis();
    int WidestYCaption() const;
    void PlaceYAxis();
    void PlaceLegend(bool TitleShown);
    void BuildXAxis();
    void BuildOnePerValueXAxis(int Width);
    void BuildNumericXAxis(int Width);
    void CalculateSeriesPoints();
    void PlaceMarkers(TNiceSeries& Series);
    void PlaceCurve(TNiceSeries& Series);
    void PlaceBars(TNiceSeries& Series, int BarIndex, int BarWidth);

    TChartProperties& FProperties;
    TSeriesList& FSeries;
    const QPaintDevice* FDevice;
    // The widest the title may be measured, so that it fits the width it finally gets.
    int FTitleWrapWidth = 0;

    int FMarkerSize = 0;
    int FBarCount = 0;
    int FBarSlotWidth = 0;
    int FLayoutWidth = 0;
    int FLayoutHeight = 0;
    int FZeroLineY = 0;
    bool FNoData = false;
    std::vector<TAxisInfo> FXAxis;
    std::vector<TAxisInfo> FYAxis;
    TRect FPlotRect;
    TRect FLegendRect;
    TRect FTitleRect;
    TAxisMapping FXMapping;
    TAxisMapping FYMapping;
};
