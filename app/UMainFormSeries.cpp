// The commands on a series as a whole or on chosen shots: deleting shots, copying rows, the
// spreadsheet export, the report, the chart picture and importing other chronographs' files.

#include "app/BusyCursor.h"
#include "app/UImportFile.h"
#include "app/UMainForm.h"
#include "app/USeriesReport.h"
#include "app/UShotTableModel.h"
#include "chart/NiceChart.h"
#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "platform/ScopeGuard.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
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

void TMainForm::CreateSeriesCommands() {
    actDeleteShot = NewAction(stringGridLeft, QKeySequence::Delete);
    actCopyShots = NewAction(stringGridLeft, QKeySequence::Copy);
    actImport = NewAction(this, QKeySequence(Qt::CTRL | Qt::Key_I));
    actImport->setShortcutContext(Qt::WindowShortcut);
    addAction(actImport);
    actExportSpreadsheet = NewAction(this);
    actPrintReport = NewAction(this);
    actSaveChartPicture = NewAction(this);
    stringGridLeft->setContextMenuPolicy(Qt::ActionsContextMenu);
    stringGridLeft->addActions({actDeleteShot, actCopyShots, NewSeparator(stringGridLeft),
                                actImport, actExportSpreadsheet, NewSeparator(stringGridLeft),
                                actPrintReport, actSaveChartPicture});
    chNiceChart->setContextMenuPolicy(Qt::ActionsContextMenu);
    chNiceChart->addActions({actPrintReport, actSaveChartPicture});
    const auto Trigger = [this](QAction* Action, void (TMainForm::*Handler)()) {
        connect(Action, &QAction::triggered, this, Guarded(this, Handler));
    };
    Trigger(actDeleteShot, &TMainForm::actDeleteShotExecute);
    Trigger(actCopyShots, &TMainForm::actCopyShotsExecute);
    Trigger(actImport, &TMainForm::actImportExecute);
    Trigger(actExportSpreadsheet, &TMainForm::actExportSpreadsheetExecute);
    Trigger(actPrintReport, &TMainForm::actPrintReportExecute);
    Trigger(actSaveChartPicture, &TMainForm::actSaveChartPictureExecute);
}

void TMainForm::TranslateSeriesCommands() {
    const auto Set = [this](QAction* Action, const char* Text) {
        Action->setText(QString::fromStdString(Translate(Text)));
    };
    Set(actDeleteShot, "Delete shot");
    Set(actCopyShots, "Copy");
    Set(actImport, "Import\u2026");
    Set(actExportSpreadsheet, "Export for spreadsheet\u2026");
    Set(actPrintReport, "Print report\u2026");
    Set(actSaveChartPicture, "Save chart as picture\u2026");
    lblSpreadText->setToolTip(QString::fromStdString(
        Translate("ES: extreme spread, maximum \u2212 minimum; SD: standard deviation")));
}

void TMainForm::ShowSpread(const TShotStatistics& Statistics) {
    const auto Spread = [this](const TRunningValues& Values, const std::string& Unit) {
        const TSpreadTexts Texts = SpreadTexts(Values);
        return platform::Format(Translate("ES %s  SD %s %s"),
                                {Texts.ExtremeSpread, Texts.StandardDeviation, Unit});
    };
    lblSpreadText->setText(QString::fromStdString(Spread(Statistics.Speed, SpeedUnit()) + "\n" +
                                                  Spread(Statistics.Energy, EnergyUnit())));
}

std::string TMainForm::CellHint(int Column, int Row) const {
    const std::string Text = CellText(Column, Row);
    if (Row < 1 || static_cast<std::size_t>(Row) > FTableModel->ShownShots())
        return Text;
    const std::string Received = ReceivedText(FSeries.Shots()[Row - 1]);
    return Received.empty() ? Text : Text + "\n" + TranslateWith("Received: %s", Received);
}

// The shots of the selected rows, first to last; the empty row of an empty table is none.
std::vector<std::size_t> TMainForm::SelectedShots() const {
    std::vector<std::size_t> Indexes;
    for (const QModelIndex& Row : stringGridLeft->selectionModel()->selectedRows()) {
        if (static_cast<std::size_t>(Row.row()) < FTableModel->ShownShots())
            Indexes.push_back(static_cast<std::size_t>(Row.row()));
    }
    std::sort(Indexes.begin(), Indexes.end());
    return Indexes;
}

void TMainForm::actDeleteShotExecute() {
    const std::vector<std::size_t> Indexes = SelectedShots();
    if (Indexes.empty())
        return;
    // The live read-out shows the last shot fired before the question; one fired while the
    // question is open is the next shot, which it must show.
    ShowPendingShots();
    const std::size_t ShotsBefore = FSeries.Count();
    const char* Question = Indexes.size() == 1 ? "Do you really want to delete shot %s?"
                                               : "Do you really want to delete shots %s?";
    if (!platform::ModalDialogs().AskYesNo(this, TranslateWith(Question, ShotNumbers(Indexes))))
        return;
    DeleteShots(Indexes, FSeries.Count() == ShotsBefore && !recalculateTimer->isActive());
}

