#pragma once

// The series of the library as a table: name, date, shot count, the speed figures, the mean
// energy (from each series' own pellet weight), pellet and gun, in the display units of the
// moment; a series whose file did not go in whole is marked by its name. The rows are the store's
// list as it was read last; each cell is worked out when the view asks for it, so that filling
// takes no longer than the store's one query, however many series there are. Name, pellet and gun
// are edited in place and written straight to the store.

#include "library/SeriesStore.h"
#include "series/USeries.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <optional>
#include <vector>

class QWidget;
class TMainSettings;

class TLibraryModel : public QAbstractTableModel {
public:
    enum TColumn {
        colName,
        colCreated,
        colShots,
        colMean,
        colSpread,
        colDeviation,
        colEnergy,
        colPellet,
        colGun,
        ColumnCount
    };
    // Numbers for the numeric columns, so that a sort puts 9 before 10; texts for the others.
    static constexpr int SortRole = Qt::UserRole;

    // Errors of the store go to boxes over Window.
    TLibraryModel(TSeriesStore& Store, const TMainSettings& Settings, TTranslate Translate,
                  QWidget* Window);

    // Reads the list again.
    void Refresh();
    // Series Id alone read again; false, with nothing read, when the list does not have it or
    // the library no longer does.
    bool RefreshSeries(std::int64_t Id);
    // The captions and every figure again, after the language or the units changed.
    void ApplySettings();

    const TSeriesEntry& Entry(int Row) const { return FEntries[std::size_t(Row)]; }
    // -1 for a series not in the list.
    int RowOf(std::int64_t Id) const;
    // Writes the notes of the series in Row; false, with the user told why and the row as it
    // was, when the store refuses.
    bool SetNotes(int Row, const TSeriesNotes& Notes);
    bool ReadOnly() const { return FStore.ReadOnly(); }

    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation,
                        int Role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role = Qt::EditRole) override;

private:
    // The figure of a numeric column in the display unit; none where the series has none.
    std::optional<double> Figure(const TSeriesEntry& Entry, int Column) const;
    QVariant DisplayText(const TSeriesEntry& Entry, int Column) const;
    QVariant SortValue(const TSeriesEntry& Entry, int Column) const;
    QVariant NameTip(const TSeriesEntry& Entry) const;
    // Runs Store's change; false, with the user told, when it raised.
    bool Stored(const std::function<void()>& Change);
    void RowChanged(int Row);

    TSeriesStore& FStore;
    const TMainSettings& FSettings;
    TTranslate FTranslate;
    QWidget* FWindow;
    std::vector<TSeriesEntry> FEntries;
};
