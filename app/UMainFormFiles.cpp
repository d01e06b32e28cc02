// Saving the shots to a data file and loading them back.

#include "app/BusyCursor.h"
#include "app/UDataFile.h"
#include "app/UMainForm.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"

#include <QLineEdit>
#include <QTimer>
#include <numeric>

void TMainForm::btnSaveDataClick() {
    const std::optional<std::string> FileName =
        platform::ModalDialogs().AskFileName(this, platform::TFileDialogKind::Save, "*.csv", "csv");
    if (!FileName)
        return;
    // A shot received within the last half second is saved too.
    if (recalculateTimer->isActive())
        RecalculateNow();
    std::vector<TTableRow> Rows;
    for (int Row = 1; Row < RowCount(); ++Row)
        Rows.push_back({CellText(1, Row), CellText(2, Row)});
    const TBusyCursor Busy;
    SaveDataFile(*FileName, Rows, FSettings.SpeedUnit(), FSettings.EnergyUnit(),
                 ePeletWeight->text().toStdString(), FSettings.WeightUnit());
}

// The shots there were when the user agreed to clear them give way to the file's, which follow
// any shot received meanwhile; until the file has been read, nothing of the series is touched,
// so a file that cannot be loaded or holds too many shots costs the user nothing.
void TMainForm::btnLoadDataClick() {
    const std::size_t Cleared = FSeries.Count();
    if (Cleared > 0 && !platform::ModalDialogs().AskYesNo(
                           this, Translate("Do you really want to clear all values?")))
        return;
    const std::optional<std::string> FileName =
        platform::ModalDialogs().AskFileName(this, platform::TFileDialogKind::Open, "*.csv", "csv");
    if (!FileName)
        return;
    const TBusyCursor Busy;
    std::vector<TData> Loaded;
    const std::exception_ptr Stopped = ReadDataFile(*FileName, Cleared, Loaded);
    // Shots received meanwhile count too.
    CheckSeriesFits(FSeries.Count() - Cleared + Loaded.size(), *FileName);
    std::vector<std::size_t> Old(Cleared);
    std::iota(Old.begin(), Old.end(), std::size_t{0});
    FSeries.Delete(Old);
    // The shots read before a bad line stay and are shown, so that a later save writes what the
    // series holds.
    FSeries.AppendAll(std::move(Loaded));
    RecalculateNow();
    if (Stopped)
        std::rethrow_exception(Stopped);
}

// Reads the shots of FileName into Loaded, as many as fit beside the shots of the series that
// stay; the error that stopped the reading, if any, comes back.
std::exception_ptr TMainForm::ReadDataFile(const std::string& FileName, std::size_t Cleared,
                                           std::vector<TData>& Loaded) {
    std::function<void(const std::string&)> LoadLog;
    if (DebugEnabled())
        LoadLog = [this](const std::string& Message) { Log(Message); };
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

// A file bigger than a series refuses before anything of the series is touched.
void TMainForm::CheckSeriesFits(std::size_t Shots, const std::string& FileName) const {
    if (Shots > TSeries::MaxShots)
        throw std::runtime_error(platform::Format(
            Translate("%s holds more shots than a series can (%s): nothing was read."),
            {FileName, std::to_string(TSeries::MaxShots)}));
}
