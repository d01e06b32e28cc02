// The part of the layout that places what is drawn of each series.

#include "chart/ChartLayout.h"
#include "chart/IndexSearch.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Interpolated smooth series get this many curve segments per value.
constexpr int SegmentsPerValue = 20;

// Appends a point of the line, unless it repeats the last one.
void Extend(std::vector<QPoint>& Line, QPoint Point) {
    if (Line.empty() || Line.back() != Point)
        Line.push_back(Point);
}

} // namespace

std::vector<QPoint> MarkersClearOfEachOther(std::span<const QPoint> Candidates, int HalfSize) {
    // A marker covers 2 HalfSize + 1 pixels at most, its centre and HalfSize on either side.
    const int Apart = 2 * HalfSize + 1;
    std::vector<QPoint> Kept;
    // Kept markers from here on lie less than Apart left of the candidate.
    std::size_t Near = 0;
    for (const QPoint Candidate : Candidates) {
        while (Near < Kept.size() && Kept[Near].x() <= Candidate.x() - Apart)
            ++Near;
        const bool Clear = std::none_of(Kept.begin() + Near, Kept.end(), [&](QPoint Marker) {
            return std::abs(Marker.y() - Candidate.y()) < Apart;
        });
        if (Clear)
            Kept.push_back(Candidate);
    }
    return Kept;
}

void TChartLayout::CalculateSeriesPoints() {
    for (const auto& Series : FSeries) {
        Series->FDrawing = {};
        Series->Spline().Clear();
    }
    if (FSeries.empty() || FNoData)
        return;
    int BarIndex = 0;
    for (const auto& Series : FSeries) {
        const bool PerColumn = DrawnPerColumn(*Series);
        if (Series->Kind() == skBar && PerColumn)
            PlaceColumnBars(*Series, BarShape(BarIndex++));
        else if (Series->Kind() == skBar)
            PlaceBars(*Series, BarShape(BarIndex++));
        else if (PerColumn)
            PlaceColumns(*Series);
        else if (Series->Kind() == skLine)
            PlaceMarkers(*Series);
        else if (Series->Kind() == skSmooth)
            PlaceCurve(*Series);
    }
}

// Values of one pixel column follow each other only while the Xs do not fall back. A curve
// through more values than pixel columns could not show its smoothness, so a smooth series is
// then drawn per column too.
bool TChartLayout::DrawnPerColumn(const TNiceSeries& Series) const {
    const std::size_t Columns = std::max(0, FPlotRect.Width() + 1);
    return Series.Values().size() > Columns && Series.XSorted();
}

int TChartLayout::ScreenXAt(const TNiceSeries& Series, int Index) const {
    if (FProperties.AxisXOnePerValue)
        return FSlotAxis.Pixel(FSlotAxis.SlotOf(Series, Index));
    return ScreenXOf(Series.Values()[Index].X);
}

int TChartLayout::ScreenXOf(double X) const {
    return Nearest((X - FXMapping.Start) * FXMapping.Scale) + FXMapping.Origin;
}

int TChartLayout::ScreenYOf(double Y) const {
    return FYMapping.Origin - Nearest((Y - FYMapping.Start) * FYMapping.Scale);
}

// Visit(X, First, End) for every pixel column X that values First..End - 1 of a sorted series
// fall into, from left to right.
template <typename TVisit>
void TChartLayout::ForEachColumn(const TNiceSeries& Series, TVisit Visit) const {
    const int Count = static_cast<int>(Series.Values().size());
    for (int First = 0; First < Count;) {
        const int X = ScreenXAt(Series, First);
        const int End =
            NearFirstIndex(First + 1, Count, [&](int i) { return ScreenXAt(Series, i) > X; });
        Visit(X, First, End);
        First = End;
    }
}

void TChartLayout::PlaceMarkers(TNiceSeries& Series) {
    for (TXYInfo& Value : Series.FValues) {
        ValueToClient(Value.X, Value.Y, Value.ScreenX, Value.ScreenY);
        Value.HitRect = {Value.ScreenX - FMarkerSize, Value.ScreenY - FMarkerSize,
                         Value.ScreenX + FMarkerSize, Value.ScreenY + FMarkerSize};
        Series.FDrawing.Markers.emplace_back(Value.ScreenX, Value.ScreenY);
    }
    Series.FDrawing.Line = Series.FDrawing.Markers;
}

