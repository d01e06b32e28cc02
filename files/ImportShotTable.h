#pragma once

// Which rows under an imported file's header are shots and which are its summary.
#include "files/ImportText.h"

#include <optional>

namespace importfile {

// What the cell that labels a row holds.
enum class TLabel { Empty, Number, Text, Other };

// Which rows under the header are shots, told by the cell that labels each row: the shot-number
// column, else the first column where that is not the speeds. Where the shots are numbered (a
// number or a time of day; in a shot-number column they must be), every shot is: devices and
// spreadsheets label their averages and deviations with words ("Average (2 shots)", "ES 1-2") or
// not at all. A table that is not numbered ends at its first blank row or at the first row
// labelled otherwise than its first shot, since what follows is a summary.
class TShotTable {
public:
    TShotTable(const TFields& Header, std::size_t SpeedColumn);

    // Whether a row is a shot; HasSpeed tells whether its speed cell holds a speed.
    bool Admits(const TFields& Row, bool HasSpeed);

    void PassBlankRow() { FEnded = FEnded || (FKind && *FKind != TLabel::Number); }

    bool Started() const { return FKind.has_value(); }

private:
    TLabel LabelOf(const TFields& Row) const;

    std::optional<std::size_t> FLabelColumn;
    bool FNumbersRequired;       // in a column named for shot numbers
    std::optional<TLabel> FKind; // the label of the first shot
    bool FEnded = false;
};

} // namespace importfile
