#pragma once

// The program's own chart control: series of (X, Y) values on a white plot with a title, axis
// titles, numeric or one-per-value X labels, grid lines and an optional legend. Every change
// lays the chart out again and paints it at once, unless updates are suspended.

#include "chart/ChartModel.h"
#include "platform/ScopeGuard.h"

#include <QWidget>
#include <functional>

class TNiceChart : public QWidget, public TSeriesOwner {
public:
    using TMouseMoveEvent =
        std::function<void(TNiceChart& Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TMouseEvent = std::function<void(TNiceChart& Sender, Qt::MouseButton Button,
                                           Qt::KeyboardModifiers Shift, int X, int Y)>;

    explicit TNiceChart(QWidget* Owner = nullptr);
    ~TNiceChart() override;

    bool ShowLegend() const { return Properties().ShowLegend; }
    void SetShowLegend(bool Value);
    bool ShowTitle() const { return Properties().ShowTitle; }
    void SetShowTitle(bool Value);
    // The grids only repaint, also while updates are suspended.
    bool ShowXGrid() const { return Properties().ShowXGrid; }
    void SetShowXGrid(bool Value);
    bool ShowYGrid() const { return Properties().ShowYGrid; }
    void SetShowYGrid(bool Value);
    const std::string& Title() const { return Properties().Title; }
    void SetTitle(const std::string& Value);
    const QFont& TitleFont() const { return Properties().TitleFont; }
    void SetTitleFont(const QFont& Value);
    const std::string& AxisXTitle() const { return Properties().AxisXTitle; }
    void SetAxisXTitle(const std::string& Value);
    const std::string& AxisYTitle() const { return Properties().AxisYTitle; }
    void SetAxisYTitle(const std::string& Value);
    bool AxisXOnePerValue() const { return Properties().AxisXOnePerValue; }
    void SetAxisXOnePerValue(bool Value);
    // A scale of 0 is stored as 1.
    float AxisXScale() const { return Properties().AxisXScale; }
    void SetAxisXScale(float Value);
    float AxisYScale() const { return Properties().AxisYScale; }
    void SetAxisYScale(float Value);
    bool Monochrome() const { return Properties().Monochrome; }
    void SetMonochrome(bool Value);
    bool SoftColors() const { return Properties().SoftColors; }
    void SetSoftColors(bool Value);
    const QFont& AxisFont() const { return Properties().AxisFont; }
    const QColor& Color() const { return Properties().Color; }
    // Both need Xs that a value has in one-per-value mode; either is drawn only where it does.
    const std::optional<TXBand>& Band() const { return Properties().Band; }
    void SetBand(const std::optional<TXBand>& Value);
    const std::optional<TYBand>& LevelBand() const { return Properties().LevelBand; }
    void SetLevelBand(const std::optional<TYBand>& Value);
    const std::optional<TValueLine>& GuideLine() const { return Properties().GuideLine; }
    void SetGuideLine(const std::optional<TValueLine>& Value);

    // A new empty series with the caption "Series"; neither lays out nor paints.
    TNiceSeries& AddSeries(TSeriesKind Kind) { return FModel.AddSeries(Kind); }
    void ClearSeries();
    // Raises std::out_of_range outside 0..SeriesCount() - 1.
    TNiceSeries& GetSeries(int Index) const { return FModel.GetSeries(Index); }
    int SeriesCount() const { return FModel.SeriesCount(); }

    // Until ResumeUpdates, changes neither lay out nor paint (the grid switches still repaint).
    // Suspensions do not nest.
    void SuspendUpdates();
    // Lays out and paints, whether or not updates were suspended.
    void ResumeUpdates();
    bool Updating() const { return FUpdating; }

    // What the guard of SuspendedUpdates runs.
    struct TResumeUpdates {
        TNiceChart* Chart;
        void operator()() const;
    };
    // Suspends updates until the returned guard goes, which resumes them, also when an exception
    // leaves the scope, so that a failed refill does not leave the chart frozen. What the resumed
    // layout or paint raises goes to the error box: it cannot leave a destructor.
    [[nodiscard]] platform::TScopeGuard<TResumeUpdates> SuspendedUpdates();

    // The values at a client pixel inside the plot; in one-per-value mode X snaps to the
    // nearest tick. False, with the outputs untouched, outside the plot.
    bool ClientToValues(int X, int Y, double& XValue, double& YValue) const {
        return FModel.ClientToValues(X, Y, XValue, YValue);
    }

    // Lays out for the current size and paints, unless updates are suspended.
    void UpdateChart() override;
    // Paints the whole chart now.
    void PaintNow();
    // The picture of the last layout on any paint device, as the control paints itself.
    void PaintTo(QPaintDevice& Device) { FModel.PaintTo(Device); }
    // The same picture for code without widgets; it refers to this control.
    TChartPicture Picture() {
        return {size(), [this](QPaintDevice& Device) { PaintTo(Device); }};
    }
    const TChartLayout& Layout() const { return FModel.Layout(); }

    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    const TChartProperties& Properties() const { return FModel.Properties(); }
    template <typename T>
    void SetProperty(T TChartProperties::*Field, const T& Value);
    void SetGrid(bool TChartProperties::*Field, bool Value);
    void SetScale(float TChartProperties::*Field, float Value);

    TChartModel FModel;
    bool FUpdating = false;
};
