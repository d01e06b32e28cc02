#include "chart/ChartLayout.h"

#include "chart/AxisScaling.h"
#include "chart/TextMetrics.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int TitleGap = 10;
// Between the rotated Y title and the widest Y label, and between that label and the axis.
constexpr int YTitleGap = 10;
constexpr int YLabelGap = 4;
// One tick per this many pixels of axis length, plus one.
constexpr int PixelsPerTick = 50;
constexpr int LegendPadding = 10;
constexpr int LegendEntryHeight = 20;
constexpr int LegendEntryGap = 2;
// The legend's symbol and margins around the caption.
constexpr int LegendSymbolWidth = 42;
constexpr int PlotToLegendGap = 20;

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

std::string Trimmed(const std::string& Text) {
    const auto First = std::find_if_not(Text.begin(), Text.end(), IsBlank);
    const auto Last = std::find_if_not(Text.rbegin(), Text.rend(), IsBlank).base();
    return First < Last ? std::string(First, Last) : std::string();
}

} // namespace

std::vector<std::string> CaptionLines(const std::string& Caption) {
    const std::string Text = Trimmed(Caption);
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    while (Start < Text.size()) {
        std::size_t End = Text.find_first_of("\r\n", Start);
        if (End == std::string::npos)
            End = Text.size();
        Lines.push_back(Trimmed(Text.substr(Start, End - Start)));
        Start = End + (Text.compare(End, 2, "\r\n") == 0 ? 2 : 1);
    }
    return Lines;
}

TChartLayout::TChartLayout(TChartProperties& Properties, TSeriesList& Series,
                           const QPaintDevice* Device)
    : FProperties(Properties), FSeries(Series), FDevice(Device) {}

void TChartLayout::ClearAxes() {
    FXAxis.clear();
    FYAxis.clear();
}

int TChartLayout::LineHeight() const {
    return TTextMetrics(FProperties.AxisFont, FDevice).TextHeight();
}

void TChartLayout::CalculateLayout(int Width, int Height) {
    FTitleWrapWidth = Width;
    LayOut(Width, Height);
    // The title is measured before the Y labels and the legend narrow it. When it then needs
    // more lines than it was given room for, it is measured again at the width it got, so that
    // none of it is cut off; the second pass may narrow it a little further, hence a third.
    for (int Pass = 0; Pass < 2 && TitleNeedsMoreRoom(); ++Pass) {
        FTitleWrapWidth = FTitleRect.Width();
        LayOut(Width, Height);
    }
}

void TChartLayout::LayOut(int Width, int Height) {
    ClearAxes();
    FLayoutWidth = Width;
    FLayoutHeight = Height;
    FMarkerSize = std::max(1, Nearest(Width * 0.004));
    FPlotRect = {ChartMargin, ChartMargin, Width - ChartMargin, Height - ChartMargin};
    const bool TitleShown = PlaceTitle();
    FPlotRect.Bottom -= 2 * LineHeight() + XTitleGap;
    BuildYAxis();
    FPlotRect.Left += LineHeight() + YTitleGap + WidestYCaption() + YLabelGap;
    FTitleRect.Left = FPlotRect.Left;
    FTitleRect.Right = FPlotRect.Right;
    PlaceYAxis();
    PlaceLegend(TitleShown);
    BuildXAxis();
    CalculateSeriesPoints();
}

bool TChartLayout::TitleShown() const {
    return FProperties.ShowTitle && !FProperties.Title.empty();
}

bool TChartLayout::PlaceTitle() {
    if (!TitleShown()) {
        FTitleRect = {};
        return false;
    }
    const TTextMetrics Metrics(FProperties.TitleFont, FDevice);
    const TRect Line{FPlotRect.Left, FPlotRect.Top,
                     FPlotRect.Left + std::min(FPlotRect.Width(), FTitleWrapWidth),
                     FPlotRect.Top + Metrics.TextHeight()};
    FTitleRect = Metrics.WrappedTextRect(Line, FProperties.Title);
    FPlotRect.Top = FTitleRect.Bottom + TitleGap;
    return true;
}

bool TChartLayout::TitleNeedsMoreRoom() const {
    if (!TitleShown() || FTitleRect.Width() >= FTitleWrapWidth)
        return false;
    const TTextMetrics Metrics(FProperties.TitleFont, FDevice);
    return Metrics.WrappedTextRect(FTitleRect, FProperties.Title).Bottom > FTitleRect.Bottom;
}

