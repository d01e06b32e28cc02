// Saving the shots to a data file and loading them back.

#include "app/BusyCursor.h"
#include "app/UDataFile.h"
#include "app/UMainForm.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"

#include <QLineEdit>

void TMainForm::btnSaveDataClick() {
    const std::optional<std::string> FileName =
        platform::ModalDialogs().AskFileName(this, platform::TFileDialogKind::Save, "*.csv", "csv");
    if (!FileName)
        return;
    std::vector<TTableRow> Rows;
    for (int Row = 1; Row < RowCount(); ++Row)
        Rows.push_back({CellText(1, Row), CellText(2, Row)});
    const TBusyCursor Busy;
    SaveDataFile(*FileName, Rows, FSettings.SpeedUnit(), FSettings.EnergyUnit(),
                 ePeletWeight->text().toStdString(), FSettings.WeightUnit());
}

void TMainForm::btnLoadDataClick() {
    if (!FSeries.Empty())
        btnClearClick();
    if (!FSeries.Empty())
        return;
    const std::optional<std::string> FileName =
        platform::ModalDialogs().AskFileName(this, platform::TFileDialogKind::Open, "*.csv", "csv");
    if (!FileName)
        return;
    const TBusyCursor Busy;
    std::vector<TData> Loaded;
    std::function<void(const std::string&)> LoadLog;
    if (DebugEnabled())
        LoadLog = [this](const std::string& Message) { Log(Message); };
    std::exception_ptr Stopped;
    try {
        LoadDataFile(
            *FileName, FSettings.SpeedUnit(),
            [&](const std::string& Unit, double Speed) {
                Loaded.emplace_back(Unit, Speed);
                CheckSeriesFits(Loaded.size(), *FileName);
            },
            LoadLog);
    } catch (...) {
        Stopped = std::current_exception();
    }
    // The shots read before a bad line stay and are shown, so that a later save writes what the
    // series holds; a file with more shots than a series can hold leaves the series as it is.
    if (Loaded.size() <= TSeries::MaxShots) {
        FSeries.Replace(std::move(Loaded));
        RecalculateNow();
    }
    if (Stopped)
        std::rethrow_exception(Stopped);
}

// A file bigger than a series refuses before anything of the series is touched.
void TMainForm::CheckSeriesFits(std::size_t Shots, const std::string& FileName) const {
    if (Shots > TSeries::MaxShots)
        throw std::runtime_error(platform::Format(
            Translate("%s holds more shots than a series can (%s): nothing was read."),
            {FileName, std::to_string(TSeries::MaxShots)}));
}
