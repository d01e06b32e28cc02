#include "app/UStatisticsPanel.h"

#include "windows/FittingLabel.h"

#include <QLabel>

namespace {

void SetText(QLabel* Label, const std::string& Text) {
    Label->setText(QString::fromStdString(Text));
}

// Maximum, mean, minimum and the spread of maximum and minimum around the mean of one quantity.
void ShowQuantity(const TRunningValues& Values, QLabel* Max, QLabel* Avg, QLabel* Min,
                  QLabel* MaxDiff, QLabel* MinDiff) {
    const TStatisticsTexts Texts = StatisticsTexts(Values);
    SetText(Max, Texts.Maximum);
    SetText(Avg, Texts.Average);
    SetText(Min, Texts.Minimum);
    SetText(MaxDiff, Texts.MaximumDiff);
    SetText(MinDiff, Texts.MinimumDiff);
}

} // namespace

TStatisticsPanel::TStatisticsPanel(QWidget* Parent) : QGroupBox(" Statistics ", Parent) {
    const int Tops[] = {16, 36, 52, 68, 88, 104, 120};
    QLabel** Captions[] = {&lblShotsCaption,    &lblMAXSpeedCaption,  &lblAVGSpeedCaption,
                           &lblMINSpeedCaption, &lblMAXEnergyCaption, &lblAVGEnergyCaption,
                           &lblMINEnergyCaption};
    QLabel** Values[] = {&lblShotsValue,    &lblMAXSpeedValue,  &lblAVGSpeedValue,
                         &lblMINSpeedValue, &lblMAXEnergyValue, &lblAVGEnergyValue,
                         &lblMINEnergyValue};
    for (int i = 0; i < 7; ++i) {
        *Captions[i] = NewFittingLabel(this, 4, Tops[i], 172, Qt::AlignRight);
        *Values[i] = NewFittingLabel(this, 184, Tops[i], 48, Qt::AlignRight);
    }
    const int DiffTops[] = {42, 62, 94, 114};
    QLabel** Diffs[] = {&lblMAXSpeedDiffValue, &lblMINSpeedDiffValue, &lblMAXEnergyDiffValue,
                        &lblMINEnergyDiffValue};
    for (int i = 0; i < 4; ++i)
        *Diffs[i] = NewFittingLabel(this, 240, DiffTops[i], 44, Qt::AlignRight);
}

void TStatisticsPanel::ApplyTranslation(const TTranslate& Translate, const std::string& SpeedUnit,
                                        const std::string& EnergyUnit) {
    setTitle(QString::fromStdString(" " + Translate("Statistics") + " "));
    SetText(lblShotsCaption, Translate("Shots:"));
    SetText(lblMAXSpeedCaption, TranslateWith(Translate, "MAX Speed [%s]:", SpeedUnit));
    SetText(lblMINSpeedCaption, TranslateWith(Translate, "MIN Speed [%s]:", SpeedUnit));
    SetText(lblAVGSpeedCaption, TranslateWith(Translate, "AVG Speed [%s]:", SpeedUnit));
    SetText(lblMAXEnergyCaption, TranslateWith(Translate, "MAX Energy [%s]:", EnergyUnit));
    SetText(lblMINEnergyCaption, TranslateWith(Translate, "MIN Energy [%s]:", EnergyUnit));
    SetText(lblAVGEnergyCaption, TranslateWith(Translate, "AVG Energy [%s]:", EnergyUnit));
}

void TStatisticsPanel::ShowStatistics(const TShotStatistics& Statistics) {
    lblShotsValue->setText(QString::number(Statistics.Count()));
    ShowQuantity(Statistics.Speed, lblMAXSpeedValue, lblAVGSpeedValue, lblMINSpeedValue,
                 lblMAXSpeedDiffValue, lblMINSpeedDiffValue);
    ShowQuantity(Statistics.Energy, lblMAXEnergyValue, lblAVGEnergyValue, lblMINEnergyValue,
                 lblMAXEnergyDiffValue, lblMINEnergyDiffValue);
}
