#pragma once

// The program's own chart control: series of (X, Y) values on a white plot with a title, axis
// titles, numeric or one-per-value X labels, grid lines and an optional legend. Every change
// lays the chart out again and paints it at once, unless updates are suspended.

#include "chart/ChartLayout.h"
#include "chart/ChartPalette.h"
#include "chart/ChartProperties.h"
#include "chart/LabelWidths.h"
#include "chart/NiceSeries.h"

#include <QWidget>
#include <functional>

class TCanvas;

class TNiceChart : public QWidget {
public:
    using TMouseMoveEvent =
        std::function<void(TNiceChart& Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TMouseEvent = std::function<void(TNiceChart& Sender, Qt::MouseButton Button,
                                           Qt::KeyboardModifiers Shift, int X, int Y)>;

    explicit TNiceChart(QWidget* Owner = nullptr);
    ~TNiceChart() override;

    bool ShowLegend() const { return FProperties.ShowLegend; }
    void SetShowLegend(bool Value);
    bool ShowTitle() const { return FProperties.ShowTitle; }
    void SetShowTitle(bool Value);
    // The grids only repaint, also while updates are suspended.
    bool ShowXGrid() const { return FProperties.ShowXGrid; }
    void SetShowXGrid(bool Value);
    bool ShowYGrid() const { return FProperties.ShowYGrid; }
    void SetShowYGrid(bool Value);
    const std::string& Title() const { return FProperties.Title; }
    void SetTitle(const std::string& Value);
    const QFont& TitleFont() const { return FProperties.TitleFont; }
    void SetTitleFont(const QFont& Value);
    const std::string& AxisXTitle() const { return FProperties.AxisXTitle; }
    void SetAxisXTitle(const std::string& Value);
    const std::string& AxisYTitle() const { return FProperties.AxisYTitle; }
    void SetAxisYTitle(const std::string& Value);
    bool AxisXOnePerValue() const { return FProperties.AxisXOnePerValue; }
    void SetAxisXOnePerValue(bool Value);
    // A scale of 0 is stored as 1.
    float AxisXScale() const { return FProperties.AxisXScale; }
    void SetAxisXScale(float Value);
    float AxisYScale() const { return FProperties.AxisYScale; }
    void SetAxisYScale(float Value);
    bool Monochrome() const { return FProperties.Monochrome; }
    void SetMonochrome(bool Value);
    bool SoftColors() const { return FProperties.SoftColors; }
    void SetSoftColors(bool Value);
    const QFont& AxisFont() const { return FProperties.AxisFont; }
    const QColor& Color() const { return FProperties.Color; }

    // A new empty series with the caption "Series"; neither lays out nor paints.
    TNiceSeries& AddSeries(TSeriesKind Kind);
    void ClearSeries();
    // Raises std::out_of_range outside 0..SeriesCount() - 1.
    TNiceSeries& GetSeries(int Index) const;
    int SeriesCount() const { return static_cast<int>(FSeries.size()); }

    // Until ResumeUpdates, changes neither lay out nor paint (the grid switches still repaint).
    // Suspensions do not nest.
    void SuspendUpdates();
    // Lays out and paints, whether or not updates were suspended.
    void ResumeUpdates();
    bool Updating() const { return FUpdating; }

    // The values at a client pixel inside the plot; in one-per-value mode X snaps to the
    // nearest tick. False, with the outputs untouched, outside the plot.
    bool ClientToValues(int X, int Y, double& XValue, double& YValue) const;

    // Lays out for the current size and paints, unless updates are suspended.
    void UpdateChart();
    // Paints the whole chart now.
    void PaintNow();
    // The picture of the last layout on any paint device, as the control paints itself.
    void PaintTo(QPaintDevice& Device);
    const TChartLayout& Layout() const { return FLayout; }

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
    template <typename T>
    void SetProperty(T TChartProperties::*Field, const T& Value);
    void SetGrid(bool TChartProperties::*Field, bool Value);
    void SetScale(float TChartProperties::*Field, float Value);
    void PaintChart(TCanvas& Canvas);
    // Runs an event handler; what it raises goes to the error box, not into Qt's event loop.
    template <typename Handler>
    void Guarded(Handler&& Run);

    TBrushBitmaps FBrushBitmaps;
    TLabelWidths FLabelWidths;
    TSeriesList FSeries;
    TChartProperties FProperties;
    bool FUpdating = false;
    TChartLayout FLayout;
};
