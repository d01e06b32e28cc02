#pragma once

// The shot table as a view reads it: number, speed and energy of each shot, straight from the
// series. Nothing is held per shot; a new shot adds a row, and only other units, another pellet
// weight, a deletion or a new series make every row be read again.

#include "series/USeries.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QStringList>

class TShotTableModel : public QAbstractTableModel {
public:
    TShotTableModel(const TSeries& Series, QObject* Parent);

    // The captions of the number, speed and energy columns.
    void SetCaptions(const QStringList& Captions);
    // The background of the number column.
    void SetNumberBackground(const QBrush& Background) { FNumberBackground = Background; }

    // Shows the shots the series holds now: the rows of shots added since, or, after a change
    // that may touch every shot (Reset), every row again.
    void ShowSeries(bool Reset);
    // The shots the table shows; a table without shots keeps one empty row.
    std::size_t ShownShots() const { return FShown; }

    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

private:
    QString CellText(int Column, std::size_t Row) const;
    void AddRows(std::size_t Count);

    const TSeries& FSeries;
    std::size_t FShown = 0;
    // The empty row of a cleared table keeps the number of the first shot it showed.
    bool FNumberedOnce = false;
    QStringList FCaptions{"", "", ""};
    QBrush FNumberBackground;
};
