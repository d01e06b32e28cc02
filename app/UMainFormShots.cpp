// The shot table, the statistics, the chart and the live read-out, all rebuilt from the shots.

#include "app/UMainForm.h"
#include "chart/NiceChart.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

void TMainForm::RestartRecalculateTimer() {
    recalculateTimer->stop();
    recalculateTimer->start();
}

void TMainForm::recalculateTimerTimer() {
    recalculateTimer->stop();
    Recalculate();
}

void TMainForm::RecalculateNow() {
    recalculateTimer->stop();
    Recalculate();
}

void TMainForm::ClearShots() {
    FShots.clear();
}

void TMainForm::btnClearClick() {
    if (!platform::ModalDialogs().AskYesNo(this,
                                           Translate("Do you really want to clear all values?")))
        return;
    ClearShots();
    RecalculateNow();
}

void TMainForm::Recalculate() {
    Log("Recalculating...");
    Log(" - Speed Unit: " + SpeedUnit());
    Log(" - Energy Unit: " + EnergyUnit());
    Log(" - Pelet Weight Unit: " + WeightUnit());
    const std::vector<TShotValues> Values = ShotValues(FShots, FPeletWeight, *FUnits);
    chNiceChart->ClearSeries();
    chNiceChart->SuspendUpdates();
    TShotStatistics Statistics;
    try {
        Statistics = RebuildDisplay(Values);
    } catch (...) {
        // The chart must not stay frozen because one recalculation failed.
        chNiceChart->ResumeUpdates();
        throw;
    }
    chNiceChart->ResumeUpdates();
    ShowStatistics(Statistics);
    RefreshChartReadOut();
    Log("...Recalculated.");
}

// Table, chart series and live read-out; the statistics of the shots come back.
TShotStatistics TMainForm::RebuildDisplay(const std::vector<TShotValues>& Values) {
    const QToolButton* Plotted = sbEnergyChart->isChecked() ? sbEnergyChart : sbSpeedChart;
    chNiceChart->SetAxisYTitle(Plotted->text().toStdString());
    FillTable(Values);
    TShotStatistics Statistics;
    TNiceSeries* Series = nullptr;
    if (!Values.empty()) {
        Series = &chNiceChart->AddSeries(skLine);
        Series->SetCaption("Energy");
    }
    for (std::size_t i = 0; i < Values.size(); ++i) {
        const int Shot = static_cast<int>(i) + 1;
        AddChartPoint(*Series, Shot, Values[i].Speed, Values[i].Energy);
        if (Values.size() == 1)
            AddChartPoint(*Series, 2, Values[i].Speed, Values[i].Energy);
        Statistics.Add(Values[i]);
    }
    if (!Values.empty())
        ShowLive(Values.back(), static_cast<int>(Values.size()));
    return Statistics;
}

void TMainForm::ShowLive(const TShotValues& Shot, int ShotNumber) {
    if (LiveUpdate)
        LiveUpdate(Shot.Speed, SpeedUnit(), FPeletWeight, WeightUnit(), Shot.Energy, EnergyUnit(),
                   ShotNumber, Shot.Speed >= FSpeedLimit, Shot.Energy >= FEnergyLimit);
}

void TMainForm::FillTable(const std::vector<TShotValues>& Values) {
    stringGridLeft->setRowCount(std::max<int>(1, static_cast<int>(Values.size())));
    if (Values.empty()) {
        SetCellText(1, 1, "");
        SetCellText(2, 1, "");
    }
    for (std::size_t i = 0; i < Values.size(); ++i) {
        const int Row = static_cast<int>(i) + 1;
        SetCellText(0, Row, std::to_string(Row));
        SetCellText(1, Row, FormatValue(Values[i].Speed));
        SetCellText(2, Row, FormatValue(Values[i].Energy));
    }
}

void TMainForm::ShowStatistics(const TShotStatistics& Statistics) {
    lblShotsValue->setText(QString::number(Statistics.Count()));
    const auto Show = [](const TStatisticsTexts& Texts, QLabel* Max, QLabel* Avg, QLabel* Min,
                         QLabel* MaxDiff, QLabel* MinDiff) {
        Max->setText(QString::fromStdString(Texts.Maximum));
        Avg->setText(QString::fromStdString(Texts.Average));
        Min->setText(QString::fromStdString(Texts.Minimum));
        MaxDiff->setText(QString::fromStdString(Texts.MaximumDiff));
        MinDiff->setText(QString::fromStdString(Texts.MinimumDiff));
    };
    Show(StatisticsTexts(Statistics.Speed), lblMAXSpeedValue, lblAVGSpeedValue, lblMINSpeedValue,
         lblMAXSpeedDiffValue, lblMINSpeedDiffValue);
    Show(StatisticsTexts(Statistics.Energy), lblMAXEnergyValue, lblAVGEnergyValue,
         lblMINEnergyValue, lblMAXEnergyDiffValue, lblMINEnergyDiffValue);
    ShowSpread(Statistics);
}

void TMainForm::AddChartPoint(TNiceSeries& Series, int Shot, double Speed, double Energy) {
    const double Y = sbEnergyChart->isChecked() ? Energy : Speed;
    const std::string Hint = platform::Format(
        Translate("Shot: %s; Speed: %s %s; Energy: %s %s"),
        {std::to_string(Shot), FormatValue(Speed), SpeedUnit(), FormatValue(Energy), EnergyUnit()});
    Series.AddValue(Shot, Y, Hint);
}

void TMainForm::SetUnits(const TUnitSystem& Units) {
    FUnits = &Units;
    RecalculateNow();
    ApplyTranslation();
}

void TMainForm::SetImperial() {
    if (IsMetric())
        SetUnits(ImperialUnits);
}

void TMainForm::SetMetric() {
    if (IsImperial())
        SetUnits(MetricUnits);
}

bool TMainForm::IsMetric() const {
    return SpeedUnit() == "m/s";
}

bool TMainForm::IsImperial() const {
    return SpeedUnit() == "fps";
}

// Row 0 of the design's table is the widget's header; its rows 1... are the widget's 0...
void TMainForm::SetCellText(int Column, int Row, const std::string& Text) {
    const QString Value = QString::fromStdString(Text);
    if (Row == 0) {
        stringGridLeft->setHorizontalHeaderItem(Column, new QTableWidgetItem(Value));
        return;
    }
    QTableWidgetItem* Item = stringGridLeft->item(Row - 1, Column);
    if (!Item) {
        Item = new QTableWidgetItem;
        Item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (Column == 0)
            Item->setBackground(stringGridLeft->palette().button());
        stringGridLeft->setItem(Row - 1, Column, Item);
    }
    Item->setText(Value);
}

std::string TMainForm::CellText(int Column, int Row) const {
    const QTableWidgetItem* Item = Row == 0 ? stringGridLeft->horizontalHeaderItem(Column)
                                            : stringGridLeft->item(Row - 1, Column);
    return Item ? Item->text().toStdString() : std::string();
}

int TMainForm::RowCount() const {
    return stringGridLeft->rowCount() + 1;
}

int TMainForm::ColumnWidth(int Column) const {
    return stringGridLeft->columnWidth(Column);
}
