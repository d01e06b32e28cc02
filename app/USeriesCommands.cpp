#include "app/USeriesCommands.h"

#include "app/UChartPanel.h"
#include "app/UMainForm.h"
#include "app/UShotTable.h"
#include "chart/NiceChart.h"
#include "files/UImportFile.h"
#include "files/USeriesReport.h"
#include "files/USpreadsheetExport.h"
#include "library/SeriesRecorder.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "platform/ScopeGuard.h"
#include "series/UEnergyPresets.h"
#include "windows/BusyCursor.h"
#include "windows/UFrmLibrary.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace {

QAction* NewAction(QWidget* Owner, const QKeySequence& Shortcut = {}) {
    auto* Action = new QAction(Owner);
    Action->setShortcut(Shortcut);
    Action->setShortcutContext(Qt::WidgetShortcut);
    return Action;
}

QAction* NewSeparator(QWidget* Owner) {
    auto* Separator = new QAction(Owner);
    Separator->setSeparator(true);
    return Separator;
}

// Shot numbers as a user reads them: "3", "3, 5" or "3–7, 9".
std::string ShotNumbers(const std::vector<std::size_t>& Indexes) {
    std::string Text;
    for (std::size_t i = 0; i < Indexes.size();) {
        std::size_t Last = i;
        while (Last + 1 < Indexes.size() && Indexes[Last + 1] == Indexes[Last] + 1)
            ++Last;
        Text += (Text.empty() ? "" : ", ") + std::to_string(Indexes[i] + 1);
        if (Last > i)
            Text += (Last == i + 1 ? ", " : "\u2013") + std::to_string(Indexes[Last] + 1);
        i = Last + 1;
    }
    return Text;
}

} // namespace

TSeriesCommands::TSeriesCommands(const TSeriesCommandTargets& Targets)
    : QObject(&Targets.Form), FForm(Targets.Form), FSeries(Targets.Series),
      FSettings(Targets.Settings), FRecorder(Targets.Recorder), FLiveUpdate(Targets.LiveUpdate),
      FTranslate(Targets.Translate), FRedrawChart(Targets.RedrawChart),
      actDeleteShot(NewAction(FForm.stringGridLeft, QKeySequence::Delete)),
      actCopyShots(NewAction(FForm.stringGridLeft, QKeySequence::Copy)),
      actImport(NewAction(&FForm, QKeySequence(Qt::CTRL | Qt::Key_I))),
      actExportSpreadsheet(NewAction(&FForm)), actPrintReport(NewAction(&FForm)),
      actSaveChartPicture(NewAction(&FForm)),
      actShowLibrary(NewAction(&FForm, QKeySequence(Qt::CTRL | Qt::Key_L))),
      actTrajectory(NewAction(&FForm)) {
    for (QAction* const WindowAction : {actImport, actShowLibrary}) {
        WindowAction->setShortcutContext(Qt::WindowShortcut);
        FForm.addAction(WindowAction);
    }
    QTableView* const Table = FForm.stringGridLeft;
    Table->setContextMenuPolicy(Qt::ActionsContextMenu);
    Table->addActions({actDeleteShot, actCopyShots, NewSeparator(Table), actImport,
                       actExportSpreadsheet, NewSeparator(Table), actPrintReport,
                       actSaveChartPicture, NewSeparator(Table), actShowLibrary});
    FForm.pnlMiddleBottom->chNiceChart->setContextMenuPolicy(Qt::ActionsContextMenu);
    FForm.pnlMiddleBottom->chNiceChart->addActions(
        {actPrintReport, actSaveChartPicture, actTrajectory});
    const auto Trigger = [this](QAction* Action, void (TSeriesCommands::*Handler)()) {
        connect(Action, &QAction::triggered, this,
                [this, Handler] { RunGuarded(&FForm, [this, Handler] { (this->*Handler)(); }); });
    };
    Trigger(actDeleteShot, &TSeriesCommands::actDeleteShotExecute);
    Trigger(actCopyShots, &TSeriesCommands::actCopyShotsExecute);
    Trigger(actImport, &TSeriesCommands::actImportExecute);
    Trigger(actExportSpreadsheet, &TSeriesCommands::actExportSpreadsheetExecute);
    Trigger(actPrintReport, &TSeriesCommands::actPrintReportExecute);
    Trigger(actSaveChartPicture, &TSeriesCommands::actSaveChartPictureExecute);
    Trigger(actShowLibrary, &TSeriesCommands::actShowLibraryExecute);
    Trigger(actTrajectory, &TSeriesCommands::actTrajectoryExecute);
}

