#include "windows/UFrmLibrary.h"

#include "platform/HandlerGuard.h"
#include "platform/ModalDialogs.h"
#include "platform/NumberFormats.h"
#include "platform/ScopeGuard.h"
#include "windows/BusyCursor.h"
#include "windows/DialogButtons.h"
#include "windows/MainSettings.h"
#include "windows/QtText.h"
#include "windows/ScreenRoom.h"
#include "windows/UFrmBallisticCoefficient.h"
#include "windows/UFrmComparison.h"
#include "windows/UFrmTrajectory.h"
#include "windows/ULibraryFiles.h"
#include "windows/ULibraryModel.h"
#include "windows/USeriesSummary.h"

#include <QAction>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

namespace {

// A question names at most this many series; a longer selection ends in an ellipsis.
constexpr std::size_t NamedInQuestion = 10;

// Filtering and sorting over every column, by the numbers where a column has them.
QSortFilterProxyModel* NewProxy(TLibraryModel* Model) {
    auto* Proxy = new QSortFilterProxyModel(Model);
    Proxy->setSourceModel(Model);
    Proxy->setFilterKeyColumn(-1);
    Proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    Proxy->setSortRole(TLibraryModel::SortRole);
    Proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    Proxy->setSortLocaleAware(true);
    return Proxy;
}

// "A", "B", "C" as "„A“, „B“, „C“", quoted as the language quotes.
std::string QuotedNames(const std::vector<TSeriesEntry>& Series, const TTranslate& Translate) {
    std::string Text;
    for (std::size_t Index = 0; Index < Series.size(); ++Index) {
        if (Index == NamedInQuestion)
            return Text + ", \u2026";
        Text += (Index > 0 ? ", " : "") + TranslateWith(Translate, "\"%s\"", Series[Index].Name);
    }
    return Text;
}

// An edit of the notes box and the figure it shows.
struct TNoteField {
    QLineEdit* Edit;
    TNoteQuantity Quantity;
    std::optional<double> TSeriesNotes::*Value;
};

std::array<TNoteField, 4> NoteFields(const TFrmLibrary& Form) {
    return {{{Form.edtPeletWeight, TNoteQuantity::PeletWeight, &TSeriesNotes::PeletWeight},
             {Form.edtPressureStart, TNoteQuantity::Pressure, &TSeriesNotes::PressureStart},
             {Form.edtPressureEnd, TNoteQuantity::Pressure, &TSeriesNotes::PressureEnd},
             {Form.edtTemperature, TNoteQuantity::Temperature, &TSeriesNotes::Temperature}}};
}

} // namespace

TFrmLibrary::TFrmLibrary(TSeriesStore& Store, const TMainSettings& Settings, TTranslate Translate,
                         QWidget* Parent)
    : QDialog(Parent), lblFilter(new QLabel(this)), edtFilter(new QLineEdit(this)),
      grdSeries(new QTableView(this)), grpNotes(new QGroupBox(this)),
      lblPeletWeight(new QLabel(grpNotes)), edtPeletWeight(new QLineEdit(grpNotes)),
      lblPressureStart(new QLabel(grpNotes)), edtPressureStart(new QLineEdit(grpNotes)),
      lblPressureEnd(new QLabel(grpNotes)), edtPressureEnd(new QLineEdit(grpNotes)),
      lblTemperature(new QLabel(grpNotes)), edtTemperature(new QLineEdit(grpNotes)),
      lblNotes(new QLabel(grpNotes)), memNotes(new QPlainTextEdit(grpNotes)),
      btnOpen(NewDialogButton(this)), btnDelete(NewDialogButton(this)),
      btnExport(NewDialogButton(this)), btnExportSpreadsheet(NewDialogButton(this)),
      btnCompare(NewDialogButton(this)), btnClose(NewDialogButton(this)),
      actRename(new QAction(grdSeries)), actDelete(new QAction(grdSeries)),
      actBallistics(new QAction(grdSeries)), actTrajectory(new QAction(grdSeries)), FStore(Store),
      FSettings(Settings), FTranslate(std::move(Translate)),
      FModel(new TLibraryModel(Store, Settings, FTranslate, this)), FProxy(NewProxy(FModel)) {
    setModal(false);
    setSizeGripEnabled(true);
    resize(1180, 560);
    grdSeries->setModel(FProxy);
    grdSeries->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdSeries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A double click opens the series; F2 or Rename edits it, a click never does.
    grdSeries->setEditTriggers(QAbstractItemView::EditKeyPressed);
    grdSeries->setContextMenuPolicy(Qt::ActionsContextMenu);
    grdSeries->setSortingEnabled(true);
    grdSeries->sortByColumn(TLibraryModel::colCreated, Qt::DescendingOrder);
    grdSeries->verticalHeader()->hide();
    edtFilter->setClearButtonEnabled(true);
    memNotes->installEventFilter(this);
    LayOut();
    ConnectHandlers();
    UpdateCaptions();
    SelectionChanged();
}

