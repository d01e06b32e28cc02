#pragma once

// The chart's layout: where the title, the plot, the legend and the axis labels go, the ticks and
// labels of both axes, the mapping from values to pixels, and what is drawn of every series.
// Painting and the mouse queries only read what the layout computed.
//
// A series with more values than the plot has pixel columns, and whose Xs do not fall back, is
// drawn per pixel column: a stroke from the column's lowest to its highest value, joined to its
// neighbours as the line through every value would be, and markers only where they stay clear
// of each other. So layout and paint cost follows the plot's width, not the number of values;
// such values get no screen position of their own.

#include "chart/ChartGeometry.h"
#include "chart/ChartProperties.h"
#include "chart/NiceSeries.h"
#include "chart/SlotAxis.h"

#include <QPoint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QPaintDevice;

// Neighbouring X labels keep at least this many pixels apart, so that shot numbers never read as
// one ("1 2" as "12").
inline constexpr int MinimumLabelGap = 4;

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

// Where the axis titles and labels go.
struct TLabelPlaces {
    // The top left corner of the X title.
    QPoint XTitle;
    // The Y title reads upward from here, its top edge on the left margin.
    QPoint YTitle;
    int XLabelTop = 0;
    // The Y labels end here, right-aligned.
    int YLabelRight = 0;
};

// One line of text with its top left corner.
struct TTextLine {
    QPoint At;
    std::string Text;
};

// What is drawn of the band and the guide line; empty when they are not set or have no place.
struct TOverlayDrawing {
    std::optional<TRect> Band;
    std::vector<TTextLine> BandCaptions;
    std::optional<TRect> LevelBand;
    std::vector<QPoint> GuideLine;
};

// A series' entry in the legend: the box of its symbol (a short line with a marker, or a bar)
// and the lines of its caption.
struct TLegendEntry {
    TRect Symbol;
    std::vector<TTextLine> Lines;
};

// The lines of a legend caption, each trimmed of blanks and control characters.
std::vector<std::string> CaptionLines(const std::string& Caption);

// The markers of a series drawn per column: Candidates, from left to right, keep their place
// when their box (half-size HalfSize) stays clear of the box of every marker kept before.
std::vector<QPoint> MarkersClearOfEachOther(std::span<const QPoint> Candidates, int HalfSize);

class TChartLayout {
public:
    // Texts are measured with the chart's fonts on Device.
    TChartLayout(TChartProperties& Properties, TSeriesList& Series, const QPaintDevice* Device);

    // Rebuilds everything for a client area of Width x Height pixels. A bar series switches
    // the properties to one value per X.
    void CalculateLayout(int Width, int Height);
    void ClearAxes();
    // The pixel of a value. In one-per-value mode an X that no value has leaves ScreenX alone.
    void ValueToClient(double X, double Y, int& ScreenX, int& ScreenY) const;

    const TRect& PlotRect() const { return FPlotRect; }
    const TRect& LegendRect() const { return FLegendRect; }
    const TRect& TitleRect() const { return FTitleRect; }
    // One entry per series, in their order.
    const std::vector<TLegendEntry>& LegendEntries() const { return FLegendEntries; }
    const TLabelPlaces& LabelPlaces() const { return FLabelPlaces; }
    // In one-per-value mode one tick per pixel column that has values, for the first X there.
    const std::vector<TAxisInfo>& XAxis() const { return FXAxis; }
    // The X ticks that are labelled: in one-per-value mode every so many slots, a round number
    // that keeps the labels apart, whole numbers in a row (shot numbers) at its multiples;
    // otherwise every tick.
    const std::vector<TAxisInfo>& XLabels() const { return FXLabels; }
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
    const TOverlayDrawing& Overlays() const { return FOverlays; }

private:
    // Left edge and width of the bars of one bar series, relative to their value's pixel.
    struct TBarShape {
        int Left = 0;
        int Width = 0;
    };

    void LayOut(int Width, int Height);
    int LineHeight() const;
    bool TitleShown() const;
    void PlaceTitle();
    bool TitleNeedsMoreRoom() const;
    void BuildYAxis();
    int WidestYCaption() const;
    void PlaceYAxis();
    void PlaceLegend();
    void PlaceLabels();
    void BuildXAxis();
    void BuildOnePerValueXAxis(int Width);
    void BuildNumericXAxis(int Width);
    void LabelSlots();

    // Series, in ChartLayoutSeries.cpp.
    void CalculateSeriesPoints();
    bool DrawnPerColumn(const TNiceSeries& Series) const;
    int ScreenXAt(const TNiceSeries& Series, int Index) const;
    // The numeric mapping of values to pixels.
    int ScreenXOf(double X) const;
    int ScreenYOf(double Y) const;
    template <typename TVisit>
    void ForEachColumn(const TNiceSeries& Series, TVisit Visit) const;
    void PlaceMarkers(TNiceSeries& Series);
    void PlaceCurve(TNiceSeries& Series);
    void PlaceColumns(TNiceSeries& Series);
    TBarShape BarShape(int BarIndex) const;
    TRect BarRect(const TBarShape& Shape, int ScreenX, int ScreenY, double Y) const;
    void PlaceBars(TNiceSeries& Series, const TBarShape& Shape);
    void PlaceColumnBars(TNiceSeries& Series, const TBarShape& Shape);

    // Band and guide line, in ChartLayoutOverlays.cpp.
    void PlaceOverlays();
    void PlaceBand(const TXBand& Band);
    void PlaceLevelBand(const TYBand& Band);
    void PlaceGuideLine(const TValueLine& Line);
    // The pixel column of X; none in one-per-value mode when no value has X.
    std::optional<int> ScreenXOfValue(double X) const;

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
    std::vector<TAxisInfo> FXLabels;
    std::vector<TAxisInfo> FYAxis;
    TSlotAxis FSlotAxis;
    TRect FPlotRect;
    TRect FLegendRect;
    TRect FTitleRect;
    std::vector<TLegendEntry> FLegendEntries;
    TLabelPlaces FLabelPlaces;
    TAxisMapping FXMapping;
    TAxisMapping FYMapping;
    TOverlayDrawing FOverlays;
};
