#include "chart/ChartPainter.h"

#include "chart/Canvas.h"

#include <QPoint>
#include <vector>

namespace {

const QColor Black(0, 0, 0);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor GridColor(0x80, 0x80, 0x80);

constexpr int AxisWidth = 3;
constexpr int TickLength = 2;
constexpr int LabelGap = 4;
constexpr int ShadowDepth = 3;
// Legend entries: the caption starts this far from the box's left edge, next to a symbol
// 20 pixels wide starting 10 pixels from that edge.
constexpr int LegendTextIndent = 32;
constexpr int LegendSymbolIndent = 10;
constexpr int LegendSymbolSize = 20;
constexpr int LegendBarInset = 2;
// The rotated Y title's top edge lies on the left margin.
constexpr int YTitleLeft = ChartMargin;

QFont Bold(QFont Font) {
    Font.setBold(true);
    return Font;
}

} // namespace

TChartPainter::TChartPainter(const TChartProperties& Properties, const TChartLayout& Layout,
                             TSeriesList& Series, TBrushBitmaps& BrushBitmaps,
                             TLabelWidths& LabelWidths)
    : FProperties(Properties), FLayout(Layout), FSeries(Series), FBrushBitmaps(BrushBitmaps),
      FLabelWidths(LabelWidths) {}

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
    PaintSeries(Canvas);
}

