// Clearing the series, saving it to a data file and loading one back.

#include "app/UMainForm.h"
#include "app/UPeletWeightBox.h"
#include "app/USeriesCommands.h"
#include "app/UShotTable.h"
#include "files/UDataFile.h"
#include "library/SeriesRecorder.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "windows/BusyCursor.h"

#include <QLineEdit>
#include <numeric>

void TSeriesCommands::ClearSeries() {
    FRecorder->FinishTakeUp();
    if (!platform::ModalDialogs().AskYesNo(&FForm,
                                           FTranslate("Do you really want to clear all values?")))
        return;
    // The shots of the last half second stay with the series put away.
    CheckAllCommitted();
    FSeries.Clear();
    FRecorder->StartSeries();
    FForm.RecalculateNow();
}

// A series is put away only once the library has all its shots and takes the change.
void TSeriesCommands::CheckAllCommitted() const {
    if (!FRecorder->LibraryFree())
        throw std::runtime_error(
            FTranslate("The series library is busy with another TARVEX: try again in a moment."));
}

void TSeriesCommands::SaveData() {
    const std::optional<std::string> FileName = platform::ModalDialogs().AskFileName(
        &FForm, platform::TFileDialogKind::Save, "*.csv", "csv");
    if (!FileName)
        return;
    // A shot received within the last half second is saved too.
    ShowPendingShots();
    const TShotTable& Table = *FForm.stringGridLeft;
    std::vector<TTableRow> Rows;
    for (int Row = 1; Row < Table.RowCount(); ++Row)
        Rows.push_back({Table.CellText(1, Row), Table.CellText(2, Row)});
    const TBusyCursor Busy;
    const TDisplaySettings& Settings = FSettings;
    SaveDataFile(*FileName, Rows, Settings.SpeedUnit(), Settings.EnergyUnit(),
                 FForm.pnlPeletWeight->ePeletWeight->text().toStdString(), Settings.WeightUnit());
}

// The shots there were when the user agreed to clear them give way to the file's, which follow
// any shot received meanwhile; until the file has been read, nothing of the series is touched,
// so a file that cannot be loaded or holds too many shots costs the user nothing.
void TSeriesCommands::LoadData() {
    FRecorder->FinishTakeUp();
    TSeries& Series = FSeries;
    const std::size_t Cleared = Series.Count();
    if (Cleared > 0 && !platform::ModalDialogs().AskYesNo(
                           &FForm, FTranslate("Do you really want to clear all values?")))
        return;
    const std::optional<std::string> FileName = platform::ModalDialogs().AskFileName(
        &FForm, platform::TFileDialogKind::Open, "*.csv", "csv");
    if (!FileName)
        return;
    const TBusyCursor Busy;
    std::vector<TData> Loaded;
    const std::exception_ptr Stopped = ReadDataFile(*FileName, Cleared, Loaded);
    // Shots received meanwhile count too.
    CheckSeriesFits(Series.Count() - Cleared + Loaded.size(), *FileName);
    std::vector<std::size_t> Old(Cleared);
    std::iota(Old.begin(), Old.end(), std::size_t{0});
    // The library has every shot before the series changes; those received meanwhile go with the
    // file's into its new series.
    CheckAllCommitted();
    Series.Delete(Old);
    // The shots read before a bad line stay and are shown, so that a later save writes what the
    // series holds.
    Series.AppendAll(std::move(Loaded));
    FRecorder->StartSeries(SeriesNameOfFile(*FileName), Cleared, FileNameWithoutFolder(*FileName));
    FForm.RecalculateNow();
    if (Stopped)
        std::rethrow_exception(Stopped);
}

std::exception_ptr TSeriesCommands::ReadDataFile(const std::string& FileName, std::size_t Cleared,
                                                 std::vector<TData>& Loaded) {
    std::function<void(const std::string&)> LoadLog;
    if (FForm.DebugEnabled())
        LoadLog = [this](const std::string& Message) { FForm.Log(Message); };
    try {
        LoadDataFile(
            FileName, FSettings.SpeedUnit(),
            [&](const std::string& Unit, double Speed) {
                Loaded.emplace_back(Unit, Speed);
                CheckSeriesFits(FSeries.Count() - Cleared + Loaded.size(), FileName);
            },
            LoadLog);
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

// A file bigger than a series is refused before anything of the series is touched.
void TSeriesCommands::CheckSeriesFits(std::size_t Shots, const std::string& FileName) const {
    if (Shots > TSeries::MaxShots)
        throw std::runtime_error(platform::Format(
            FTranslate("%s holds more shots than a series can (%s): nothing was read."),
            {FileName, std::to_string(TSeries::MaxShots)}));
}
