// Saving the shots to a data file and loading them back.

#include "app/BusyCursor.h"
#include "app/UDataFile.h"
#include "app/UMainForm.h"
#include "platform/ModalDialogs.h"

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
    SaveDataFile(*FileName, Rows, SpeedUnit(), EnergyUnit(), ePeletWeight->text().toStdString(),
                 WeightUnit());
}

void TMainForm::btnLoadDataClick() {
    if (!FShots.empty())
        btnClearClick();
    if (!FShots.empty())
        return;
    const std::optional<std::string> FileName =
        platform::ModalDialogs().AskFileName(this, platform::TFileDialogKind::Open, "*.csv", "csv");
    if (!FileName)
        return;
    const TBusyCursor Busy;
    try {
        LoadDataFile(
            *FileName, SpeedUnit(),
            [this](const std::string& Unit, double Speed) { FReceiver->AddShot(Unit, Speed); },
            [this](const std::string& Message) { Log(Message); });
    } catch (...) {
        // The shots read before the bad line stay; the display must show them too, so that a
        // later save writes what the list holds.
        const std::exception_ptr LoadError = std::current_exception();
        try {
            RecalculateNow();
        } catch (...) {
            // The load's own error is the one the user must see.
        }
        std::rethrow_exception(LoadError);
    }
    RecalculateNow();
}
