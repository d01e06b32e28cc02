#pragma once

// The statistics box of the main window: the shot count, maximum, mean and minimum of speed and
// energy, and the spread of maximum and minimum around the mean, in the display units.

#include "series/USeries.h"

#include <QGroupBox>
#include <string>

class QLabel;

class TStatisticsPanel : public QGroupBox {
public:
    explicit TStatisticsPanel(QWidget* Parent);

    // Translate gives the user's text for an English one; the units go into the captions.
    void ApplyTranslation(const TTranslate& Translate, const std::string& SpeedUnit,
                          const std::string& EnergyUnit);
    void ShowStatistics(const TShotStatistics& Statistics);

    QLabel *lblShotsCaption, *lblMAXSpeedCaption, *lblAVGSpeedCaption, *lblMINSpeedCaption,
        *lblMAXEnergyCaption, *lblAVGEnergyCaption, *lblMINEnergyCaption;
    QLabel *lblShotsValue, *lblMAXSpeedValue, *lblAVGSpeedValue, *lblMINSpeedValue,
        *lblMAXEnergyValue, *lblAVGEnergyValue, *lblMINEnergyValue;
    QLabel *lblMAXSpeedDiffValue, *lblMINSpeedDiffValue, *lblMAXEnergyDiffValue,
        *lblMINEnergyDiffValue;
};