void TChartPainter::PaintLegend(TCanvas& Canvas) const {
    Canvas.SetPenWidth(1);
    Canvas.SetPenStyle(psSolid);
    Canvas.SetFont(FProperties.AxisFont);
    const int LineHeight = Canvas.TextHeight();
    const int Pad = (LegendSymbolSize - LineHeight) / 2;
    const TRect& R = FLayout.LegendRect();
    Canvas.SetBrushSolid(Black);
    Canvas.FillRect({R.Right, R.Top + ShadowDepth, R.Right + ShadowDepth, R.Bottom + ShadowDepth});
    Canvas.FillRect(
        {R.Left + ShadowDepth, R.Bottom, R.Right + ShadowDepth, R.Bottom + ShadowDepth});
    Canvas.SetBrushClear();
    Canvas.Rectangle(R);
    for (const auto& Series : FSeries) {
        int Y = R.Top + Series->LegendTop + Pad;
        for (const std::string& Line : CaptionLines(Series->Caption())) {
            Canvas.TextOut(R.Left + LegendTextIndent, Y, Line);
            Y += LineHeight;
        }
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
    Canvas.SetFont(Bold(FProperties.AxisFont));
}

// The regular font and the thin black pen of the labels and tick marks.
void TChartPainter::StartLabels(TCanvas& Canvas) const {
    Canvas.SetFont(FProperties.AxisFont);
    Canvas.SetPenColor(Black);
    Canvas.SetPenWidth(1);
}

void TChartPainter::PaintXAxis(TCanvas& Canvas) {
    const TRect& Plot = FLayout.PlotRect();
    StartAxis(Canvas, {Plot.Left, Plot.Bottom}, {Plot.Right, Plot.Bottom});
    Canvas.TextOut(Plot.Left + (Plot.Width() - Canvas.TextWidth(FProperties.AxisXTitle)) / 2,
                   Plot.Bottom + Canvas.TextHeight() + XTitleGap, FProperties.AxisXTitle);
    StartLabels(Canvas);
    PaintXLabels(Canvas);
    const std::vector<TAxisInfo>& Ticks = FLayout.XAxis();
    if (!FProperties.ShowXGrid || Ticks.size() < 3)
        return;
    Canvas.SetPenStyle(psDot);
    Canvas.SetPenColor(GridColor);
    // Ticks closer than a pixel share their grid line; it is drawn once.
    for (std::size_t i = 1; i + 1 < Ticks.size(); ++i) {
        if (i > 1 && Ticks[i].X == Ticks[i - 1].X)
            continue;
        Canvas.MoveTo(Ticks[i].X, Ticks[i].Y);
        Canvas.LineTo(Ticks[i].X, Plot.Top);
    }
    Canvas.SetPenColor(Black);
}

// A label that would come closer than a few pixels to the last one written is left out, so that
// neighbouring shot numbers never read as one ("1 2" as "12"); every tick gets its mark.
void TChartPainter::PaintXLabels(TCanvas& Canvas) {
    constexpr int MinimumLabelGap = 4;
    const int LabelTop = FLayout.PlotRect().Bottom + LabelGap;
    int LastRight = 0;
    const TAxisInfo* Previous = nullptr;
    for (const TAxisInfo& Tick : FLayout.XAxis()) {
        // A label never starts right of its tick, so a tick left of LastRight needs no measuring.
        if (Tick.X > LastRight) {
            const int Width = FLabelWidths.TextWidth(Canvas, Tick.Caption);
            const int X = Tick.X - Width / 2;
            if (X > LastRight) {
                Canvas.TextOut(X, LabelTop, Tick.Caption);
                LastRight = X + Width + MinimumLabelGap;
            }
        }
        if (!Previous || Previous->X != Tick.X || Previous->Y != Tick.Y) {
            Canvas.MoveTo(Tick.X, Tick.Y);
            Canvas.LineTo(Tick.X, Tick.Y + TickLength);
        }
        Previous = &Tick;
    }
}

void TChartPainter::PaintYAxis(TCanvas& Canvas) const {
    const TRect& Plot = FLayout.PlotRect();
    StartAxis(Canvas, {Plot.Left, Plot.Top}, {Plot.Left, Plot.Bottom});
    const std::string& Title = FProperties.AxisYTitle;
    if (!Title.empty())
        Canvas.TextOutRotated(
            YTitleLeft, Plot.Bottom - (Plot.Height() - Canvas.TextWidth(Title)) / 2, Title, 90);
    Canvas.SetFont(FProperties.AxisFont);
    Canvas.SetPenColor(Black);
    Canvas.SetPenWidth(1);
    const std::vector<TAxisInfo>& Ticks = FLayout.YAxis();
    for (const TAxisInfo& Tick : Ticks) {
        Canvas.TextOut(Plot.Left - LabelGap - Canvas.TextWidth(Tick.Caption),
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
    PrepareSeriesStyle(Canvas, Index, Series.Kind() == skBar);
    if (Series.Kind() == skBar) {
        for (const TXYInfo& Value : Series.Values())
            Canvas.Rectangle(Value.HitRect);
    } else {
        if (Series.Kind() == skLine) {
            std::vector<QPoint> Line;
            Line.reserve(Series.Values().size());
            for (const TXYInfo& Value : Series.Values())
                Line.emplace_back(Value.ScreenX, Value.ScreenY);
            Canvas.Polyline(Line);
        } else if (Series.Kind() == skSmooth) {
            Series.Spline().Draw(Canvas);
        }
        for (const TXYInfo& Value : Series.Values())
            FMarkerRoutine(Canvas, Value.ScreenX, Value.ScreenY, FLayout.MarkerSize());
    }
    if (FProperties.ShowLegend)
        PaintLegendSymbol(Canvas, Series);
}

void TChartPainter::PaintLegendSymbol(TCanvas& Canvas, const TNiceSeries& Series) const {
    const int X = FLayout.LegendRect().Left + LegendSymbolIndent;
    const int Y = FLayout.LegendRect().Top + Series.LegendTop;
    if (Series.Kind() == skBar) {
        Canvas.Rectangle({X + LegendBarInset, Y + LegendBarInset,
                          X + LegendSymbolSize - LegendBarInset,
                          Y + LegendSymbolSize - LegendBarInset});
        return;
    }
    Canvas.MoveTo(X, Y + LegendSymbolSize / 2);
    Canvas.LineTo(X + LegendSymbolSize, Y + LegendSymbolSize / 2);
    FMarkerRoutine(Canvas, X + LegendSymbolSize / 2, Y + LegendSymbolSize / 2,
                   FLayout.MarkerSize());
}
