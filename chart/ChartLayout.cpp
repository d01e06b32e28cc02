#include "chart/ChartLayout.h"

#include "chart/AxisScaling.h"
#include "chart/TextMetrics.h"

#include <algorithm>
#include <cmath>

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
// The legend lies above the plot, so that it takes none of the plot's width: its entries run
// in rows, each a symbol this big and its caption a few pixels right of it, as high as the
// symbol at least, a little apart; the box keeps a padding around them.
constexpr int LegendPadding = 10;
constexpr int LegendSymbolSize = 20;
constexpr int LegendTextIndent = LegendSymbolSize + 2;
constexpr int LegendEntryGap = 2;
constexpr int LegendColumnGap = 16;
constexpr int LegendToPlotGap = 14;

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

std::string Trimmed(const std::string& Text) {
    const auto First = std::find_if_not(Text.begin(), Text.end(), IsBlank);
    const auto Last = std::find_if_not(Text.rbegin(), Text.rend(), IsBlank).base();
    return First < Last ? std::string(First, Last) : std::string();
}

// An entry with its symbol's top left corner at At, relative to the legend box. The caption's
// lines are centred on the symbol when one line is lower than the symbol.
TLegendEntry LegendEntryAt(QPoint At, std::vector<std::string> Lines, int LineHeight) {
    TLegendEntry Entry;
    Entry.Symbol = {At.x(), At.y(), At.x() + LegendSymbolSize, At.y() + LegendSymbolSize};
    int LineTop = At.y() + (LegendSymbolSize - LineHeight) / 2;
    for (std::string& Line : Lines) {
        Entry.Lines.push_back({{At.x() + LegendTextIndent, LineTop}, std::move(Line)});
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
    FXLabels.clear();
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
    PlaceTitle();
    PlaceLegend();
    FPlotRect.Bottom -= 2 * LineHeight() + XTitleGap;
    BuildYAxis();
    FPlotRect.Left += LineHeight() + YTitleGap + WidestYCaption() + LabelGap;
    FTitleRect.Left = FPlotRect.Left;
    FTitleRect.Right = FPlotRect.Right;
    PlaceYAxis();
    PlaceLabels();
    BuildXAxis();
    CalculateSeriesPoints();
    PlaceOverlays();
}

bool TChartLayout::TitleShown() const {
    return FProperties.ShowTitle && !FProperties.Title.empty();
}

void TChartLayout::PlaceTitle() {
    if (!TitleShown()) {
        FTitleRect = {};
        return;
    }
    const TTextMetrics Metrics(FProperties.TitleFont, FDevice);
    const TRect Line{FPlotRect.Left, FPlotRect.Top,
                     FPlotRect.Left + std::min(FPlotRect.Width(), FTitleWrapWidth),
                     FPlotRect.Top + Metrics.TextHeight()};
    FTitleRect = Metrics.WrappedTextRect(Line, FProperties.Title);
    FPlotRect.Top = FTitleRect.Bottom + TitleGap;
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

// The entries fill a row across the plot's width before the next row starts.
void TChartLayout::PlaceLegend() {
    FLegendEntries.clear();
    if (!FProperties.ShowLegend || FSeries.empty()) {
        FLegendRect = {};
        return;
    }
    const TTextMetrics Metrics(FProperties.AxisFont, FDevice);
    QPoint At(LegendPadding, LegendPadding);
    int RowHeight = 0, Right = 0;
    for (const auto& Series : FSeries) {
        std::vector<std::string> Lines = CaptionLines(Series->Caption());
        int Width = 0;
        for (const std::string& Line : Lines)
            Width = std::max(Width, LegendTextIndent + Metrics.TextWidth(Line));
        if (At.x() > LegendPadding && At.x() + Width + LegendPadding > FPlotRect.Width()) {
            At = {LegendPadding, At.y() + RowHeight + LegendEntryGap};
            RowHeight = 0;
        }
        Series->LegendTop = At.y();
        RowHeight = std::max(
            {RowHeight, LegendSymbolSize, static_cast<int>(Lines.size()) * Metrics.TextHeight()});
        Right = std::max(Right, At.x() + Width);
        FLegendEntries.push_back(LegendEntryAt(At, std::move(Lines), Metrics.TextHeight()));
        At.rx() += Width + LegendColumnGap;
    }
    FLegendRect = {FPlotRect.Left, FPlotRect.Top, FPlotRect.Left + Right + LegendPadding,
                   FPlotRect.Top + At.y() + RowHeight + LegendPadding};
    FPlotRect.Top = FLegendRect.Bottom + LegendToPlotGap;
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
    if (FProperties.AxisXOnePerValue) {
        BuildOnePerValueXAxis(FPlotRect.Width());
        LabelSlots();
    } else {
        BuildNumericXAxis(FPlotRect.Width());
        FXLabels = FXAxis;
    }
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

// The labels of the first and the last slot are the widest as a rule: the longest numbers.
void TChartLayout::LabelSlots() {
    const int Count = FSlotAxis.Count();
    if (Count == 0)
        return;
    const auto Caption = [this](int Slot) {
        return FormatAxisValue(FSlotAxis.X(Slot) / FProperties.AxisXScale);
    };
    const TTextMetrics Metrics(FProperties.AxisFont, FDevice);
    const int Widest =
        std::max(Metrics.TextWidth(Caption(0)), Metrics.TextWidth(Caption(Count - 1)));
    const long long Step = RoundLabelStep(FSlotAxis.SlotWidth(), Widest + MinimumLabelGap);
    const double First = FSlotAxis.X(0);
    const bool Numbered = std::fabs(First) < 1e15 && First == std::floor(First) &&
                          FSlotAxis.X(Count - 1) - First == Count - 1;
    const long long Offset = Numbered ? static_cast<long long>(First) % Step : 0;
    for (long long Slot = (Step - Offset) % Step; Slot < Count; Slot += Step) {
        const int Index = static_cast<int>(Slot);
        FXLabels.push_back(
            {FSlotAxis.X(Index), FSlotAxis.Pixel(Index), FPlotRect.Bottom, Caption(Index)});
    }
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
