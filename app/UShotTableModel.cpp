#include "app/UShotTableModel.h"

TShotTableModel::TShotTableModel(const TSeries& Series, QObject* Parent)
    : QAbstractTableModel(Parent), FSeries(Series) {}

void TShotTableModel::SetCaptions(const QStringList& Captions) {
    FCaptions = Captions;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void TShotTableModel::ShowSeries(bool Reset) {
    const std::size_t Count = FSeries.Count();
    if (Reset || Count < FShown) {
        beginResetModel();
        FShown = Count;
        endResetModel();
    } else if (Count > FShown) {
        AddRows(Count);
    }
    FNumberedOnce = FNumberedOnce || FShown > 0;
}

// The first shot takes the place of the empty row, before the others come as new rows.
void TShotTableModel::AddRows(std::size_t Count) {
    if (FShown == 0) {
        FShown = 1;
        emit dataChanged(index(0, 0), index(0, columnCount() - 1));
    }
    if (Count == FShown)
        return;
    beginInsertRows({}, static_cast<int>(FShown), static_cast<int>(Count) - 1);
    FShown = Count;
    endInsertRows();
}

int TShotTableModel::rowCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : static_cast<int>(std::max<std::size_t>(FShown, 1));
}

int TShotTableModel::columnCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : 3;
}

QString TShotTableModel::CellText(int Column, std::size_t Row) const {
    // A row the series no longer has (it was cleared or shortened and the table not yet told)
    // reads as the empty row.
    if (Row >= FShown || Row >= FSeries.Count())
        return Column == 0 && FNumberedOnce ? QStringLiteral("1") : QString();
    if (Column == 0)
        return QString::number(Row + 1);
    const TShotValues& Shot = FSeries.Values(Row);
    return QString::fromStdString(FormatValue(Column == 1 ? Shot.Speed : Shot.Energy));
}

QVariant TShotTableModel::data(const QModelIndex& Index, int Role) const {
    if (!Index.isValid())
        return {};
    switch (Role) {
    case Qt::DisplayRole:
        return CellText(Index.column(), static_cast<std::size_t>(Index.row()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    case Qt::BackgroundRole:
        return Index.column() == 0 ? QVariant(FNumberBackground) : QVariant();
    default:
        return {};
    }
}

QVariant TShotTableModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
    if (Orientation != Qt::Horizontal || Role != Qt::DisplayRole || Section < 0 || Section > 2)
        return QAbstractTableModel::headerData(Section, Orientation, Role);
    return FCaptions[Section];
}
