#pragma once

// The shot table at the left of the window: number, speed and energy of each shot, read from the
// series through a model, with the cell under the mouse told in a hint for two seconds.

#include "series/USeries.h"

#include <QTableView>
#include <cstddef>
#include <string>

class QTimer;
class TShotTableModel;

class TShotTable : public QTableView {
public:
    TShotTable(const TSeries& Series, QWidget* Parent);
    ~TShotTable() override;

    // The column captions in the user's language and the display units; hints use Translate.
    void ApplyTranslation(const TTranslate& Translate, const TUnitSystem& Units);
    // The rows of new shots, or with Reset every row again.
    void ShowSeries(bool Reset);
    // The shots the table shows.
    std::size_t ShownShots() const;

    // The table as the design counts it: row 0 the header, column 0 the shot numbers.
    std::string CellText(int Column, int Row) const;
    int RowCount() const;
    int ColumnWidth(int Column) const { return columnWidth(Column); }
    // The hint of a table cell: its text and, for a shot from the chronograph, when it came.
    std::string CellHint(int Column, int Row) const;

    void stringGridLeftMouseMove(int X, int Y);
    void StringGridLeftTimerTimer();

    QTimer* const StringGridLeftTimer;

protected:
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    void FitNumberColumn();

    const TSeries& FSeries;
    TShotTableModel* const FModel;
    TTranslate FTranslate;
};
