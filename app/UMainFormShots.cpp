// The shot table, the statistics, the chart and the live read-out, as the series tells them.

#include "app/UChartPanel.h"
#include "app/UMainForm.h"
#include "app/UShotTableModel.h"
#include "app/UStatisticsPanel.h"
#include "chart/NiceChart.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

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
    FSeries.Clear();
}

void TMainForm::btnClearClick() {
    if (!platform::ModalDialogs().AskYesNo(this,
                                           Translate("Do you really want to clear all values?")))
        return;
    ClearShots();
    RecalculateNow();
}

// Shows the series: the rows and points of new shots, or every row and point again after a
// change that may touch each shot; the statistics come from the series' running values.
void TMainForm::Recalculate() {
    Log("Recalculating...");
    Log(" - Speed Unit: " + FSettings.SpeedUnit());
    Log(" - Energy Unit: " + FSettings.EnergyUnit());
    Log(" - Pelet Weight Unit: " + FSettings.WeightUnit());
    const bool Redraw = std::exchange(FRedrawPending, false);
    FTableModel->ShowSeries(Redraw);
    FitNumberColumn();
    pnlMiddleBottom->ShowSeries(FSeries, Redraw);
    ShowLastShotLive();
    gbStatistics->ShowStatistics(FSeries.Statistics());
    pnlMiddleBottom->ShowSpread(FSeries, Translator());
    pnlMiddleBottom->RefreshReadOut(FSeries, Translator());
    Log("...Recalculated.");
}

// The number column widens, never narrows, so that the numbers of a long series stay whole.
void TMainForm::FitNumberColumn() {
    const QString Widest = QString::number(std::max<std::size_t>(FSeries.Count(), 1));
    const int Needed = stringGridLeft->fontMetrics().horizontalAdvance(Widest) + 10;
    if (Needed > stringGridLeft->columnWidth(0))
        stringGridLeft->setColumnWidth(0, Needed);
}

void TMainForm::RedrawChart() {
    FRedrawPending = true;
    RecalculateNow();
}

void TMainForm::ShowLastShotLive() {
    if (!LiveUpdate || FSeries.Empty())
        return;
    const TShotValues& Shot = FSeries.Values(FSeries.Count() - 1);
    LiveUpdate(Shot.Speed, FSettings.SpeedUnit(), FSettings.PeletWeight(), FSettings.WeightUnit(),
               Shot.Energy, FSettings.EnergyUnit(), static_cast<int>(FSeries.Count()),
               FSeries.SpeedAtLimit(Shot), FSeries.EnergyAtLimit(Shot));
}

void TMainForm::TellSeriesFull() {
    if (std::exchange(FToldFull, true))
        return;
    // Told after the port's event has been handled, not from inside it.
    QTimer::singleShot(0, this, [this] {
        RunGuarded(this, [this] {
            platform::ModalDialogs().ShowError(
                this, TranslateWith("The series holds %s shots, as many as it can: further shots "
                                    "are not added. Save the series and clear it to go on.",
                                    std::to_string(TSeries::MaxShots)));
        });
    });
}

// Row 0 of the design's table is the view's header; its rows 1... are the view's 0...
std::string TMainForm::CellText(int Column, int Row) const {
    const QVariant Text = Row == 0
                              ? FTableModel->headerData(Column, Qt::Horizontal, Qt::DisplayRole)
                              : FTableModel->index(Row - 1, Column).data();
    return Text.toString().toStdString();
}

int TMainForm::RowCount() const {
    return FTableModel->rowCount() + 1;
}

int TMainForm::ColumnWidth(int Column) const {
    return stringGridLeft->columnWidth(Column);
}