void TChartLayout::BuildYAxis() {
    if (FSeries.empty())
        return;
    const int H = FPlotRect.Height();
    const int TickCount = H / PixelsPerTick + 1;
    FNoData = true;
    double Lo = NoValue;
    double Hi = -NoValue;
    for (const auto& Series : FSeries) {
        if (Series->Values().empty())
            continue;
        Lo = std::min(Lo, Series->MinY());
        Hi = std::max(Hi, Series->MaxY());
        FNoData = false;
    }
    if (FNoData)
        return;
    const TAxisStep Step = ChooseAxisStep(TickCount, Lo, Hi);
    const double Scale = H / (std::max(1, TickCount - 1) * Step.Step);
    for (int i = 0; i < TickCount; ++i) {
        const double Offset = i * Step.Step;
        FYAxis.push_back({Step.Start + Offset, 0, Nearest(Offset * Scale),
                          FormatAxisValue((Step.Start + Offset) / FProperties.AxisYScale)});
    }
    FYMapping.Start = Step.Start;
    FYMapping.Scale = Scale;
}

int TChartLayout::WidestYCaption() const {
    const TTextMetrics Metrics(FProperties.AxisFont, FDevice);
    int Widest = 0;
    for (const TAxisInfo& Tick : FYAxis)
        Widest = std::max(Widest, Metrics.TextWidth(Tick.Caption));
    return Widest;
}

void TChartLayout::PlaceYAxis() {
    FZeroLineY = -1;
    for (TAxisInfo& Tick : FYAxis) {
        Tick.X = FPlotRect.Left;
        Tick.Y = FPlotRect.Bottom - Tick.Y;
        if (Tick.Value == 0)
            FZeroLineY = Tick.Y;
    }
    if (FZeroLineY == -1)
        FZeroLineY = FPlotRect.Bottom;
    FYMapping.Origin = FPlotRect.Bottom;
}

void TChartLayout::PlaceLegend(bool TitleShown) {
    if (!FProperties.ShowLegend || FSeries.empty()) {
        FLegendRect = {};
        return;
    }
    const TTextMetrics Metrics(FProperties.AxisFont, FDevice);
    int Y = LegendPadding;
    int Widest = 0;
    for (const auto& Series : FSeries) {
        Series->LegendTop = Y;
        const std::vector<std::string> Lines = CaptionLines(Series->Caption());
        for (const std::string& Line : Lines)
            Widest = std::max(Widest, Metrics.TextWidth(Line));
        Y += std::max(LegendEntryHeight, static_cast<int>(Lines.size()) * Metrics.TextHeight());
        if (Series != FSeries.back())
            Y += LegendEntryGap;
    }
    Widest += LegendSymbolWidth;
    Y += LegendPadding;
    FLegendRect = {FPlotRect.Right - Widest, FPlotRect.Top, FPlotRect.Right, FPlotRect.Top + Y};
    FPlotRect.Right = FLegendRect.Left - PlotToLegendGap;
    if (TitleShown)
        FTitleRect.Right = FPlotRect.Right;
}

void TChartLayout::BuildXAxis() {
    if (FSeries.empty() || FNoData)
        return;
    FBarCount = static_cast<int>(std::count_if(FSeries.begin(), FSeries.end(),
                                               [](const auto& S) { return S->Kind() == skBar; }));
    if (FBarCount > 0)
        FProperties.AxisXOnePerValue = true;
    if (FProperties.AxisXOnePerValue)
        BuildOnePerValueXAxis(FPlotRect.Width());
    else
        BuildNumericXAxis(FPlotRect.Width());
}

// Every distinct X gets a tick: without bars the first and last sit on the plot's edges and
// the others are spread evenly between them; with bars each sits in the middle of an equal slot.
void TChartLayout::BuildOnePerValueXAxis(int Width) {
    std::vector<double> Xs;
    for (const auto& Series : FSeries) {
        for (const TXYInfo& Value : Series->Values())
            Xs.push_back(Value.X);
    }
    // Anything that is not a number goes last, so that the order stays well defined.
    std::sort(Xs.begin(), Xs.end(),
              [](double A, double B) { return A < B || (std::isnan(B) && !std::isnan(A)); });
    int Distinct = 0;
    for (double Previous = NoValue; const double X : Xs) {
        Distinct += X != Previous;
        Previous = X;
    }
    double Slot = 0;
    int Offset = 0;
    if (FBarCount > 0 && Distinct > 0) {
        Slot = double(Width) / Distinct;
        Offset = Nearest(Slot / 2);
        FBarSlotWidth = Nearest(Slot);
    } else if (Distinct > 1) {
        Slot = double(Width) / (Distinct - 1);
    } else {
        // A lone X has no neighbour to space it against: it goes in the middle.
        Offset = Nearest(Width / 2.0);
    }
    int k = 0;
    for (double Previous = NoValue; const double X : Xs) {
        if (X == Previous)
            continue;
        FXAxis.push_back({X, Nearest(k++ * Slot) + FPlotRect.Left + Offset, FPlotRect.Bottom,
                          FormatAxisValue(X / FProperties.AxisXScale)});
        Previous = X;
    }
}

