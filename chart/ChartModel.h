#pragma once

// A chart without a window: its properties and series, their layout for a size, their picture
// on any paint device and the query of the values under a pixel. The chart control shows one;
// code without widgets lays out and paints one on its own.

#include "chart/ChartLayout.h"
#include "chart/ChartPalette.h"
#include "chart/ChartProperties.h"
#include "chart/NiceSeries.h"

#include <QSize>
#include <functional>

class QPaintDevice;

// A chart as a picture: the size it is laid out for and how it paints itself on any device, for
// code that draws a chart without knowing its control.
struct TChartPicture {
    QSize Size;
    std::function<void(QPaintDevice&)> PaintTo;
};

class TChartModel {
public:
    // The series tell Owner of their changes; texts are measured on Device (null: the screen).
    TChartModel(TSeriesOwner& Owner, const QPaintDevice* Device);
    TChartModel(const TChartModel&) = delete;
    TChartModel& operator=(const TChartModel&) = delete;

    TChartProperties& Properties() { return FProperties; }
    const TChartProperties& Properties() const { return FProperties; }

    // A new empty series with the caption "Series".
    TNiceSeries& AddSeries(TSeriesKind Kind);
    // Also empties both tick lists.
    void ClearSeries();
    // Raises std::out_of_range outside 0..SeriesCount() - 1.
    TNiceSeries& GetSeries(int Index) const;
    int SeriesCount() const { return static_cast<int>(FSeries.size()); }

    void CalculateLayout(int Width, int Height) { FLayout.CalculateLayout(Width, Height); }
    const TChartLayout& Layout() const { return FLayout; }
    // The values at a client pixel inside the plot; in one-per-value mode X snaps to the
    // nearest tick, the left one of two equally near. False, with the outputs untouched,
    // outside the plot.
    bool ClientToValues(int X, int Y, double& XValue, double& YValue) const;
    // The picture of the last layout.
    void PaintTo(QPaintDevice& Device);

private:
    TSeriesOwner& FOwner;
    TBrushBitmaps FBrushBitmaps;
    TSeriesList FSeries;
    TChartProperties FProperties;
    TChartLayout FLayout;
};
