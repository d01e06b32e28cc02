#include "chart/NiceChart.h"

#include "platform/HandlerGuard.h"

#include <QMouseEvent>

namespace {

constexpr int DefaultWidth = 300;
constexpr int DefaultHeight = 200;

} // namespace

TNiceChart::TNiceChart(QWidget* Owner) : QWidget(Owner), FModel(*this, this) {
    // The paint routine fills the whole client area itself; erasing first would only flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(DefaultWidth, DefaultHeight);
}

TNiceChart::~TNiceChart() = default;

template <typename T>
void TNiceChart::SetProperty(T TChartProperties::*Field, const T& Value) {
    if (FModel.Properties().*Field == Value)
        return;
    FModel.Properties().*Field = Value;
    UpdateChart();
}

void TNiceChart::SetGrid(bool TChartProperties::*Field, bool Value) {
    if (FModel.Properties().*Field == Value)
        return;
    FModel.Properties().*Field = Value;
    PaintNow();
}

void TNiceChart::SetScale(float TChartProperties::*Field, float Value) {
    if (FModel.Properties().*Field == Value)
        return;
    FModel.Properties().*Field = Value == 0.0f ? 1.0f : Value;
    UpdateChart();
}

void TNiceChart::SetShowLegend(bool Value) {
    SetProperty(&TChartProperties::ShowLegend, Value);
}

void TNiceChart::SetShowTitle(bool Value) {
    SetProperty(&TChartProperties::ShowTitle, Value);
}

void TNiceChart::SetBand(const std::optional<TXBand>& Value) {
    SetProperty(&TChartProperties::Band, Value);
}

void TNiceChart::SetLevelBand(const std::optional<TYBand>& Value) {
    SetProperty(&TChartProperties::LevelBand, Value);
}

void TNiceChart::SetGuideLine(const std::optional<TValueLine>& Value) {
    SetProperty(&TChartProperties::GuideLine, Value);
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
    FModel.Properties().TitleFont = Value;
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

void TNiceChart::ClearSeries() {
    FModel.ClearSeries();
    UpdateChart();
}

void TNiceChart::SuspendUpdates() {
    FUpdating = true;
}

void TNiceChart::ResumeUpdates() {
    FUpdating = false;
    UpdateChart();
}

void TNiceChart::TResumeUpdates::operator()() const {
    RunGuarded(Chart, [this] { Chart->ResumeUpdates(); });
}

platform::TScopeGuard<TNiceChart::TResumeUpdates> TNiceChart::SuspendedUpdates() {
    SuspendUpdates();
    return platform::TScopeGuard(TResumeUpdates{this});
}

void TNiceChart::UpdateChart() {
    if (FUpdating)
        return;
    FModel.CalculateLayout(width(), height());
    PaintNow();
}

void TNiceChart::PaintNow() {
    repaint();
}

void TNiceChart::paintEvent(QPaintEvent*) {
    RunGuarded(this, [this] { PaintTo(*this); });
}

void TNiceChart::resizeEvent(QResizeEvent* Event) {
    QWidget::resizeEvent(Event);
    RunGuarded(this, [this] { UpdateChart(); });
}

void TNiceChart::mouseMoveEvent(QMouseEvent* Event) {
    const QPoint At = Event->position().toPoint();
    if (OnMouseMove)
        RunGuarded(this, [&] { OnMouseMove(*this, Event->modifiers(), At.x(), At.y()); });
}

void TNiceChart::mousePressEvent(QMouseEvent* Event) {
    const QPoint At = Event->position().toPoint();
    if (OnMouseDown)
        RunGuarded(
            this, [&] { OnMouseDown(*this, Event->button(), Event->modifiers(), At.x(), At.y()); });
}

void TNiceChart::mouseReleaseEvent(QMouseEvent* Event) {
    const QPoint At = Event->position().toPoint();
    if (OnMouseUp)
        RunGuarded(this,
                   [&] { OnMouseUp(*this, Event->button(), Event->modifiers(), At.x(), At.y()); });
}