void TSeriesCommands::ApplyTranslation() {
    const auto Set = [this](QAction* Action, const char* Text) {
        Action->setText(QString::fromStdString(FTranslate(Text)));
    };
    Set(actDeleteShot, "Delete shot");
    Set(actCopyShots, "Copy");
    Set(actImport, "Import\u2026");
    Set(actExportSpreadsheet, "Export for spreadsheet\u2026");
    Set(actPrintReport, "Print report\u2026");
    Set(actSaveChartPicture, "Save chart as picture\u2026");
    Set(actShowLibrary, "Series library\u2026");
    Set(actTrajectory, "Trajectory\u2026");
    if (FLibrary)
        FLibrary->UpdateCaptions();
}

// The shots of the selected rows, first to last; the empty row of an empty table is none.
std::vector<std::size_t> TSeriesCommands::SelectedShots() const {
    std::vector<std::size_t> Indexes;
    for (const QModelIndex& Row : FForm.stringGridLeft->selectionModel()->selectedRows()) {
        if (static_cast<std::size_t>(Row.row()) < FForm.stringGridLeft->ShownShots())
            Indexes.push_back(static_cast<std::size_t>(Row.row()));
    }
    std::sort(Indexes.begin(), Indexes.end());
    return Indexes;
}

void TSeriesCommands::actDeleteShotExecute() {
    const std::vector<std::size_t> Indexes = SelectedShots();
    if (Indexes.empty())
        return;
    // The live read-out shows the last shot fired before the question; one fired while the
    // question is open is the next shot, which it must show.
    ShowPendingShots();
    const std::size_t ShotsBefore = FSeries.Count();
    const char* Question = Indexes.size() == 1 ? "Do you really want to delete shot %s?"
                                               : "Do you really want to delete shots %s?";
    if (!platform::ModalDialogs().AskYesNo(
            &FForm, TranslateWith(FTranslate, Question, ShotNumbers(Indexes))))
        return;
    DeleteShots(Indexes, FSeries.Count() == ShotsBefore && !FForm.recalculateTimer->isActive());
}

// Indexes are in increasing order. Unless KeepLive is false, the live read-out keeps the shot it
// shows: only a new shot replaces it.
void TSeriesCommands::DeleteShots(const std::vector<std::size_t>& Indexes, bool KeepLive) {
    FForm.Log("Deleting shots: " + ShotNumbers(Indexes));
    if (!FRecorder->DeleteShots(Indexes))
        throw std::runtime_error(
            FTranslate("The series library is busy with another TARVEX: try again in a moment."));
    FSeries.Delete(Indexes);
    FForm.stringGridLeft->clearSelection();
    const TLiveUpdate Live = KeepLive ? std::exchange(FLiveUpdate, nullptr) : FLiveUpdate;
    const auto Restore = platform::TScopeGuard([&] { FLiveUpdate = Live; });
    FForm.RecalculateNow();
}

void TSeriesCommands::actCopyShotsExecute() {
    const TShotTable& Table = *FForm.stringGridLeft;
    std::vector<TSheetRow> Rows;
    for (const std::size_t Index : SelectedShots()) {
        const int Row = static_cast<int>(Index) + 1;
        Rows.push_back({Table.CellText(0, Row), Table.CellText(1, Row), Table.CellText(2, Row)});
    }
    if (!Rows.empty())
        QGuiApplication::clipboard()->setText(QString::fromStdString(TabSeparatedText(Rows)));
}

TSeriesFigures TSeriesCommands::SeriesFigures() const {
    return FSeries.Figures(FTranslate);
}

