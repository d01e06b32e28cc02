#include "chart/ChartPainter.h"

#include "chart/Canvas.h"

#include <QPoint>
#include <vector>

namespace {

const QColor Black(0, 0, 0);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor GridColor(0x80, 0x80, 0x80);
// The band lets the grid show through; its captions and the guide line stand out from the series'
// colours.
const QColor BandColor(0x3C, 0xB4, 0x4B, 0x40);
const QColor BandCaptionColor(0x1E, 0x64, 0x28);
const QColor GuideLineColor(0x1E, 0x3C, 0xA0);
constexpr int GuideLineWidth = 2;

constexpr int AxisWidth = 3;
constexpr int TickLength = 2;
constexpr int ShadowDepth = 3;
// The bar in the legend stays this far inside the symbol's box.
constexpr int LegendBarInset = 2;

TRect Inset(const TRect& R, int By) {
    return {R.Left + By, R.Top + By, R.Right - By, R.Bottom - By};
}

QPoint Centre(const TRect& R) {
    return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

} // namespace

TChartPainter::TChartPainter(const TChartProperties& Properties, const TChartLayout& Layout,
                             TSeriesList& Series, TBrushBitmaps& BrushBitmaps)
    : FProperties(Properties), FLayout(Layout), FSeries(Series), FBrushBitmaps(BrushBitmaps) {}

void TChartPainter::PaintChart(TCanvas& Canvas) {
    Canvas.SetPenColor(Black);
    Canvas.SetPenWidth(1);
    Canvas.SetBrushSolid(FProperties.Color);
    Canvas.FillRect({0, 0, FLayout.LayoutWidth(), FLayout.LayoutHeight()});
    if (FProperties.ShowLegend && !FSeries.empty())
        PaintLegend(Canvas);
    if (FProperties.ShowTitle && !FProperties.Title.empty())
        PaintTitle(Canvas);
    PaintXAxis(Canvas);
    PaintYAxis(Canvas);
    PaintBand(Canvas);
    PaintSeries(Canvas);
    PaintGuideLine(Canvas);
}

void TChartPainter::PaintLegend(TCanvas& Canvas) const {
    Canvas.SetPenWidth(1);
    Canvas.SetPenStyle(psSolid);
    Canvas.SetFont(FProperties.AxisFont);
    const TRect& R = FLayout.LegendRect();
    Canvas.SetBrushSolid(Black);
    Canvas.FillRect({R.Right, R.Top + ShadowDepth, R.Right + ShadowDepth, R.Bottom + ShadowDepth});
    Canvas.FillRect(
        {R.Left + ShadowDepth, R.Bottom, R.Right + ShadowDepth, R.Bottom + ShadowDepth});
    Canvas.SetBrushClear();
    Canvas.Rectangle(R);
    for (const TLegendEntry& Entry : FLayout.LegendEntries()) {
        for (const TTextLine& Line : Entry.Lines)
            Canvas.TextOut(Line.At.x(), Line.At.y(), Line.Text);
    }
}

void TChartPainter::PaintTitle(TCanvas& Canvas) const {
    Canvas.SetBrushClear();
    Canvas.SetFont(FProperties.TitleFont);
    Canvas.DrawWrappedText(FLayout.TitleRect(), FProperties.Title);
}

// The axis line, then the bold font of the axis title.
void TChartPainter::StartAxis(TCanvas& Canvas, QPoint From, QPoint To) const {
    Canvas.SetPenStyle(psSolid);
    Canvas.SetPenWidth(AxisWidth);
    Canvas.MoveTo(From.x(), From.y());
    Canvas.LineTo(To.x(), To.y());
    Canvas.SetFont(FProperties.AxisTitleFont());
}

// The regular font and the thin black pen of the labels and tick marks.
void TChartPainter::StartLabels(TCanvas& Canvas) const {
    Canvas.SetFont(FProperties.AxisFont);
    Canvas.SetPenColor(Black);
    Canvas.SetPenWidth(1);
}

void TChartPainter::PaintXAxis(TCanvas& Canvas) const {
    const TRect& Plot = FLayout.PlotRect();
    StartAxis(Canvas, {Plot.Left, Plot.Bottom}, {Plot.Right, Plot.Bottom});
    const QPoint Title = FLayout.LabelPlaces().XTitle;
    Canvas.TextOut(Title.x(), Title.y(), FProperties.AxisXTitle);
    StartLabels(Canvas);
    PaintXLabels(Canvas);
    const std::vector<TAxisInfo>& Ticks = FLayout.XAxis();
    if (!FProperties.ShowXGrid || Ticks.size() < 3)
        return;
    Canvas.SetPenStyle(psDot);
    Canvas.SetPenColor(GridColor);
    for (std::size_t i = 1; i + 1 < Ticks.size(); ++i) {
        Canvas.MoveTo(Ticks[i].X, Ticks[i].Y);
        Canvas.LineTo(Ticks[i].X, Plot.Top);
    }
    Canvas.SetPenColor(Black);
}

// A label that would come closer than MinimumLabelGap to the last one written is left out;
// every tick gets its mark.
void TChartPainter::PaintXLabels(TCanvas& Canvas) const {
    const int LabelTop = FLayout.LabelPlaces().XLabelTop;
    int LastRight = 0;
    for (const TAxisInfo& Label : FLayout.XLabels()) {
        const int Width = Canvas.TextWidth(Label.Caption);
        const int X = Label.X - Width / 2;
        if (X > LastRight) {
            Canvas.TextOut(X, LabelTop, Label.Caption);
            LastRight = X + Width + MinimumLabelGap;
        }
    }
    for (const TAxisInfo& Tick : FLayout.XAxis()) {
        Canvas.MoveTo(Tick.X, Tick.Y);
        Canvas.LineTo(Tick.X, Tick.Y + TickLength);
    }
}

void TChartPainter::PaintYAxis(TCanvas& Canvas) const {
    const TRect& Plot = FLayout.PlotRect();
    StartAxis(Canvas, {Plot.Left, Plot.Top}, {Plot.Left, Plot.Bottom});
    const std::string& Title = FProperties.AxisYTitle;
    const TLabelPlaces& Places = FLayout.LabelPlaces();
    if (!Title.empty())
        Canvas.TextOutRotated(Places.YTitle.x(), Places.YTitle.y(), Title, 90);
    StartLabels(Canvas);
    const std::vector<TAxisInfo>& Ticks = FLayout.YAxis();
    for (const TAxisInfo& Tick : Ticks) {
        Canvas.TextOut(Places.YLabelRight - Canvas.TextWidth(Tick.Caption),
                       Tick.Y - Canvas.TextHeight() / 2, Tick.Caption);
        Canvas.MoveTo(Tick.X - TickLength, Tick.Y);
        Canvas.LineTo(Tick.X, Tick.Y);
    }
    if (!FProperties.ShowYGrid)
        return;
    for (std::size_t i = 1; i + 1 < Ticks.size(); ++i) {
        // The row of the value 0 is a solid line, so that bars and signs read at a glance.
        Canvas.SetPenStyle(Ticks[i].Value == 0 ? psSolid : psDot);
        Canvas.SetPenColor(Ticks[i].Value == 0 ? Black : GridColor);
        Canvas.MoveTo(Ticks[i].X, Ticks[i].Y);
        Canvas.LineTo(Plot.Right, Ticks[i].Y);
    }
    Canvas.SetPenColor(Black);
}

void TChartPainter::PaintSeries(TCanvas& Canvas) {
    const TRect& Plot = FLayout.PlotRect();
    Canvas.SetBrushClear();
    Canvas.SetPenStyle(psSolid);
    Canvas.SetPenWidth(1);
    Canvas.SetPenColor(Black);
    Canvas.MoveTo(Plot.Left, Plot.Top);
    Canvas.LineTo(Plot.Right, Plot.Top);
    Canvas.LineTo(Plot.Right, Plot.Bottom);
    // Bars first, so that lines and markers stay on top of them.
    for (int Pass = 0; Pass < 2; ++Pass) {
        for (int i = 0; i < static_cast<int>(FSeries.size()); ++i) {
            if ((FSeries[i]->Kind() == skBar) == (Pass == 0))
                PaintOneSeries(Canvas, i);
        }
    }
}

void TChartPainter::PaintBand(TCanvas& Canvas) const {
    const TOverlayDrawing& Overlays = FLayout.Overlays();
    Canvas.SetBrushSolid(BandColor);
    if (Overlays.LevelBand)
        Canvas.FillRect(*Overlays.LevelBand);
    if (!Overlays.Band)
        return;
    Canvas.FillRect(*Overlays.Band);
    StartLabels(Canvas);
    Canvas.SetPenColor(BandCaptionColor);
    for (const TTextLine& Caption : Overlays.BandCaptions)
        Canvas.TextOut(Caption.At.x(), Caption.At.y(), Caption.Text);
    Canvas.SetPenColor(Black);
}

void TChartPainter::PaintGuideLine(TCanvas& Canvas) const {
    const std::vector<QPoint>& Line = FLayout.Overlays().GuideLine;
    if (Line.empty())
        return;
    Canvas.SetPenStyle(psSolid);
    Canvas.SetPenWidth(GuideLineWidth);
    Canvas.SetPenColor(GuideLineColor);
    Canvas.Polyline(Line);
    Canvas.SetPenWidth(1);
    Canvas.SetPenColor(Black);
}

void TChartPainter::PrepareSeriesStyle(TCanvas& Canvas, int Index, bool Filled) {
    const QColor Color = SeriesColor(Index, FProperties.Monochrome, FProperties.SoftColors);
    FMarkerRoutine = MarkerRoutineFor(Index);
    Canvas.SetPenColor(Color);
    Canvas.SetBrushSolid(Filled ? Color : White);
    if (Filled && FProperties.Monochrome)
        Canvas.SetBrushPattern(FBrushBitmaps.ForSeries(Index));
}

void TChartPainter::PaintOneSeries(TCanvas& Canvas, int Index) {
    TNiceSeries& Series = *FSeries[Index];
    const TSeriesDrawing& Drawing = Series.Drawing();
    PrepareSeriesStyle(Canvas, Index, Series.Kind() == skBar);
    for (const TRect& Bar : Drawing.Bars)
        Canvas.Rectangle(Bar);
    if (Series.Spline().NumberOfPoints() > 0)
        Series.Spline().Draw(Canvas);
    else
        Canvas.Polyline(Drawing.Line);
    for (const QPoint Marker : Drawing.Markers)
        FMarkerRoutine(Canvas, Marker.x(), Marker.y(), FLayout.MarkerSize());
    // A series added while updates are suspended has no entry before the next layout.
    const std::vector<TLegendEntry>& Entries = FLayout.LegendEntries();
    if (FProperties.ShowLegend && Index < static_cast<int>(Entries.size()))
        PaintLegendSymbol(Canvas, Series.Kind(), Entries[Index].Symbol);
}

// A bar, or a short line with a marker in its middle.
void TChartPainter::PaintLegendSymbol(TCanvas& Canvas, TSeriesKind Kind, const TRect& Box) const {
    if (Kind == skBar) {
        Canvas.Rectangle(Inset(Box, LegendBarInset));
        return;
    }
    const QPoint Middle = Centre(Box);
    Canvas.MoveTo(Box.Left, Middle.y());
    Canvas.LineTo(Box.Right, Middle.y());
    FMarkerRoutine(Canvas, Middle.x(), Middle.y(), FLayout.MarkerSize());
}
