// The part of the layout that places the shaded band behind the series and the guide line over
// them.

#include "chart/ChartLayout.h"
#include "chart/TextMetrics.h"

#include <QPointF>
#include <algorithm>

namespace {

// The band's captions keep this far from its edges and from the plot's top.
constexpr int CaptionInset = 3;

// The part of the segment from A to B that lies inside R, as its two end pixels; none when the
// segment misses R. Cut as the parameter t of A + t (B - A) runs into each edge in turn.
std::vector<QPoint> ClippedSegment(QPointF A, QPointF B, const TRect& R) {
    double Enter = 0, Leave = 1;
    const QPointF Delta = B - A;
    // Keeps the t with Direction t <= Room.
    const auto Keep = [&](double Direction, double Room) {
        if (Direction == 0)
            return Room >= 0;
        const double T = Room / Direction;
        if (Direction < 0)
            Enter = std::max(Enter, T);
        else
            Leave = std::min(Leave, T);
        return Enter <= Leave;
    };
    if (!(Keep(-Delta.x(), A.x() - R.Left) && Keep(Delta.x(), R.Right - 1 - A.x()) &&
          Keep(-Delta.y(), A.y() - R.Top) && Keep(Delta.y(), R.Bottom - 1 - A.y())))
        return {};
    return {(A + Enter * Delta).toPoint(), (A + Leave * Delta).toPoint()};
}

} // namespace

void TChartLayout::PlaceOverlays() {
    FOverlays = {};
    if (FSeries.empty() || FNoData)
        return;
    if (FProperties.Band)
        PlaceBand(*FProperties.Band);
    if (FProperties.LevelBand)
        PlaceLevelBand(*FProperties.LevelBand);
    if (FProperties.GuideLine)
        PlaceGuideLine(*FProperties.GuideLine);
}

std::optional<int> TChartLayout::ScreenXOfValue(double X) const {
    if (!FProperties.AxisXOnePerValue)
        return ScreenXOf(X);
    const int Slot = FSlotAxis.SlotOf(X);
    if (Slot < 0)
        return std::nullopt;
    return FSlotAxis.Pixel(Slot);
}

// The band reaches a marker's half-size beyond its first and last value, so that their markers
// lie inside it. A band too narrow for both captions has its right one outside its right edge.
void TChartLayout::PlaceBand(const TXBand& Band) {
    const std::optional<int> From = ScreenXOfValue(Band.From);
    const std::optional<int> To = ScreenXOfValue(Band.To);
    if (!From || !To)
        return;
    const int Left = std::max(FPlotRect.Left, std::min(*From, *To) - FMarkerSize - 1);
    const int Right = std::min(FPlotRect.Right, std::max(*From, *To) + FMarkerSize + 2);
    if (Left >= Right)
        return;
    FOverlays.Band = TRect{Left, FPlotRect.Top, Right, FPlotRect.Bottom};
    const TTextMetrics Metrics(FProperties.AxisFont, FDevice);
    const int Top = FPlotRect.Top + CaptionInset;
    const int FromRight = Left + CaptionInset + Metrics.TextWidth(Band.FromCaption);
    int ToLeft = Right - CaptionInset - Metrics.TextWidth(Band.ToCaption);
    if (ToLeft < FromRight + CaptionInset)
        ToLeft = Right + CaptionInset;
    for (const TTextLine& Caption : {TTextLine{{Left + CaptionInset, Top}, Band.FromCaption},
                                     TTextLine{{ToLeft, Top}, Band.ToCaption}}) {
        if (!Caption.Text.empty())
            FOverlays.BandCaptions.push_back(Caption);
    }
}

// Cut off at the plot's top and bottom; nothing where the band lies wholly beyond them.
void TChartLayout::PlaceLevelBand(const TYBand& Band) {
    const int Top = std::max(FPlotRect.Top, ScreenYOf(std::max(Band.From, Band.To)));
    const int Bottom = std::min(FPlotRect.Bottom, ScreenYOf(std::min(Band.From, Band.To)));
    if (Top < Bottom)
        FOverlays.LevelBand = TRect{FPlotRect.Left, Top, FPlotRect.Right, Bottom};
}

void TChartLayout::PlaceGuideLine(const TValueLine& Line) {
    const std::optional<int> X1 = ScreenXOfValue(Line.X1);
    const std::optional<int> X2 = ScreenXOfValue(Line.X2);
    if (!X1 || !X2)
        return;
    const auto Row = [this](double Y) {
        return FYMapping.Origin - (Y - FYMapping.Start) * FYMapping.Scale;
    };
    FOverlays.GuideLine =
        ClippedSegment(QPointF(*X1, Row(Line.Y1)), QPointF(*X2, Row(Line.Y2)), FPlotRect);
}
