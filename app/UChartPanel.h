#pragma once

// The lower part of the main window: the strip with the speed and energy toggles, the read-out of
// the shot under the mouse and the spread, and the chart of the series below it.

#include "app/USeries.h"

#include <QWidget>
#include <cstddef>
#include <string>

class QLabel;
class QToolButton;
class TNiceChart;

class TChartPanel : public QWidget {
public:
    explicit TChartPanel(QWidget* Parent);

    // The toggles' captions and the axis titles in the user's language and the display units.
    void ApplyTranslation(const TTranslate& Translate, const TUnitSystem& Units);
    // Adds the points of the shots the chart does not show yet, or, with Redraw, every point
    // again (other units, another weight, a deletion, the other quantity plotted).
    void ShowSeries(const TSeries& Series, bool Redraw);
    // Extreme spread and standard deviation of speed and energy.
    void ShowSpread(const TSeries& Series, const TTranslate& Translate);
    // The read-out of the shot under the chart's point X, Y.
    void ShowReadOut(int X, int Y, const TSeries& Series, const TTranslate& Translate);
    // The read-out follows the shots under a resting mouse, so that a deleted, cleared or
    // replaced shot is not shown as if it were still there.
    void RefreshReadOut(const TSeries& Series, const TTranslate& Translate);

    QWidget* const pnlChartCaption;
    QToolButton* const sbSpeedChart;
    QToolButton* const sbEnergyChart;
    QLabel* const lblChartText;
    QLabel* const lblSpreadText;
    TNiceChart* const chNiceChart;

private:
    std::string Hint(double X, const TSeries& Series, const TTranslate& Translate) const;

    // The shots the chart shows.
    std::size_t FShownShots = 0;
};
