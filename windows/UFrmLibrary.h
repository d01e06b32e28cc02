#pragma once

// The series library window: every recorded series in a table that a filter narrows and a click
// on a header sorts, the notes of the selected series, and the commands on the selection: open,
// delete, export, compare. Name, pellet and gun are edited in the table itself, on request only
// (F2, or Rename in the table's menu): a click that opened an editor late would take the keys
// typed into the notes meanwhile. The window is not modal: it stays open beside the main
// window, and reads the library again whenever it is shown.

#include "series/USeries.h"

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class TFrmComparison;
class TLibraryModel;
class TMainSettings;
class TSeriesStore;
struct TSeriesEntry;
struct TSeriesNotes;

class TFrmLibrary : public QDialog {
public:
    TFrmLibrary(TSeriesStore& Store, const TMainSettings& Settings, TTranslate Translate,
                QWidget* Parent);

    // Makes series Id the main window's current series.
    std::function<void(std::int64_t Id)> OpenSeries;
    // The series this program records into, which is never deleted under it.
    std::function<std::optional<std::int64_t>()> CurrentSeries;
    // Told after the notes of series Id were stored, which the main window's chart may show.
    std::function<void(std::int64_t Id)> NotesSaved;

    // Reads the library again; the selection and the filter stay.
    void Refresh();
    // Reads series Id again, as its shots come in.
    void RefreshSeries(std::int64_t Id);
    // Captions, units and figures again, after the language or the units changed.
    void UpdateCaptions();

    // The selected series in the table's order.
    std::vector<TSeriesEntry> SelectedSeries() const;
    // The comparison window last opened, while it is open.
    TFrmComparison* Comparison() const;
    TLibraryModel& Model() const { return *FModel; }

    void btnOpenClick();
    void btnDeleteClick();
    void btnExportClick();
    void btnExportSpreadsheetClick();
    void btnCompareClick();
    // Opens the name of the current series for editing.
    void actRenameExecute();
    // The BC from the two series selected, the faster one shot at the muzzle.
    void actBallisticsExecute();
    // The trajectory of the series selected, from its mean speed, weight and kept figures.
    void actTrajectoryExecute();

    QLabel* const lblFilter;
    QLineEdit* const edtFilter;
    QTableView* const grdSeries;
    QGroupBox* const grpNotes;
    QLabel* const lblPeletWeight;
    QLineEdit* const edtPeletWeight;
    QLabel* const lblPressureStart;
    QLineEdit* const edtPressureStart;
    QLabel* const lblPressureEnd;
    QLineEdit* const edtPressureEnd;
    QLabel* const lblTemperature;
    QLineEdit* const edtTemperature;
    QLabel* const lblNotes;
    QPlainTextEdit* const memNotes;
    QPushButton* const btnOpen;
    QPushButton* const btnDelete;
    QPushButton* const btnExport;
    QPushButton* const btnExportSpreadsheet;
    QPushButton* const btnCompare;
    QPushButton* const btnClose;
    // The table's menu.
    QAction* const actRename;
    QAction* const actDelete;
    QAction* const actBallistics;
    QAction* const actTrajectory;

protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void LayOut();
    void ConnectHandlers();
    void FitColumns();
    std::string Translate(const std::string& Text) const { return FTranslate(Text); }
    std::vector<std::int64_t> SelectedIds() const;
    void Select(const std::vector<std::int64_t>& Ids);
    void SelectionChanged();
    void UpdateButtons();
    void ShowNotes();
    // Each figure of the notes box that still shows Shown's shows Stored's.
    void FollowStoredNotes(const TSeriesNotes& Shown, const TSeriesNotes& Stored);
    void SaveNotes();
    bool NotesChanged(TSeriesNotes& Notes);
    bool Deletable(const std::vector<TSeriesEntry>& Series);
    void DeleteSeries(const std::vector<TSeriesEntry>& Series);
    // Asks for the file name of the selected series; none when the user cancels.
    std::optional<std::vector<std::string>> AskFileNames(const std::vector<TSeriesEntry>& Series,
                                                         const std::string& Extension);
    void ExportSelected(
        const std::string& Extension,
        const std::function<void(const std::string&, const TSeries&, const TSeriesEntry&)>& Write);

    TSeriesStore& FStore;
    const TMainSettings& FSettings;
    TTranslate FTranslate;
    TLibraryModel* const FModel;
    QSortFilterProxyModel* const FProxy;
    // The series whose notes the box shows.
    std::optional<std::int64_t> FNotesId;
    // The units the box shows them in.
    const TUnitSystem* FNotesUnits = &MetricUnits;
    // Set while the notes are saved, so that the focus moving to an error box saves nothing.
    bool FSavingNotes = false;
    QPointer<TFrmComparison> FComparison;
};
