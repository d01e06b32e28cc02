#pragma once

// Draws the whole chart in one pass from the last layout: background, legend box, title, both
// axes with labels, ticks and grid lines, the shaded band, the plot frame, every series with its
// markers and legend symbol, and the guide line over them.

#include "chart/ChartLayout.h"
#include "chart/ChartMarkers.h"
#include "chart/ChartPalette.h"

#include <QPoint>

class TCanvas;

class TChartPainter {
public:
    TChartPainter(const TChartProperties& Properties, const TChartLayout& Layout,
                  TSeriesList& Series, TBrushBitmaps& BrushBitmaps);

    void PaintChart(TCanvas& Canvas);

private:
    void PaintLegend(TCanvas& Canvas) const;
    void PaintTitle(TCanvas& Canvas) const;
    void StartAxis(TCanvas& Canvas, QPoint From, QPoint To) const;
    void StartLabels(TCanvas& Canvas) const;
    void PaintXAxis(TCanvas& Canvas) const;
    void PaintXLabels(TCanvas& Canvas) const;
    void PaintYAxis(TCanvas& Canvas) const;
    void PaintBand(TCanvas& Canvas) const;
    void PaintSeries(TCanvas& Canvas);
    void PaintGuideLine(TCanvas& Canvas) const;
    void PaintOneSeries(TCanvas& Canvas, int Index);
    void PaintLegendSymbol(TCanvas& Canvas, TSeriesKind Kind, const TRect& Box) const;
    void PrepareSeriesStyle(TCanvas& Canvas, int Index, bool Filled);

    const TChartProperties& FProperties;
    const TChartLayout& FLayout;
    TSeriesList& FSeries;
    TBrushBitmaps& FBrushBitmaps;
    TMarkerRoutine FMarkerRoutine = DrawSquareMarker;
};
