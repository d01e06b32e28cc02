// The series' commands, and the shot table, the statistics, the chart and the live read-out as
// the series tells them.

#include "app/UChartPanel.h"
#include "app/UMainForm.h"
#include "app/USeriesCommands.h"
#include "app/UShotTable.h"
#include "app/UStatisticsPanel.h"
#include "app/UWaitingNotice.h"
#include "library/SeriesRecorder.h"
#include "platform/ModalDialogs.h"

#include <QTimer>
#include <utility>

namespace {

// A loaded file's thousands go into the library in bursts from the event loop, so that the
// window answers meanwhile; the file keeps them too.
void CommitInBursts(QObject* Window, TSeriesRecorder& Recorder) {
    if (Recorder.FlushBurst())
        QTimer::singleShot(0, Window, [Window, &Recorder] { CommitInBursts(Window, Recorder); });
}

} // namespace

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

void TMainForm::btnClearClick() {
    SeriesCommands->ClearSeries();
}

void TMainForm::btnSaveDataClick() {
    SeriesCommands->SaveData();
}

void TMainForm::btnLoadDataClick() {
    SeriesCommands->LoadData();
}

// Shows the series: the rows and points of new shots, or every row and point again after a
// change that may touch each shot; the statistics come from the series' running values.
void TMainForm::Recalculate() {
    // What the table shows from the chronograph is in the library first.
    if (FRecorder && FRecorder->FlushForDisplay())
        QTimer::singleShot(0, this, [this] { CommitInBursts(this, *FRecorder); });
    if (FRecorder && FRecorder->WaitingForLibrary())
        lblWaiting->StartRetrying();
    Log("Recalculating...");
    Log(" - Speed Unit: " + FSettings.SpeedUnit());
    Log(" - Energy Unit: " + FSettings.EnergyUnit());
    Log(" - Pelet Weight Unit: " + FSettings.WeightUnit());
    const bool Redraw = std::exchange(FRedrawPending, false);
    stringGridLeft->ShowSeries(Redraw);
    pnlMiddleBottom->ShowSeries(Redraw);
    ShowLastShotLive();
    FPhone.Follow();
    gbStatistics->ShowStatistics(FSeries.Statistics());
    pnlMiddleBottom->ShowSpread();
    pnlMiddleBottom->RefreshReadOut();
    if (FRecorder)
        SeriesCommands->ShowRecordingInLibrary();
    Log("...Recalculated.");
}

void TMainForm::RedrawChart() {
    FRedrawPending = true;
    RecalculateNow();
}

void TMainForm::ShowLastShotLive() {
    if (!LiveUpdate || FSeries.Empty())
        return;
    LiveUpdate(FSeries.Values(FSeries.Count() - 1), static_cast<int>(FSeries.Count()));
}
