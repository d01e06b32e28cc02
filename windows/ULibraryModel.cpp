#include "windows/ULibraryModel.h"

#include "platform/HandlerGuard.h"
#include "platform/NumberFormats.h"
#include "windows/MainSettings.h"
#include "windows/QtText.h"
#include "windows/USeriesSummary.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>
#include <utility>

namespace {

bool IsNumeric(int Column) {
    switch (Column) {
    case TLibraryModel::colShots:
    case TLibraryModel::colMean:
    case TLibraryModel::colSpread:
    case TLibraryModel::colDeviation:
    case TLibraryModel::colEnergy:
        return true;
    default:
        return false;
    }
}

bool IsEditable(int Column) {
    return Column == TLibraryModel::colName || Column == TLibraryModel::colPellet ||
           Column == TLibraryModel::colGun;
}

// The texts edited in place; the others are figures.
const std::string& TextOf(const TSeriesEntry& Entry, int Column) {
    switch (Column) {
    case TLibraryModel::colName:
        return Entry.Name;
    case TLibraryModel::colCreated:
        return Entry.Created;
    case TLibraryModel::colPellet:
        return Entry.Notes.Pellet;
    default:
        return Entry.Notes.Gun;
    }
}

} // namespace

TLibraryModel::TLibraryModel(TSeriesStore& Store, const TMainSettings& Settings,
                             TTranslate Translate, QWidget* Window)
    : QAbstractTableModel(Window), FStore(Store), FSettings(Settings),
      FTranslate(std::move(Translate)), FWindow(Window) {}

void TLibraryModel::Refresh() {
    std::vector<TSeriesEntry> Entries = FStore.ListSeries();
    beginResetModel();
    FEntries = std::move(Entries);
    endResetModel();
}

bool TLibraryModel::RefreshSeries(std::int64_t Id) {
    const int Row = RowOf(Id);
    if (Row < 0)
        return false;
    const std::optional<TSeriesEntry> Entry = FStore.ListedSeries(Id);
    if (!Entry)
        return false;
    FEntries[static_cast<std::size_t>(Row)] = *Entry;
    emit dataChanged(index(Row, 0), index(Row, ColumnCount - 1));
    return true;
}

void TLibraryModel::ApplySettings() {
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!FEntries.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int TLibraryModel::RowOf(std::int64_t Id) const {
    for (std::size_t Row = 0; Row < FEntries.size(); ++Row)
        if (FEntries[Row].Id == Id)
            return static_cast<int>(Row);
    return -1;
}

int TLibraryModel::rowCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : static_cast<int>(FEntries.size());
}

int TLibraryModel::columnCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : ColumnCount;
}

std::optional<double> TLibraryModel::Figure(const TSeriesEntry& Entry, int Column) const {
    const TUnitSystem& Units = UnitsOf(FSettings);
    const auto Speed = [&](const std::optional<double>& Value) -> std::optional<double> {
        return Value ? std::optional(DisplaySpeed(*Value, Units)) : std::nullopt;
    };
    switch (Column) {
    case colShots:
        return static_cast<double>(Entry.ShotCount);
    case colMean:
        return Speed(Entry.Mean);
    case colSpread:
        if (Entry.Maximum && Entry.Minimum)
            return DisplaySpeed(*Entry.Maximum - *Entry.Minimum, Units);
        return std::nullopt;
    case colDeviation:
        return Speed(Entry.Deviation);
    case colEnergy:
        return MeanEnergy(Entry, Units);
    default:
        return std::nullopt;
    }
}

QVariant TLibraryModel::DisplayText(const TSeriesEntry& Entry, int Column) const {
    if (!IsNumeric(Column))
        return ToQString(TextOf(Entry, Column));
    if (Column == colShots)
        return QString::number(Entry.ShotCount);
    const std::optional<double> Value = Figure(Entry, Column);
    return Value ? ToQString(FormatValue(*Value)) : QString();
}

// A series without the figure has none: the proxy's comparison puts it after every number.
QVariant TLibraryModel::SortValue(const TSeriesEntry& Entry, int Column) const {
    if (!IsNumeric(Column))
        return ToQString(TextOf(Entry, Column));
    const std::optional<double> Value = Figure(Entry, Column);
    return Value ? QVariant(*Value) : QVariant();
}

