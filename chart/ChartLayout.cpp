#include "chart/ChartLayout.h"

#include "chart/AxisScaling.h"
#include "chart/TextMetrics.h"

#include <algorithm>

namespace {

// The blank border around everything.
constexpr int ChartMargin = 20;
constexpr int TitleGap = 10;
// Between the rotated Y title and the widest Y label.
constexpr int YTitleGap = 10;
// Between an axis and its labels.
constexpr int LabelGap = 4;
// The X title lies one line and this many pixels below the X axis, under the labels.
constexpr int XTitleGap = 14;
// One tick per this many pixels of axis length, plus one.
constexpr int PixelsPerTick = 50;
// Legend entries: a symbol this far inside the box's left edge and this big, the caption a few
// pixels right of it; entries are as high as the symbol at least, a little apart.
constexpr int LegendPadding = 10;
constexpr int LegendSymbolSize = 20;
constexpr int LegendTextIndent = LegendPadding + LegendSymbolSize + 2;
constexpr int LegendEntryGap = 2;
constexpr int PlotToLegendGap = 20;

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

std::string Trimmed(const std::string& Text) {
    const auto First = std::find_if_not(Text.begin(), Text.end(), IsBlank);
    const auto Last = std::find_if_not(Text.rbegin(), Text.rend(), IsBlank).base();
    return First < Last ? std::string(First, Last) : std::string();
}

// An entry whose top lies Top pixels below the legend box's top left corner, relative to it.
// The caption's lines are centred on the symbol when one line is lower than the symbol.
TLegendEntry LegendEntryAt(int Top, const std::string& Caption, int LineHeight) {
    TLegendEntry Entry;
    Entry.Symbol = {LegendPadding, Top, LegendPadding + LegendSymbolSize, Top + LegendSymbolSize};
    int LineTop = Top + (LegendSymbolSize - LineHeight) / 2;
    for (std::string& Line : CaptionLines(Caption)) {
        Entry.Lines.push_back({{LegendTextIndent, LineTop}, std::move(Line)});
        LineTop += LineHeight;
    }
    return Entry;
}

void Shift(TLegendEntry& Entry, int X, int Y) {
    Entry.Symbol = {Entry.Symbol.Left + X, Entry.Symbol.Top + Y, Entry.Symbol.Right + X,
                    Entry.Symbol.Bottom + Y};
    for (TTextLine& Line : Entry.Lines)
        Line.At += QPoint(X, Y);
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
    FSlotAxis.Clear();
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
    FPlotRect.Left += LineHeight() + YTitleGap + WidestYCaption() + LabelGap;
    FTitleRect.Left = FPlotRect.Left;
    FTitleRect.Right = FPlotRect.Right;
    PlaceYAxis();
    PlaceLegend(TitleShown);
    PlaceLabels();
    BuildXAxis();
    CalculateSeriesPoints();
    PlaceOverlays();
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
    FNoData = std::all_of(FSeries.begin(), FSeries.end(),
                          [](const auto& Series) { return Series->Values().empty(); });
    if (FNoData)
        return;
    TExtremes Ys;
    for (const auto& Series : FSeries)
        Ys.Add({Series->MinY(), Series->MaxY()});
    const TAxisStep Step = ChooseAxisStep(TickCount, Ys.Min, Ys.Max);
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
    FLegendEntries.clear();
    if (!FProperties.ShowLegend || FSeries.empty()) {
        FLegendRect = {};
        return;
    }
    const TTextMetrics Metrics(FProperties.AxisFont, FDevice);
    int Y = LegendPadding;
    int Widest = 0;
    for (const auto& Series : FSeries) {
        Series->LegendTop = Y;
        FLegendEntries.push_back(LegendEntryAt(Y, Series->Caption(), Metrics.TextHeight()));
        const std::vector<TTextLine>& Lines = FLegendEntries.back().Lines;
        for (const TTextLine& Line : Lines)
            Widest = std::max(Widest, Metrics.TextWidth(Line.Text));
        Y += std::max(LegendSymbolSize, static_cast<int>(Lines.size()) * Metrics.TextHeight());
        if (Series != FSeries.back())
            Y += LegendEntryGap;
    }
    const int Width = LegendTextIndent + Widest + LegendPadding;
    FLegendRect = {FPlotRect.Right - Width, FPlotRect.Top, FPlotRect.Right,
                   FPlotRect.Top + Y + LegendPadding};
    FPlotRect.Right = FLegendRect.Left - PlotToLegendGap;
    if (TitleShown)
        FTitleRect.Right = FPlotRect.Right;
    for (TLegendEntry& Entry : FLegendEntries)
        Shift(Entry, FLegendRect.Left, FLegendRect.Top);
}

// The X title is centred under the plot below the labels; the Y title, turned to read upward,
// is centred along the plot's height on the left margin.
void TChartLayout::PlaceLabels() {
    const TTextMetrics Bold(FProperties.AxisTitleFont(), FDevice);
    const TRect& Plot = FPlotRect;
    FLabelPlaces.XTitle = {Plot.Left + (Plot.Width() - Bold.TextWidth(FProperties.AxisXTitle)) / 2,
                           Plot.Bottom + Bold.TextHeight() + XTitleGap};
    FLabelPlaces.YTitle = {
        ChartMargin, Plot.Bottom - (Plot.Height() - Bold.TextWidth(FProperties.AxisYTitle)) / 2};
    FLabelPlaces.XLabelTop = Plot.Bottom + LabelGap;
    FLabelPlaces.YLabelRight = Plot.Left - LabelGap;
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

// Every distinct X gets a slot; a pixel column with several gets one tick, for the first of them.
void TChartLayout::BuildOnePerValueXAxis(int Width) {
    FSlotAxis.Collect(FSeries);
    FSlotAxis.Spread(FPlotRect.Left, Width, FBarCount > 0);
    FBarSlotWidth = FSlotAxis.BarSlotWidth();
    for (int Slot = 0; Slot < FSlotAxis.Count(); Slot = FSlotAxis.NextColumn(Slot)) {
        const double X = FSlotAxis.X(Slot);
        FXAxis.push_back({X, FSlotAxis.Pixel(Slot), FPlotRect.Bottom,
                          FormatAxisValue(X / FProperties.AxisXScale)});
    }
}

void TChartLayout::BuildNumericXAxis(int Width) {
    const int TickCount = Width / PixelsPerTick + 1;
    TExtremes Xs;
    for (const auto& Series : FSeries)
        Xs.Add({Series->MinX(), Series->MaxX()});
    const TAxisStep Step = ChooseAxisStep(TickCount, Xs.Min, Xs.Max);
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
        const int Slot = FSlotAxis.SlotOf(X);
        if (Slot >= 0)
            ScreenX = FSlotAxis.Pixel(Slot);
    } else {
        ScreenX = ScreenXOf(X);
    }
    ScreenY = ScreenYOf(Y);
}
