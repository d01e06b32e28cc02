#pragma once

// The trajectory window: a series' muzzle speed, its pellet's ballistic coefficient and weight,
// the sight and the air on the left; on the right the table of drop, holdover, speed, energy,
// time and wind drift over range, and a chart of the drop with the kill zone as a band. It
// follows every edit at once, in the display units and the user's language.

#include "analysis/Trajectory.h"
#include "library/SeriesStore.h"
#include "series/USeries.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TMainSettings;
class TNiceChart;

// What the window starts from: a series' mean speed and pellet weight and what its notes keep.
struct TTrajectoryStart {
    std::string SeriesName;
    std::optional<double> MuzzleSpeed; // m/s
    std::optional<double> PeletWeight; // g
    TSeriesBallistics Ballistics;
    // Keeps the BC, the sight height and the zero range with the series; none where the series
    // is in no writable library.
    std::function<void(const TSeriesBallistics&)> Keep;
};

class TFrmTrajectory : public QDialog {
public:
    TFrmTrajectory(const TTrajectoryStart& Start, const TMainSettings& Settings,
                   TTranslate Translate, QWidget* Parent);

    // The inputs as the ballistics take them, and the kill zone (m); none where an edit holds no
    // number.
    std::optional<TTrajectoryInput> Input() const;
    double KillZone() const;
    // The table and sentences shown for the inputs in force; an error instead when they give no
    // trajectory.
    const std::vector<std::vector<std::string>>& TableRows() const { return FRows; }
    const std::string& Findings() const { return FFindings; }

    void Recompute();
    void btnKeepClick();

    // In the order of the inputs: muzzle speed, BC, pellet weight, sight height, zero range, last
    // range, range step, crosswind, kill zone, minimum energy, temperature, pressure, humidity.
    std::vector<QLineEdit*> Edits;
    QTableWidget* const grdTrajectory;
    TNiceChart* const chDrop;
    QLabel* const lblFindings;
    QLabel* const lblNote;
    QPushButton* const btnKeep;
    QPushButton* const btnClose;

protected:
    // Only a shown window knows its frame, which takes room on the screen too.
    void showEvent(QShowEvent* Event) override;

private:
    std::string Translate(const std::string& Text) const { return FTranslate(Text); }
    void LayOut();
    void FillEdits(const TTrajectoryStart& Start);
    std::optional<double> Entered(std::size_t Input) const;
    void ShowTrajectory(const TTrajectoryInput& Input);
    void ShowTable(const std::vector<std::string>& Header);
    void ShowChart(const TTrajectory& Trajectory, double KillZone);

    const TUnitSystem& FUnits;
    TTranslate FTranslate;
    std::function<void(const TSeriesBallistics&)> FKeep;
    std::vector<std::vector<std::string>> FRows;
    std::string FFindings;
};