// Read over the name: that the series' file did not go in whole, and the free text of the notes.
QVariant TLibraryModel::NameTip(const TSeriesEntry& Entry) const {
    std::string Tip;
    if (Entry.Incomplete())
        Tip = platform::Format(FTranslate("%s of %s shots of %s were kept: load the file again."),
                               {std::to_string(Entry.ShotCount), std::to_string(*Entry.SourceShots),
                                Entry.SourceName});
    if (!Entry.Notes.Text.empty())
        Tip += (Tip.empty() ? "" : "\n\n") + Entry.Notes.Text;
    return Tip.empty() ? QVariant() : QVariant(ToQString(Tip));
}

QVariant TLibraryModel::data(const QModelIndex& Index, int Role) const {
    if (!Index.isValid() || Index.row() >= rowCount())
        return {};
    const TSeriesEntry& Entry = FEntries[std::size_t(Index.row())];
    switch (Role) {
    case Qt::DisplayRole:
        return DisplayText(Entry, Index.column());
    case Qt::EditRole:
        return IsEditable(Index.column()) ? ToQString(TextOf(Entry, Index.column())) : QVariant();
    case SortRole:
        return SortValue(Entry, Index.column());
    case Qt::TextAlignmentRole:
        return IsNumeric(Index.column()) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                         : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::DecorationRole:
        return Index.column() == colName && Entry.Incomplete()
                   ? QVariant(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning))
                   : QVariant();
    case Qt::ToolTipRole:
        return Index.column() == colName ? NameTip(Entry) : QVariant();
    default:
        return {};
    }
}

QVariant TLibraryModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
    if (Orientation != Qt::Horizontal || Role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(Section, Orientation, Role);
    const TUnitSystem& Units = UnitsOf(FSettings);
    // A figure's caption takes a line a word, so that the columns stay narrow enough for all of
    // them to be seen beside the notes.
    const auto WithUnit = [&](const char* Pattern, const char* Unit) {
        return ToQString(TranslateWith(FTranslate, Pattern, Unit)).replace(' ', '\n');
    };
    const auto Speed = [&](const char* Pattern) { return WithUnit(Pattern, Units.SpeedUnit); };
    switch (Section) {
    case colName:
        return ToQString(FTranslate("Name"));
    case colCreated:
        return ToQString(FTranslate("Created"));
    case colShots:
        return ToQString(FTranslate("Shots"));
    case colMean:
        return Speed("Mean [%s]");
    case colSpread:
        return Speed("Extreme spread [%s]");
    case colDeviation:
        return Speed("Standard deviation [%s]");
    case colEnergy:
        return WithUnit("Mean energy [%s]", Units.EnergyUnit);
    case colPellet:
        return ToQString(FTranslate("Pellet"));
    case colGun:
        return ToQString(FTranslate("Gun"));
    default:
        return {};
    }
}

Qt::ItemFlags TLibraryModel::flags(const QModelIndex& Index) const {
    const Qt::ItemFlags Flags = QAbstractTableModel::flags(Index);
    if (!Index.isValid() || !IsEditable(Index.column()) || FStore.ReadOnly())
        return Flags;
    return Flags | Qt::ItemIsEditable;
}

// A name stays a name: an empty one is not taken.
bool TLibraryModel::setData(const QModelIndex& Index, const QVariant& Value, int Role) {
    if (Role != Qt::EditRole || !Index.isValid() || !IsEditable(Index.column()))
        return false;
    const int Row = Index.row();
    const TSeriesEntry& Entry = FEntries[std::size_t(Row)];
    const std::string Text = Value.toString().trimmed().toStdString();
    if (Text == TextOf(Entry, Index.column()))
        return true;
    if (Index.column() == colName) {
        if (Text.empty() || !Stored([&] { FStore.Rename(Entry.Id, Text); }))
            return false;
        FEntries[std::size_t(Row)].Name = Text;
        RowChanged(Row);
        return true;
    }
    TSeriesNotes Notes = Entry.Notes;
    (Index.column() == colPellet ? Notes.Pellet : Notes.Gun) = Text;
    return SetNotes(Row, Notes);
}

bool TLibraryModel::SetNotes(int Row, const TSeriesNotes& Notes) {
    TSeriesEntry& Entry = FEntries[std::size_t(Row)];
    if (!Stored([&] { FStore.SetNotes(Entry.Id, Notes); }))
        return false;
    Entry.Notes = Notes;
    RowChanged(Row);
    return true;
}

bool TLibraryModel::Stored(const std::function<void()>& Change) {
    bool Done = false;
    RunGuarded(FWindow, [&] {
        Change();
        Done = true;
    });
    return Done;
}

// A new pellet weight changes the energy too: the whole row is told.
void TLibraryModel::RowChanged(int Row) {
    emit dataChanged(index(Row, 0), index(Row, ColumnCount - 1));
}