TReportContent TSeriesCommands::ReportContent(const TSeriesFigures& Figures) const {
    TReportContent Report;
    Report.Title = FTranslate("TARVEX shot report");
    Report.Printed =
        TranslateWith(FTranslate, "Printed: %s", LocalTimeText(platform::LocalTimeNow()));
    Report.Facts = {{FTranslate("Units"), FSettings.SpeedUnit() + ", " + FSettings.EnergyUnit() +
                                              ", " + FSettings.WeightUnit()},
                    {Figures.PeletWeight[0], Figures.PeletWeight[1]},
                    {Figures.Count[0], Figures.Count[1]}};
    const std::string Limit = EnergyLimitText(FSeries.EnergyLimit(), FSeries.Units(), FTranslate);
    if (!Limit.empty())
        Report.Facts.emplace_back(FTranslate("Energy limit"), Limit);
    for (auto& Fact : FForm.pnlMiddleBottom->FindingsFacts())
        Report.Facts.push_back(std::move(Fact));

    Report.StatisticsHeader = {"", TranslateWith(FTranslate, "Speed [%s]", FSettings.SpeedUnit()),
                               TranslateWith(FTranslate, "Energy [%s]", FSettings.EnergyUnit())};
    Report.Statistics = Figures.Statistics;
    Report.TableHeader = Figures.Header;
    Report.Rows = Figures.Shots;
    Report.PagePattern = FTranslate("Page %s of %s");
    Report.Trajectory = TrajectorySection();
    return Report;
}

std::optional<std::string> TSeriesCommands::AskExportFileName(const std::string& Extension) {
    return platform::ModalDialogs().AskFileName(&FForm, platform::TFileDialogKind::Export,
                                                "*." + Extension, Extension);
}

void TSeriesCommands::actExportSpreadsheetExecute() {
    if (const std::optional<std::string> FileName = AskExportFileName("csv"))
        ExportSpreadsheet(*FileName, SeriesSheet(SeriesFigures()));
}

// The chart of the report and the picture is the one on the screen: a shot received within the
// last half second is drawn first.
void TSeriesCommands::ShowPendingShots() {
    if (FForm.recalculateTimer->isActive())
        FForm.RecalculateNow();
}

void TSeriesCommands::actPrintReportExecute() {
    const std::optional<std::string> FileName = AskExportFileName("pdf");
    if (!FileName)
        return;
    ShowPendingShots();
    const TBusyCursor Busy;
    WriteReportPdf(*FileName, ReportContent(SeriesFigures()),
                   FForm.pnlMiddleBottom->chNiceChart->Picture());
}

void TSeriesCommands::actSaveChartPictureExecute() {
    const std::optional<std::string> FileName = AskExportFileName("png");
    if (!FileName)
        return;
    ShowPendingShots();
    SaveChartPicture(*FileName, FForm.pnlMiddleBottom->chNiceChart->Picture());
}

// The file is read first and the series replaced only then: a file that cannot be imported
// leaves the shots as they were.
void TSeriesCommands::actImportExecute() {
    const std::optional<std::string> FileName = platform::ModalDialogs().AskFileName(
        &FForm, platform::TFileDialogKind::Open, "*.csv *.txt *.tsv *.dat *.prn;;*", "csv");
    if (!FileName)
        return;
    FForm.Log("Importing file: " + *FileName);
    TImportedSeries Imported = ReadImportFile(*FileName);
    CheckSeriesFits(Imported.Shots.size(), *FileName);
    FRecorder->FinishTakeUp();
    CheckAllCommitted();
    if (!FSeries.Empty())
        FForm.btnClearClick();
    if (!FSeries.Empty())
        return;
    const std::size_t Count = Imported.Shots.size();
    FSeries.Replace(std::move(Imported.Shots));
    FRecorder->StartSeries(SeriesNameOfFile(*FileName), std::nullopt,
                           FileNameWithoutFolder(*FileName));
    FForm.RecalculateNow();
    platform::ModalDialogs().ShowInformation(
        &FForm, platform::Format(FTranslate("Shots imported: %s; lines skipped: %s."),
                                 {std::to_string(Count), std::to_string(Imported.SkippedLines)}));
}

TImportedSeries TSeriesCommands::ReadImportFile(const std::string& FileName) {
    const TBusyCursor Busy;
    try {
        return ImportSeries(FileName, FSettings.SpeedUnit());
    } catch (const EImportError& Error) {
        throw std::runtime_error(Error.FilledIn(FTranslate(Error.Pattern())));
    }
}
