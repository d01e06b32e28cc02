#pragma once

// The lower part of the main window: the strip with the speed and energy toggles, the read-out of
// the shot under the mouse and the spread, and the chart of the series below it. The chart's menu
// adds the tuning tools: the usable shots of a fill as a shaded band, the drift of speed as a line,
// both told in words over the chart, and the histogram of the plotted quantity instead of the
// shots.

#include "app/UHistogramView.h"
#include "series/USeries.h"
#include "series/UTuningFindings.h"

#include <QWidget>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QToolButton;
class TNiceChart;

class TChartPanel : public QWidget {
public:
    // The panel charts Series, which outlives it.
    TChartPanel(const TSeries& Series, QWidget* Parent);

    // Every point again, after the other quantity or a tool was chosen.
    std::function<void()> Redraw;
    // The widest spread of a fill's usable shots, in the display unit.
    std::function<double()> UsableSpread;
    // The pressures noted with the series, when both are.
    std::function<std::optional<TFillPressures>()> FillPressures;

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
    // The usable shots and the drift now, in short, as the report's facts.
    std::vector<std::pair<std::string, std::string>> FindingsFacts() const;

    void sbSpeedChartClick() { Redraw(); }
    void sbEnergyChartClick() { Redraw(); }
    void ToolToggled() { Redraw(); }
    // The read-out of the shot under the chart's point X, Y.
    void chNiceChartMouseMove(int X, int Y);

    QWidget* const pnlChartCaption;
    QToolButton* const sbSpeedChart;
    QToolButton* const sbEnergyChart;
    QLabel* const lblChartText;
    QLabel* const lblSpreadText;
    TNiceChart* const chNiceChart;
    QAction* const actUsableShots;
    QAction* const actSpeedDrift;
    QAction* const actHistogram;

private:
    void PlaceCaptions();
    void ShowShots(bool Redraw);
    const QToolButton& PlottedToggle() const;
    void ShowHistogramView();
    // The band, the line and their words as the tools chosen ask.
    void ShowTuning();
    TTuningFindings Findings() const;
    std::string Hint(double X) const;
    std::string ShotHint(double X) const;

    const TSeries& FSeries;
    TTranslate FTranslate = [](const std::string& Text) { return Text; };

    // The shots the chart shows.
    std::size_t FShownShots = 0;
    // What the histogram view shows, while it does.
    std::optional<THistogramView> FHistogram;
};