// Indexes are in increasing order. Unless KeepLive is false, the live read-out keeps the shot it
// shows: only a new shot replaces it.
void TMainForm::DeleteShots(const std::vector<std::size_t>& Indexes, bool KeepLive) {
    Log("Deleting shots: " + ShotNumbers(Indexes));
    FSeries.Delete(Indexes);
    stringGridLeft->clearSelection();
    const TLiveUpdate Live = KeepLive ? std::exchange(LiveUpdate, nullptr) : LiveUpdate;
    const auto Restore = platform::TScopeGuard([&] { LiveUpdate = Live; });
    RecalculateNow();
}

void TMainForm::actCopyShotsExecute() {
    std::vector<TSheetRow> Rows;
    for (const std::size_t Index : SelectedShots()) {
        const int Row = static_cast<int>(Index) + 1;
        Rows.push_back({CellText(0, Row), CellText(1, Row), CellText(2, Row)});
    }
    if (!Rows.empty())
        QGuiApplication::clipboard()->setText(QString::fromStdString(TabSeparatedText(Rows)));
}

TSeriesFigures TMainForm::SeriesFigures() const {
    return FSeries.Figures([this](const std::string& Text) { return Translate(Text); });
}

// A file bigger than a series refuses before anything of the series is touched.
void TMainForm::CheckSeriesFits(std::size_t Shots, const std::string& FileName) const {
    if (Shots > TSeries::MaxShots)
        throw std::runtime_error(platform::Format(
            Translate("%s holds more shots than a series can (%s): nothing was read."),
            {FileName, std::to_string(TSeries::MaxShots)}));
}

TSeriesSheet TMainForm::SeriesSheet(const TSeriesFigures& Figures) const {
    TSeriesSheet Sheet;
    Sheet.Header = Figures.Header;
    Sheet.Rows = Figures.Shots;
    Sheet.Summary.push_back(Figures.Count);
    for (const TSheetRow& Row : Figures.Statistics)
        Sheet.Summary.push_back({Row[0], "", Row[1], "", Row[2]});
    Sheet.Summary.push_back(Figures.PeletWeight);
    return Sheet;
}

TReportContent TMainForm::ReportContent(const TSeriesFigures& Figures) const {
    TReportContent Report;
    Report.Title = Translate("TARVEX shot report");
    Report.Printed = TranslateWith("Printed: %s", LocalTimeText(platform::LocalTimeNow()));
    Report.Facts = {{Translate("Units"), SpeedUnit() + ", " + EnergyUnit() + ", " + WeightUnit()},
                    {Figures.PeletWeight[0], Figures.PeletWeight[1]},
                    {Figures.Count[0], Figures.Count[1]}};
    Report.StatisticsHeader = {"", TranslateWith("Speed [%s]", SpeedUnit()),
                               TranslateWith("Energy [%s]", EnergyUnit())};
    Report.Statistics = Figures.Statistics;
    Report.TableHeader = Figures.Header;
    Report.Rows = Figures.Shots;
    Report.PagePattern = Translate("Page %s of %s");
    return Report;
}

std::optional<std::string> TMainForm::AskExportFileName(const std::string& Extension) {
    return platform::ModalDialogs().AskFileName(this, platform::TFileDialogKind::Export,
                                                "*." + Extension, Extension);
}

void TMainForm::actExportSpreadsheetExecute() {
    if (const std::optional<std::string> FileName = AskExportFileName("csv"))
        ExportSpreadsheet(*FileName, SeriesSheet(SeriesFigures()));
}

// The chart of the report and the picture is the one on the screen: a shot received within the
// last half second is drawn first.
void TMainForm::ShowPendingShots() {
    if (recalculateTimer->isActive())
        RecalculateNow();
}

void TMainForm::actPrintReportExecute() {
    const std::optional<std::string> FileName = AskExportFileName("pdf");
    if (!FileName)
        return;
    ShowPendingShots();
    const TBusyCursor Busy;
    WriteReportPdf(*FileName, ReportContent(SeriesFigures()), *chNiceChart);
}

void TMainForm::actSaveChartPictureExecute() {
    const std::optional<std::string> FileName = AskExportFileName("png");
    if (!FileName)
        return;
    ShowPendingShots();
    SaveChartPicture(*FileName, *chNiceChart);
}

// The file is read first and the series replaced only then: a file that cannot be imported
// leaves the shots as they were.
void TMainForm::actImportExecute() {
    const std::optional<std::string> FileName = platform::ModalDialogs().AskFileName(
        this, platform::TFileDialogKind::Open, "*.csv *.txt *.tsv *.dat *.prn;;*", "csv");
    if (!FileName)
        return;
    Log("Importing file: " + *FileName);
    TImportedSeries Imported = ReadImportFile(*FileName);
    CheckSeriesFits(Imported.Shots.size(), *FileName);
    if (!FSeries.Empty())
        btnClearClick();
    if (!FSeries.Empty())
        return;
    const std::size_t Count = Imported.Shots.size();
    FSeries.Replace(std::move(Imported.Shots));
    RecalculateNow();
    platform::ModalDialogs().ShowInformation(
        this, platform::Format(Translate("Shots imported: %s; lines skipped: %s."),
                               {std::to_string(Count), std::to_string(Imported.SkippedLines)}));
}

TImportedSeries TMainForm::ReadImportFile(const std::string& FileName) {
    const TBusyCursor Busy;
    try {
        return ImportSeries(FileName, SpeedUnit());
    } catch (const EImportError& Error) {
        throw std::runtime_error(Error.FilledIn(Translate(Error.Pattern())));
    }
}
