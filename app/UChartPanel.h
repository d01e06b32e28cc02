#pragma once

// The lower part of the main window: the strip with the speed and energy toggles, the read-out of
// the shot under the mouse and the spread, and the chart of the series below it.

#include "app/USeries.h"

#include <QWidget>
#include <cstddef>
#include <functional>
#include <string>

class QLabel;
class QToolButton;
class TNiceChart;

class TChartPanel : public QWidget {
public:
    // The panel charts Series, which outlives it.
    TChartPanel(const TSeries& Series, QWidget* Parent);

    // Every point again, after the other quantity was chosen.
    std::function<void()> Redraw;

    // The toggles' captions, the axis titles and the read-outs in the user's language and the
    // display units.
    void ApplyTranslation(const TTranslate& Translate, const TUnitSystem& Units);
    // Adds the points of the shots the chart does not show yet, or, with Redraw, every point
    // again (other units, another weight, a deletion, the other quantity plotted).
    void ShowSeries(bool Redraw);
    // Extreme spread and standard deviation of speed and energy.
    void ShowSpread();
    // The read-out follows the shots under a resting mouse, so that a deleted, cleared or
    // replaced shot is not shown as if it were still there.
    void RefreshReadOut();

    void sbSpeedChartClick() { Redraw(); }
    void sbEnergyChartClick() { Redraw(); }
    // The read-out of the shot under the chart's point X, Y.
    void chNiceChartMouseMove(int X, int Y);

    QWidget* const pnlChartCaption;
    QToolButton* const sbSpeedChart;
    QToolButton* const sbEnergyChart;
    QLabel* const lblChartText;
    QLabel* const lblSpreadText;
    TNiceChart* const chNiceChart;

private:
    std::string Hint(double X) const;

    const TSeries& FSeries;
    TTranslate FTranslate = [](const std::string& Text) { return Text; };

    // The shots the chart shows.
    std::size_t FShownShots = 0;
};