// The curve is interpolated through the values' pixels.
void TChartLayout::PlaceCurve(TNiceSeries& Series) {
    PlaceMarkers(Series);
    Series.FDrawing.Line.clear();
    TBSpline& Spline = Series.Spline();
    for (const TXYInfo& Value : Series.Values())
        Spline.AddPoint({static_cast<float>(Value.ScreenX), static_cast<float>(Value.ScreenY)});
    Spline.SetInterpolated(true);
    Spline.SetFragments(SegmentsPerValue * Spline.NumberOfPoints());
}

// The line through every value of a column covers the rows from its lowest to its highest value
// and joins its first and last value to the neighbouring columns; this one does the same with
// four points at most. A one-pixel line leaves out the lower end of a vertical stroke unless it
// turns there: so the extremes are taken without the last value, whose pixel may stay out, and
// the bottom comes first where the column starts or ends at it, so that the line turns there as
// the line through every value does.
void TChartLayout::PlaceColumns(TNiceSeries& Series) {
    std::vector<QPoint>& Line = Series.FDrawing.Line;
    std::vector<QPoint> Candidates;
    ForEachColumn(Series, [&](int X, int First, int End) {
        const int FirstY = ScreenYOf(Series.Values()[First].Y);
        const int LastY = ScreenYOf(Series.Values()[End - 1].Y);
        const TExtremes Ys = Series.YExtremes(First, End - 1);
        const int Top = Ys.Empty() ? FirstY : std::min(FirstY, ScreenYOf(Ys.Max));
        const int Bottom = Ys.Empty() ? FirstY : std::max(FirstY, ScreenYOf(Ys.Min));
        const bool BottomFirst = FirstY == Bottom || LastY == Bottom;
        for (const int Y : {FirstY, BottomFirst ? Bottom : Top, BottomFirst ? Top : Bottom, LastY})
            Extend(Line, {X, Y});
        Candidates.emplace_back(X, std::min(Top, LastY));
        if (std::max(Bottom, LastY) != std::min(Top, LastY))
            Candidates.emplace_back(X, std::max(Bottom, LastY));
    });
    Series.FDrawing.Markers = MarkersClearOfEachOther(Candidates, FMarkerSize);
}

// The slot is cut into BarCount + 1 parts; bar series take consecutive parts from half a part
// inside the slot's left edge, each bar filling the middle 80 % of its part.
TChartLayout::TBarShape TChartLayout::BarShape(int BarIndex) const {
    const int PartWidth = Nearest(double(FBarSlotWidth) / (FBarCount + 1));
    return {
        Nearest(-FBarSlotWidth / 2.0 + PartWidth / 2.0 + BarIndex * PartWidth + 0.1 * PartWidth),
        Nearest(0.8 * PartWidth)};
}

// Bars grow from the row of the value 0.
TRect TChartLayout::BarRect(const TBarShape& Shape, int ScreenX, int ScreenY, double Y) const {
    const int Edge = ScreenX + Shape.Left;
    if (Y >= 0)
        return {Edge, ScreenY, Edge + Shape.Width, FZeroLineY};
    return {Edge, FZeroLineY, Edge + Shape.Width, ScreenY};
}

void TChartLayout::PlaceBars(TNiceSeries& Series, const TBarShape& Shape) {
    for (TXYInfo& Value : Series.FValues) {
        ValueToClient(Value.X, Value.Y, Value.ScreenX, Value.ScreenY);
        Value.HitRect = BarRect(Shape, Value.ScreenX, Value.ScreenY, Value.Y);
        Series.FDrawing.Bars.push_back(Value.HitRect);
    }
}

// The bars of one column share their edges, so the highest and the lowest cover all others.
void TChartLayout::PlaceColumnBars(TNiceSeries& Series, const TBarShape& Shape) {
    ForEachColumn(Series, [&](int X, int First, int End) {
        const TExtremes Ys = Series.YExtremes(First, End);
        if (Ys.Max >= 0)
            Series.FDrawing.Bars.push_back(BarRect(Shape, X, ScreenYOf(Ys.Max), Ys.Max));
        if (Ys.Min < 0)
            Series.FDrawing.Bars.push_back(BarRect(Shape, X, ScreenYOf(Ys.Min), Ys.Min));
    });
}