void TFrmLibrary::LayOut() {
    auto* Filter = new QHBoxLayout;
    Filter->addWidget(lblFilter);
    Filter->addWidget(edtFilter, 1);
    auto* Notes = new QFormLayout(grpNotes);
    Notes->addRow(lblPeletWeight, edtPeletWeight);
    Notes->addRow(lblPressureStart, edtPressureStart);
    Notes->addRow(lblPressureEnd, edtPressureEnd);
    Notes->addRow(lblTemperature, edtTemperature);
    Notes->addRow(lblNotes);
    Notes->addRow(memNotes);
    grpNotes->setFixedWidth(250);
    auto* Middle = new QHBoxLayout;
    Middle->addWidget(grdSeries, 1);
    Middle->addWidget(grpNotes);
    auto* Buttons = new QHBoxLayout;
    for (QPushButton* Button : {btnOpen, btnDelete, btnExport, btnExportSpreadsheet, btnCompare})
        Buttons->addWidget(Button);
    Buttons->addStretch(1);
    Buttons->addWidget(btnClose);
    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Filter);
    Layout->addLayout(Middle, 1);
    Layout->addLayout(Buttons);
}

void TFrmLibrary::ConnectHandlers() {
    const auto Click = [this](QPushButton* Button, void (TFrmLibrary::*Handler)()) {
        connect(Button, &QPushButton::clicked, this, Guarded(this, Handler));
    };
    Click(btnOpen, &TFrmLibrary::btnOpenClick);
    Click(btnDelete, &TFrmLibrary::btnDeleteClick);
    Click(btnExport, &TFrmLibrary::btnExportClick);
    Click(btnExportSpreadsheet, &TFrmLibrary::btnExportSpreadsheetClick);
    Click(btnCompare, &TFrmLibrary::btnCompareClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(edtFilter, &QLineEdit::textChanged, FProxy,
            [this](const QString& Text) { FProxy->setFilterFixedString(Text); });
    // New figures and names may be wider than their columns.
    connect(FModel, &QAbstractItemModel::dataChanged, grdSeries,
            &QTableView::resizeColumnsToContents);
    connect(FModel, &QAbstractItemModel::modelReset, grdSeries,
            &QTableView::resizeColumnsToContents);
    connect(grdSeries->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded(this, &TFrmLibrary::SelectionChanged));
    connect(grdSeries, &QAbstractItemView::doubleClicked, this,
            Guarded(this, &TFrmLibrary::btnOpenClick));
    for (const TNoteField& Field : NoteFields(*this))
        connect(Field.Edit, &QLineEdit::editingFinished, this,
                Guarded(this, &TFrmLibrary::SaveNotes));
    actDelete->setShortcut(QKeySequence::Delete);
    actDelete->setShortcutContext(Qt::WidgetShortcut);
    grdSeries->addActions({actRename, actDelete, actBallistics, actTrajectory});
    connect(actBallistics, &QAction::triggered, this,
            Guarded(this, &TFrmLibrary::actBallisticsExecute));
    connect(actTrajectory, &QAction::triggered, this,
            Guarded(this, &TFrmLibrary::actTrajectoryExecute));
    connect(actRename, &QAction::triggered, this, Guarded(this, &TFrmLibrary::actRenameExecute));
    connect(actDelete, &QAction::triggered, this, Guarded(this, &TFrmLibrary::btnDeleteClick));
}

void TFrmLibrary::UpdateCaptions() {
    const TUnitSystem& Units = UnitsOf(FSettings);
    const auto Set = [this](auto* Control, const std::string& Text) {
        Control->setText(ToQString(Text));
    };
    const auto WithUnit = [&](const char* Pattern, TNoteQuantity Quantity) {
        return TranslateWith(FTranslate, Pattern, NoteUnit(Quantity, Units));
    };
    setWindowTitle(ToQString(Translate("Series library")));
    Set(lblFilter, Translate("Filter:"));
    grpNotes->setTitle(ToQString(Translate("Notes")));
    Set(lblPeletWeight, WithUnit("Pelet Weight [%s]:", TNoteQuantity::PeletWeight));
    Set(lblPressureStart, WithUnit("Fill pressure at start [%s]:", TNoteQuantity::Pressure));
    Set(lblPressureEnd, WithUnit("Fill pressure at end [%s]:", TNoteQuantity::Pressure));
    Set(lblTemperature, WithUnit("Temperature [%s]:", TNoteQuantity::Temperature));
    Set(lblNotes, Translate("Remarks:"));
    Set(btnOpen, Translate("Open"));
    Set(btnDelete, Translate("Delete"));
    Set(btnExport, Translate("Export\u2026"));
    Set(btnExportSpreadsheet, Translate("Export for spreadsheet\u2026"));
    Set(btnCompare, Translate("Compare"));
    Set(btnClose, Translate("Close"));
    Set(actRename, Translate("Rename"));
    Set(actBallistics, Translate("Ballistic coefficient\u2026"));
    Set(actTrajectory, Translate("Trajectory\u2026"));
    Set(actDelete, Translate("Delete"));
    FModel->ApplySettings();
    FitColumns();
    // What was typed in the old units is kept before the box shows the new ones.
    SaveNotes();
    ShowNotes();
}

// Each column is as wide as its caption and its widest figure, which the language, the units and
// the series change. As it opens and when the captions change, the window widens to show every
// column as far as its screen has room, moving left where it would pass the screen's edge; a
// table wider still scrolls. The user may narrow the window again.
void TFrmLibrary::FitColumns() {
    grdSeries->resizeColumnsToContents();
    const int Missing = grdSeries->horizontalHeader()->length() - grdSeries->viewport()->width();
    if (!isVisible() || Missing <= 0)
        return;
    FitToScreen(*this, {width() + Missing, height()});
}

// The series being recorded takes the pellet weight in force as it goes: the notes box shows the
// store's new figures, except where the user has typed, so that leaving it writes nothing stale.
void TFrmLibrary::RefreshSeries(std::int64_t Id) {
    const int Row = FModel->RowOf(Id);
    const std::optional<TSeriesNotes> Shown =
        Id == FNotesId && Row >= 0 ? std::optional(FModel->Entry(Row).Notes) : std::nullopt;
    if (!FModel->RefreshSeries(Id))
        Refresh();
    else if (Shown)
        FollowStoredNotes(*Shown, FModel->Entry(Row).Notes);
}

void TFrmLibrary::FollowStoredNotes(const TSeriesNotes& Shown, const TSeriesNotes& Stored) {
    const TUnitSystem& Units = *FNotesUnits;
    for (const TNoteField& Field : NoteFields(*this))
        if (Field.Edit->text().trimmed().toStdString() ==
            NoteText(Field.Quantity, Shown.*Field.Value, Units))
            Field.Edit->setText(ToQString(NoteText(Field.Quantity, Stored.*Field.Value, Units)));
}

void TFrmLibrary::Refresh() {
    SaveNotes();
    const std::vector<std::int64_t> Ids = SelectedIds();
    // The notes box is filled again from what the store holds now.
    FNotesId.reset();
    FModel->Refresh();
    Select(Ids);
    SelectionChanged();
}

std::vector<std::int64_t> TFrmLibrary::SelectedIds() const {
    std::vector<std::int64_t> Ids;
    for (const TSeriesEntry& Entry : SelectedSeries())
        Ids.push_back(Entry.Id);
    return Ids;
}

std::vector<TSeriesEntry> TFrmLibrary::SelectedSeries() const {
    QModelIndexList Rows = grdSeries->selectionModel()->selectedRows();
    std::sort(Rows.begin(), Rows.end(),
              [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
    std::vector<TSeriesEntry> Series;
    for (const QModelIndex& Row : Rows)
        Series.push_back(FModel->Entry(FProxy->mapToSource(Row).row()));
    return Series;
}

void TFrmLibrary::Select(const std::vector<std::int64_t>& Ids) {
    QItemSelection Selection;
    for (const std::int64_t Id : Ids) {
        const int Row = FModel->RowOf(Id);
        const QModelIndex Index = FProxy->mapFromSource(FModel->index(Row, 0));
        if (Row >= 0 && Index.isValid())
            Selection.select(Index, Index);
    }
    grdSeries->selectionModel()->select(Selection, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
}

// The notes typed for the series shown so far are kept before the box shows another.
void TFrmLibrary::SelectionChanged() {
    SaveNotes();
    ShowNotes();
    UpdateButtons();
}

void TFrmLibrary::UpdateButtons() {
    const std::size_t Count = grdSeries->selectionModel()->selectedRows().size();
    btnOpen->setEnabled(Count == 1 && OpenSeries);
    btnDelete->setEnabled(Count > 0 && !FStore.ReadOnly());
    actDelete->setEnabled(btnDelete->isEnabled());
    actRename->setEnabled(Count == 1 && !FStore.ReadOnly());
    actBallistics->setEnabled(Count == 2);
    actTrajectory->setEnabled(Count == 1);
    btnExport->setEnabled(Count > 0);
    btnExportSpreadsheet->setEnabled(Count > 0);
    btnCompare->setEnabled(Count > 1);
}

// The box shows the notes of one selected series; with none or several it stays empty.
void TFrmLibrary::ShowNotes() {
    const std::vector<TSeriesEntry> Series = SelectedSeries();
    const TSeriesEntry* Entry = Series.size() == 1 ? &Series.front() : nullptr;
    FNotesId = Entry ? std::optional(Entry->Id) : std::nullopt;
    FNotesUnits = &UnitsOf(FSettings);
    const TUnitSystem& Units = *FNotesUnits;
    for (const TNoteField& Field : NoteFields(*this))
        Field.Edit->setText(
            ToQString(Entry ? NoteText(Field.Quantity, Entry->Notes.*Field.Value, Units) : ""));
    memNotes->setPlainText(ToQString(Entry ? Entry->Notes.Text : ""));
    grpNotes->setEnabled(Entry != nullptr && !FStore.ReadOnly());
}

void TFrmLibrary::SaveNotes() {
    if (!FNotesId || FSavingNotes)
        return;
    const int Row = FModel->RowOf(*FNotesId);
    if (Row < 0)
        return;
    FSavingNotes = true;
    const auto Saved = platform::TScopeGuard([this] { FSavingNotes = false; });
    TSeriesNotes Notes = FModel->Entry(Row).Notes;
    if (!NotesChanged(Notes))
        return;
    if (!FModel->SetNotes(Row, Notes))
        ShowNotes();
    else if (NotesSaved)
        NotesSaved(*FNotesId);
}

// Notes becomes what the box shows, read in the units the box was filled in. A figure left as
// it was shown keeps the stored value exactly, so that a rounded display never changes it; one
// that is not a number is told and shown as it was.
bool TFrmLibrary::NotesChanged(TSeriesNotes& Notes) {
    const TSeriesNotes Stored = Notes;
    const TUnitSystem& Units = *FNotesUnits;
    for (const TNoteField& Field : NoteFields(*this)) {
        const std::string StoredText = NoteText(Field.Quantity, Stored.*Field.Value, Units);
        const std::string Shown = Field.Edit->text().trimmed().toStdString();
        double Value = 0;
        if (Shown == StoredText)
            continue;
        if (Shown.empty()) {
            Notes.*Field.Value = std::nullopt;
        } else if (platform::TryStrToFloat(Shown, Value) &&
                   (Field.Quantity != TNoteQuantity::PeletWeight || Value > 0)) {
            Notes.*Field.Value = NoteFromDisplay(Field.Quantity, Value, Units);
        } else {
            Field.Edit->setText(ToQString(StoredText));
            platform::ModalDialogs().ShowError(
                this, TranslateWith(FTranslate, "\"%s\" is not a valid value here.", Shown));
        }
    }
    // The weight shows as it was last typed: in the unit the box showed then.
    if (Notes.PeletWeight != Stored.PeletWeight)
        Notes.PeletWeightUnit = Notes.PeletWeight ? Units.WeightUnit : "";
    Notes.Text = memNotes->toPlainText().toStdString();
    return Notes != Stored;
}

void TFrmLibrary::btnOpenClick() {
    const std::vector<TSeriesEntry> Series = SelectedSeries();
    if (Series.size() == 1 && OpenSeries)
        OpenSeries(Series.front().Id);
}

void TFrmLibrary::actRenameExecute() {
    const QModelIndexList Rows = grdSeries->selectionModel()->selectedRows(TLibraryModel::colName);
    if (Rows.size() == 1)
        grdSeries->edit(Rows.front());
}

void TFrmLibrary::btnDeleteClick() {
    const std::vector<TSeriesEntry> Series = SelectedSeries();
    if (Series.empty() || FStore.ReadOnly() || !Deletable(Series))
        return;
    const std::string Question =
        Series.size() == 1
            ? platform::Format(
                  Translate("Do you really want to delete the series \"%s\" (shots: %s)?"),
                  {Series.front().Name, std::to_string(Series.front().ShotCount)})
            : platform::Format(Translate("Do you really want to delete %s series: %s?"),
                               {std::to_string(Series.size()), QuotedNames(Series, FTranslate)});
    if (platform::ModalDialogs().AskYesNo(this, Question))
        DeleteSeries(Series);
}

// The series being recorded, here or by another TARVEX, is never deleted under the program that
// records it.
bool TFrmLibrary::Deletable(const std::vector<TSeriesEntry>& Series) {
    const std::optional<std::int64_t> Current = CurrentSeries ? CurrentSeries() : std::nullopt;
    for (const TSeriesEntry& Entry : Series) {
        if (Entry.Id == Current || FStore.Holds(Entry.Id) || FStore.ClaimedElsewhere(Entry.Id)) {
            platform::ModalDialogs().ShowError(
                this, TranslateWith(FTranslate,
                                    "\"%s\" is the series being recorded: it cannot be deleted.",
                                    Entry.Name));
            return false;
        }
    }
    return true;
}

// Each series goes on its own; one that another program records into is refused by the store,
// and the others are deleted all the same.
void TFrmLibrary::DeleteSeries(const std::vector<TSeriesEntry>& Series) {
    std::string Refusals;
    for (const TSeriesEntry& Entry : Series) {
        try {
            FStore.DeleteSeries(Entry.Id);
        } catch (const std::exception& Error) {
            Refusals += (Refusals.empty() ? "" : "\n") +
                        TranslateWith(FTranslate, "\"%s\"", Entry.Name) + ": " + Error.what();
        }
    }
    Refresh();
    if (!Refusals.empty())
        platform::ModalDialogs().ShowError(this, Refusals);
}

std::optional<std::vector<std::string>>
TFrmLibrary::AskFileNames(const std::vector<TSeriesEntry>& Series, const std::string& Extension) {
    const std::optional<std::string> Chosen = platform::ModalDialogs().AskFileName(
        this, platform::TFileDialogKind::Export, "*." + Extension, Extension);
    if (!Chosen)
        return std::nullopt;
    std::vector<std::string> Names;
    for (const TSeriesEntry& Entry : Series)
        Names.push_back(Entry.Name);
    std::vector<std::string> Files = SeriesFileNames(*Chosen, Names);
    // The file dialog asked about the chosen name only: the names made from it are asked here.
    std::string Existing;
    for (const std::string& File : Files)
        if (Series.size() > 1 && std::filesystem::exists(File))
            Existing += "\n" + File;
    if (!Existing.empty() &&
        !platform::ModalDialogs().AskYesNo(
            this,
            TranslateWith(FTranslate, "These files exist already:%s\nReplace them?", Existing)))
        return std::nullopt;
    return Files;
}

void TFrmLibrary::ExportSelected(
    const std::string& Extension,
    const std::function<void(const std::string&, const TSeries&, const TSeriesEntry&)>& Write) {
    SaveNotes();
    const std::vector<TSeriesEntry> Series = SelectedSeries();
    if (Series.empty())
        return;
    const std::optional<std::vector<std::string>> Files = AskFileNames(Series, Extension);
    if (!Files)
        return;
    TSeriesReading Reading(FStore, FTranslate);
    // What was not read is told once the busy cursor is gone.
    {
        const TBusyCursor Busy;
        const TUnitSystem& Units = UnitsOf(FSettings);
        for (std::size_t Index = 0; Index < Series.size(); ++Index)
            if (const std::optional<TSeries> Loaded = LoadSeries(Reading, Series[Index], Units))
                Write((*Files)[Index], *Loaded, Series[Index]);
    }
    Reading.Tell(this);
}

void TFrmLibrary::btnExportClick() {
    ExportSelected("csv", [](const std::string& File, const TSeries& Series,
                             const TSeriesEntry& Entry) { WriteDataFile(File, Series, Entry); });
}

void TFrmLibrary::btnExportSpreadsheetClick() {
    ExportSelected(
        "csv", [this](const std::string& File, const TSeries& Series, const TSeriesEntry& Entry) {
            WriteSpreadsheet(File, Series, Entry, FTranslate);
        });
}

TFrmComparison* TFrmLibrary::Comparison() const {
    return FComparison;
}

void TFrmLibrary::btnCompareClick() {
    SaveNotes();
    std::vector<TSeriesEntry> Series = SelectedSeries();
    if (Series.size() < 2)
        return;
    auto* Window = new TFrmComparison(FStore, std::move(Series), FSettings, FTranslate, this);
    Window->setAttribute(Qt::WA_DeleteOnClose);
    FComparison = Window;
    Window->show();
}

void TFrmLibrary::actBallisticsExecute() {
    SaveNotes();
    const std::vector<TSeriesEntry> Series = SelectedSeries();
    if (Series.size() != 2)
        return;
    TSeriesReading Reading(FStore, FTranslate);
    std::vector<TSampleSummary> Speeds;
    for (const TSeriesEntry& Entry : Series) {
        const std::optional<std::vector<TData>> Shots = Reading.Shots(Entry);
        if (!Shots) {
            Reading.Tell(this);
            return;
        }
        std::vector<double> MetresPerSecond;
        for (const TData& Shot : *Shots)
            MetresPerSecond.push_back(Shot.SpeedIn("m/s"));
        Speeds.push_back(Summarize(MetresPerSecond));
    }
    const std::size_t Near = Speeds[0].Mean >= Speeds[1].Mean ? 0 : 1;
    auto* Window = new TFrmBallisticCoefficient(FStore, Series[Near], Speeds[Near],
                                                Speeds[1 - Near], FSettings, FTranslate, this);
    Window->setAttribute(Qt::WA_DeleteOnClose);
    Window->show();
}

void TFrmLibrary::actTrajectoryExecute() {
    SaveNotes();
    const std::vector<TSeriesEntry> Series = SelectedSeries();
    if (Series.size() != 1)
        return;
    const TSeriesEntry& Entry = Series.front();
    TTrajectoryStart Start{Entry.Name, Entry.Mean, Entry.Notes.PeletWeight,
                           FStore.Ballistics(Entry.Id).value_or(TSeriesBallistics{}), nullptr};
    if (!FStore.ReadOnly())
        Start.Keep = [this, Id = Entry.Id](const TSeriesBallistics& Ballistics) {
            FStore.SetBallistics(Id, Ballistics);
        };
    (new TFrmTrajectory(Start, FSettings, FTranslate, this))->show();
}

void TFrmLibrary::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    RunGuarded(this, [this] {
        Refresh();
        UpdateCaptions();
    });
}

void TFrmLibrary::hideEvent(QHideEvent* Event) {
    RunGuarded(this, [this] { SaveNotes(); });
    QDialog::hideEvent(Event);
}

// The remarks have no "editing finished" of their own: leaving the box finishes them.
bool TFrmLibrary::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == memNotes && Event->type() == QEvent::FocusOut)
        RunGuarded(this, [this] { SaveNotes(); });
    return QDialog::eventFilter(Watched, Event);
}
