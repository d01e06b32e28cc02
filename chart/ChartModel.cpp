#include "chart/ChartModel.h"

#include "chart/Canvas.h"
#include "chart/ChartPainter.h"

#include <QPainter>
#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

// The tick nearest to pixel X, the left one of two equally near; null without ticks. The ticks
// lie from left to right.
const TAxisInfo* NearestTick(const std::vector<TAxisInfo>& Ticks, int X) {
    const auto Right = std::lower_bound(Ticks.begin(), Ticks.end(), X,
                                        [](const TAxisInfo& Tick, int X) { return Tick.X < X; });
    if (Right == Ticks.begin())
        return Ticks.empty() ? nullptr : &*Right;
    const auto Left = std::prev(Right);
    return Right == Ticks.end() || X - Left->X <= Right->X - X ? &*Left : &*Right;
}

} // namespace

TChartModel::TChartModel(TSeriesOwner& Owner, const QPaintDevice* Device)
    : FOwner(Owner), FLayout(FProperties, FSeries, Device) {}

TNiceSeries& TChartModel::AddSeries(TSeriesKind Kind) {
    FSeries.push_back(std::make_unique<TNiceSeries>(FOwner, Kind));
    return *FSeries.back();
}

void TChartModel::ClearSeries() {
    FLayout.ClearAxes();
    FSeries.clear();
}

TNiceSeries& TChartModel::GetSeries(int Index) const {
    if (Index < 0 || Index >= SeriesCount())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return *FSeries[Index];
}

bool TChartModel::ClientToValues(int X, int Y, double& XValue, double& YValue) const {
    const TRect& Plot = FLayout.PlotRect();
    if (X < Plot.Left || X >= Plot.Right || Y < Plot.Top || Y >= Plot.Bottom)
        return false;
    if (!FProperties.AxisXOnePerValue) {
        const TAxisMapping& Mapping = FLayout.XMapping();
        XValue = (X - Mapping.Origin) / Mapping.Scale + Mapping.Start;
    } else if (const TAxisInfo* Tick = NearestTick(FLayout.XAxis(), X)) {
        XValue = Tick->Value;
    }
    const TAxisMapping& Mapping = FLayout.YMapping();
    YValue = (Mapping.Origin - Y) / Mapping.Scale + Mapping.Start;
    return true;
}

void TChartModel::PaintTo(QPaintDevice& Device) {
    QPainter Painter(&Device);
    TCanvas Canvas(Painter);
    TChartPainter(FProperties, FLayout, FSeries, FBrushBitmaps).PaintChart(Canvas);
}
