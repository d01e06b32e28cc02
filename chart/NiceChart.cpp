#include "chart/NiceChart.h"

#include "chart/Canvas.h"
#include "chart/ChartPainter.h"
#include "platform/ModalDialogs.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

namespace {

constexpr int DefaultWidth = 300;
constexpr int DefaultHeight = 200;

} // namespace

TNiceChart::TNiceChart(QWidget* Owner) : QWidget(Owner), FLayout(FProperties, FSeries, this) {
    // The paint routine fills the whole client area itself; erasing first would only flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(DefaultWidth, DefaultHeight);
}

TNiceChart::~TNiceChart() = default;

template <typename T>
void TNiceChart::SetProperty(T TChartProperties::*Field, const T& Value) {
    if (FProperties.*Field == Value)
        return;
    FProperties.*Field = Value;
    UpdateChart();
}

void TNiceChart::SetGrid(bool TChartProperties::*Field, bool Value) {
    if (FProperties.*Field == Value)
        return;
    FProperties.*Field = Value;
    PaintNow();
}

void TNiceChart::SetScale(float TChartProperties::*Field, float Value) {
    if (FProperties.*Field == Value)
        return;
    FProperties.*Field = Value == 0.0f ? 1.0f : Value;
    UpdateChart();
}

void TNiceChart::SetShowLegend(bool Value) {
    SetProperty(&TChartProperties::ShowLegend, Value);
}

void TNiceChart::SetShowTitle(bool Value) {
    SetProperty(&TChartProperties::ShowTitle, Value);
}

void TNiceChart::SetShowXGrid(bool Value) {
    SetGrid(&TChartProperties::ShowXGrid, Value);
}

void TNiceChart::SetShowYGrid(bool Value) {
    SetGrid(&TChartProperties::ShowYGrid, Value);
}

void TNiceChart::SetTitle(const std::string& Value) {
    SetProperty(&TChartProperties::Title, Value);
}

// The title font is copied in and always refreshes, as a change of any of its attributes would.
void TNiceChart::SetTitleFont(const QFont& Value) {
    FProperties.TitleFont = Value;
    UpdateChart();
}

void TNiceChart::SetAxisXTitle(const std::string& Value) {
    SetProperty(&TChartProperties::AxisXTitle, Value);
}

void TNiceChart::SetAxisYTitle(const std::string& Value) {
    SetProperty(&TChartProperties::AxisYTitle, Value);
}

void TNiceChart::SetAxisXOnePerValue(bool Value) {
    SetProperty(&TChartProperties::AxisXOnePerValue, Value);
}

void TNiceChart::SetAxisXScale(float Value) {
    SetScale(&TChartProperties::AxisXScale, Value);
}

void TNiceChart::SetAxisYScale(float Value) {
    SetScale(&TChartProperties::AxisYScale, Value);
}

void TNiceChart::SetMonochrome(bool Value) {
    SetProperty(&TChartProperties::Monochrome, Value);
}

void TNiceChart::SetSoftColors(bool Value) {
    SetProperty(&TChartProperties::SoftColors, Value);
}

TNiceSeries& TNiceChart::AddSeries(TSeriesKind Kind) {
    FSeries.push_back(std::make_unique<TNiceSeries>(*this, Kind));
    return *FSeries.back();
}

void TNiceChart::ClearSeries() {
    FSeries.clear();
    FLayout.ClearAxes();
    UpdateChart();
}

TNiceSeries& TNiceChart::GetSeries(int Index) const {
    if (Index < 0 || Index >= SeriesCount())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return *FSeries[Index];
}

void TNiceChart::SuspendUpdates() {
    FUpdating = true;
}

void TNiceChart::ResumeUpdates() {
    FUpdating = false;
    FLayout.CalculateLayout(width(), height());
    PaintNow();
}

void TNiceChart::UpdateChart() {
    if (FUpdating)
        return;
    FLayout.CalculateLayout(width(), height());
    PaintNow();
}

void TNiceChart::PaintNow() {
    repaint();
}

bool TNiceChart::ClientToValues(int X, int Y, double& XValue, double& YValue) const {
    const TRect& Plot = FLayout.PlotRect();
    if (X < Plot.Left || X >= Plot.Right || Y < Plot.Top || Y >= Plot.Bottom)
        return false;
    if (FProperties.AxisXOnePerValue) {
        const TAxisInfo* Closest = nullptr;
        for (const TAxisInfo& Tick : FLayout.XAxis()) {
            if (!Closest || std::abs(Tick.X - X) < std::abs(Closest->X - X))
                Closest = &Tick;
        }
        if (Closest)
            XValue = Closest->Value;
    } else {
        const TAxisMapping& Mapping = FLayout.XMapping();
        XValue = (X - Mapping.Origin) / Mapping.Scale + Mapping.Start;
    }
    const TAxisMapping& Mapping = FLayout.YMapping();
    YValue = (Mapping.Origin - Y) / Mapping.Scale + Mapping.Start;
    return true;
}

void TNiceChart::PaintChart(TCanvas& Canvas) {
    TChartPainter(FProperties, FLayout, FSeries, FBrushBitmaps, FLabelWidths).PaintChart(Canvas);
}

void TNiceChart::PaintTo(QPaintDevice& Device) {
    QPainter Painter(&Device);
    TCanvas Canvas(Painter);
    PaintChart(Canvas);
}

template <typename Handler>
void TNiceChart::Guarded(Handler&& Run) {
    try {
        Run();
    } catch (const std::exception& E) {
        platform::ModalDialogs().ShowError(this, E.what());
    }
}

void TNiceChart::paintEvent(QPaintEvent*) {
    Guarded([this] { PaintTo(*this); });
}

void TNiceChart::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    Guarded([this] { UpdateChart(); });
}

void TNiceChart::mouseMoveEvent(QMouseEvent* Event) {
    const QPoint At = Event->position().toPoint();
    if (OnMouseMove)
        Guarded([&] { OnMouseMove(*this, Event->modifiers(), At.x(), At.y()); });
}

void TNiceChart::mousePressEvent(QMouseEvent* Event) {
    const QPoint At = Event->position().toPoint();
    if (OnMouseDown)
        Guarded([&] { OnMouseDown(*this, Event->button(), Event->modifiers(), At.x(), At.y()); });
}

void TNiceChart::mouseReleaseEvent(QMouseEvent* Event) {
    const QPoint At = Event->position().toPoint();
    if (OnMouseUp)
        Guarded([&] { OnMouseUp(*this, Event->button(), Event->modifiers(), At.x(), At.y()); });
}