void TChartLayout::BuildNumericXAxis(int Width) {
    const int TickCount = Width / PixelsPerTick + 1;
    double Lo = NoValue;
    double Hi = -NoValue;
    for (const auto& Series : FSeries) {
        Lo = std::min(Lo, Series->MinX());
        Hi = std::max(Hi, Series->MaxX());
    }
    const TAxisStep Step = ChooseAxisStep(TickCount, Lo, Hi);
    const double Scale = Width / (std::max(1, TickCount - 1) * Step.Step);
    for (int i = 0; i < TickCount; ++i) {
        const double Offset = i * Step.Step;
        FXAxis.push_back({Step.Start + Offset, Nearest(Offset * Scale) + FPlotRect.Left,
                          FPlotRect.Bottom,
                          FormatAxisValue((Step.Start + Offset) / FProperties.AxisXScale)});
    }
    FXMapping = {Step.Start, Scale, FPlotRect.Left};
}

void TChartLayout::ValueToClient(double X, double Y, int& ScreenX, int& ScreenY) const {
    if (FProperties.AxisXOnePerValue) {
        // The ticks are sorted and distinct, so the first match is the only one.
        const auto Tick = std::lower_bound(
            FXAxis.begin(), FXAxis.end(), X,
            [](const TAxisInfo& Info, double Value) { return Info.Value < Value; });
        if (Tick != FXAxis.end() && Tick->Value == X)
            ScreenX = Tick->X;
    } else {
        ScreenX = Nearest((X - FXMapping.Start) * FXMapping.Scale) + FXMapping.Origin;
    }
    ScreenY = FYMapping.Origin - Nearest((Y - FYMapping.Start) * FYMapping.Scale);
}

void TChartLayout::CalculateSeriesPoints() {
    if (FSeries.empty() || FNoData)
        return;
    int BarIndex = 0;
    const int BarWidth = FBarCount > 0 ? Nearest(double(FBarSlotWidth) / (FBarCount + 1)) : 0;
    for (const auto& Series : FSeries) {
        Series->Spline().Clear();
        if (Series->Kind() == skLine)
            PlaceMarkers(*Series);
        else if (Series->Kind() == skSmooth)
            PlaceCurve(*Series);
        else if (Series->Kind() == skBar)
            PlaceBars(*Series, BarIndex++, BarWidth);
    }
}

void TChartLayout::PlaceMarkers(TNiceSeries& Series) {
    for (TXYInfo& Value : Series.FValues) {
        ValueToClient(Value.X, Value.Y, Value.ScreenX, Value.ScreenY);
        Value.HitRect = {Value.ScreenX - FMarkerSize, Value.ScreenY - FMarkerSize,
                         Value.ScreenX + FMarkerSize, Value.ScreenY + FMarkerSize};
    }
}

// The curve is interpolated through the values' pixels, with 20 segments per value.
void TChartLayout::PlaceCurve(TNiceSeries& Series) {
    PlaceMarkers(Series);
    TBSpline& Spline = Series.Spline();
    for (const TXYInfo& Value : Series.Values())
        Spline.AddPoint({static_cast<float>(Value.ScreenX), static_cast<float>(Value.ScreenY)});
    Spline.SetInterpolated(true);
    Spline.SetFragments(20 * Spline.NumberOfPoints());
}

// The slot is cut into BarCount + 1 parts; bar series take consecutive parts from half a part
// inside the slot's left edge, each bar filling the middle 80 % of its part, growing from 0.
void TChartLayout::PlaceBars(TNiceSeries& Series, int BarIndex, int BarWidth) {
    const int Left =
        Nearest(-FBarSlotWidth / 2.0 + BarWidth / 2.0 + BarIndex * BarWidth + 0.1 * BarWidth);
    const int Width = Nearest(0.8 * BarWidth);
    for (TXYInfo& Value : Series.FValues) {
        ValueToClient(Value.X, Value.Y, Value.ScreenX, Value.ScreenY);
        const int Edge = Value.ScreenX + Left;
        if (Value.Y >= 0)
            Value.HitRect = {Edge, Value.ScreenY, Edge + Width, FZeroLineY};
        else
            Value.HitRect = {Edge, FZeroLineY, Edge + Width, Value.ScreenY};
    }
}
